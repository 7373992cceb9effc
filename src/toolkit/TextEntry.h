#pragma once

#include <QLineEdit>

namespace quillon {

// A single-line text entry that holds a text of any length. A plain QLineEdit keeps only the
// first 32767 characters, so a longer stored text would come back cut from any form it passed
// through.
class TextEntry : public QLineEdit {
    Q_OBJECT
public:
    explicit TextEntry(QWidget* parent = nullptr);
};

}  // namespace quillon
