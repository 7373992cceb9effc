#include "groups/BreakdownReport.h"

#include <QDir>
#include <QPointer>

#include "catalogue/ReportPdf.h"
#include "catalogue/ReportText.h"
#include "handover/Services.h"
#include "platform/DataFolders.h"
#include "platform/DiagnosticLog.h"
#include "platform/ShareSheet.h"
#include "store/CatalogueStore.h"
#include "toolkit/AlertController.h"
#include "toolkit/MainQueue.h"

namespace quillon {

void shareBreakdownReport(GroupKind kind, const std::vector<MoviePtr>& movies, Services& services,
                          QWidget* anchor) {
    // The title names the first movie: with none there is no report to make.
    if (movies.empty()) {
        AlertController::tell(anchor, QStringLiteral("Empty Data Set!"),
                              QStringLiteral("No Movies to Print!"));
        return;
    }
    if (!services.share.canSendText()) {
        const QPointer<QWidget> over = anchor;
        mainQueue::async(
            [over] {
                AlertController::tell(
                    over, QStringLiteral("Can't Send Text Message"),
                    QStringLiteral("Your device is not able to send text messages."));
            },
            anchor);
    }
    const ReportFamily& family = breakdownReportFamily();
    const auto report = buildReport(family, kind, movies, {kReportViewWidth, {}});
    const QString path = QDir(DataFolders::documentsDir()).filePath(family.member(kind).fileName);
    if (const Status written = writeReportPdfFile(*report, path, services.context.dataDir());
        !written) {
        diagnosticLog("Could not create PDF file: " + written.describe());
        // The share sheet would offer a missing or an older report.
        AlertController::tell(anchor, QStringLiteral("PDF Report"),
                              "Could not create PDF file: " + written.error);
        return;
    }
    diagnosticLog("wrote PDF file with multiple pages to: " + path);
    ShareRequest request;
    request.files = {path};
    services.share.present(request, anchor);
}

}  // namespace quillon
