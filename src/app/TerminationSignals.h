#pragma once

class QApplication;

namespace quillon {

// SIGINT and SIGTERM end the program through the event loop, so that pending changes are
// saved; a blocking message box open at that moment is closed first. Install before anything
// can block.
void quitOnTerminationSignals(QApplication& app);

}  // namespace quillon
