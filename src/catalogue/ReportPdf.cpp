#include "catalogue/ReportPdf.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPdfWriter>

#include "catalogue/ReportText.h"
#include "store/OutputTarget.h"

namespace quillon {

namespace {

// QPdfWriter goes on when a write fails and ends as if all went well, so the device is written
// through this, which keeps the first failure; the PDF is cut short from there.
class WatchedDevice : public QIODevice {
public:
    explicit WatchedDevice(QIODevice* target) : target_(target) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool failed() const { return failed_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (!failed_ && target_->write(data, size) == size) return size;
        if (!failed_) setErrorString(target_->errorString());
        failed_ = true;
        return -1;
    }

private:
    QIODevice* target_;
    bool failed_ = false;
};

}  // namespace

Status writePdf(QIODevice* device, const PdfDrawing& draw) {
    if (!device->isOpen() && !device->open(QIODevice::WriteOnly))
        return Status::failure(Status::Io, QStringLiteral("The PDF could not be started"),
                               device->errorString());
    WatchedDevice watched(device);
    QPdfWriter writer(&watched);
    writer.setCreator(QStringLiteral("Quillon"));
    writer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(kReportPageWidth, kReportPageHeight), QPageSize::Point),
                    QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
    QPainter painter;
    if (!painter.begin(&writer))
        return Status::failure(Status::Io, QStringLiteral("The PDF could not be started"),
                               device->errorString());
    draw(writer, painter);
    if (!painter.end())
        return Status::failure(Status::Io, QStringLiteral("The PDF could not be finished"),
                               device->errorString());
    if (watched.failed())
        return Status::failure(Status::Io, QStringLiteral("The PDF could not be written"),
                               watched.errorString());
    return Status::success();
}

Status writePdfFile(const QString& path, const QString& dataDir, const PdfDrawing& draw) {
    OutputFile file(path, dataDir);
    if (Status created = file.create(); !created) return created;
    if (Status written = writePdf(&file, draw); !written) {
        file.cancel();
        return file.status() ? written : file.status();  // the file's own names the path
    }
    return file.commit();
}

namespace {

void drawReportPages(ReportDocument& document, QPdfWriter& writer, QPainter& painter) {
    // Laid out in the writer's own units, pages exactly as tall as the PDF page they land on.
    const qreal unitsPerPoint = writer.resolution() / 72.0;
    const QSizeF page(kReportLayoutWidth * unitsPerPoint, kReportPageHeight * unitsPerPoint);
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    layout->setPaintDevice(&writer);
    document.setPageSize(page);
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
}

}  // namespace

Status writeReportPdf(ReportDocument& document, QIODevice* device) {
    document.decodeAhead();
    return writePdf(device, [&document](QPdfWriter& writer, QPainter& painter) {
        drawReportPages(document, writer, painter);
    });
}

Status writeReportPdfFile(ReportDocument& document, const QString& path, const QString& dataDir) {
    document.decodeAhead();
    return writePdfFile(path, dataDir, [&document](QPdfWriter& writer, QPainter& painter) {
        drawReportPages(document, writer, painter);
    });
}

}  // namespace quillon
