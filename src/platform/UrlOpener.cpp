#include "platform/UrlOpener.h"

#include <QStandardPaths>

namespace quillon {

void DesktopUrlOpener::openUrl(const QUrl& url, QObject* context, ProgramDone done) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (program.isEmpty()) {
        done(ProgramResult::failure(QStringLiteral("xdg-open is not installed")));
        return;
    }
    const QString argument =
        url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded);
    runDesktopProgram(program, {argument}, context, std::move(done), patience_);
}

}  // namespace quillon
