#pragma once

#include "store/Records.h"

namespace quillon {

// A screen that shows one movie handed over by the screen that opened it.
class MovieDetailReceiver {
public:
    virtual ~MovieDetailReceiver() = default;
    virtual void setDetailItem(const MoviePtr& movie) = 0;
};

}  // namespace quillon
