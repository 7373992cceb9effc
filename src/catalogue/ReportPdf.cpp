#include "catalogue/ReportPdf.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPdfWriter>

#include "catalogue/ReportText.h"
#include "store/OutputTarget.h"

namespace quillon {

Status writeReportPdf(ReportDocument& document, QIODevice* device) {
    document.decodeAhead();
    QPdfWriter writer(device);
    writer.setCreator(QStringLiteral("Quillon"));
    writer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(kReportPageWidth, kReportPageHeight), QPageSize::Point),
                    QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
    // Laid out in the writer's own units, pages exactly as tall as the PDF page they land on.
    const qreal unitsPerPoint = writer.resolution() / 72.0;
    const QSizeF page(kReportLayoutWidth * unitsPerPoint, kReportPageHeight * unitsPerPoint);
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    layout->setPaintDevice(&writer);
    document.setPageSize(page);

    QPainter painter;
    if (!painter.begin(&writer))
        return Status::failure(Status::Io, QStringLiteral("The PDF could not be started"),
                               device->errorString());
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) writer.newPage();
        const QRectF shown(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -shown.top());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        context.palette.setColor(QPalette::Text, Qt::black);
        layout->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end())
        return Status::failure(Status::Io, QStringLiteral("The PDF could not be finished"),
                               device->errorString());
    return Status::success();
}

Status writeReportPdfFile(ReportDocument& document, const QString& path, const QString& dataDir) {
    OutputFile file(path, dataDir);
    if (Status created = file.create(); !created) return created;
    if (Status written = writeReportPdf(document, &file); !written) {
        file.cancel();
        return written;
    }
    return file.commit();
}

}  // namespace quillon
