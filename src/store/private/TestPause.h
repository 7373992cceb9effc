#pragma once

namespace quillon {

// Test seam for the tests that kill the program part way through writing a file: when the
// environment variable QUILLON_TEST_PAUSE_AT names `point`, says "paused at POINT" on standard
// error and stops the process (SIGSTOP), to be killed there. Does nothing otherwise.
void pausePointForTesting(const char* point);

}  // namespace quillon
