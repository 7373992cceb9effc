#include "store/private/TestPause.h"

#include <signal.h>

#include <QByteArray>
#include <cstdio>

namespace quillon {

void pausePointForTesting(const char* point) {
    if (qgetenv("QUILLON_TEST_PAUSE_AT") != point) return;
    std::fprintf(stderr, "paused at %s\n", point);
    std::fflush(stderr);
    ::raise(SIGSTOP);
}

}  // namespace quillon
