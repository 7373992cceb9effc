#include "catalogue/ReportPdf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QScopeGuard>
#include <algorithm>

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

namespace {

Status openForWriting(QIODevice* device) {
    if (!device->isOpen() && !device->open(QIODevice::WriteOnly))
        return Status::failure(Status::Io, QStringLiteral("The PDF could not be started"),
                               device->errorString());
    return Status::success();
}

}  // namespace

Status writePdf(QIODevice* device, const PdfDrawing& draw) {
    if (Status opened = openForWriting(device); !opened) return opened;
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

namespace {

Status writeFile(const QString& path, const QString& dataDir,
                 const std::function<Status(QIODevice*)>& write) {
    OutputFile file(path, dataDir);
    if (Status created = file.create(); !created) return created;
    if (Status written = write(&file); !written) {
        file.cancel();
        return file.status() ? written : file.status();  // the file's own names the path
    }
    return file.commit();
}

}  // namespace

Status writePdfFile(const QString& path, const QString& dataDir, const PdfDrawing& draw) {
    return writeFile(path, dataDir, [&draw](QIODevice* device) { return writePdf(device, draw); });
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
    layout->setPaintDevice(nullptr);  // the writer goes when the PDF is done
}

Status writeReportPdfDecoded(ReportDocument& document, QIODevice* device) {
    document.decodeAhead(false);
    return writePdf(device, [&document](QPdfWriter& writer, QPainter& painter) {
        drawReportPages(document, writer, painter);
    });
}

bool drewStandIns(const ReportDocument& document) {
    const auto& drawn = document.drawnImages();
    return std::any_of(drawn.begin(), drawn.end(), [](const auto& jpeg) { return bool(jpeg); });
}

}  // namespace

// Qt's engine would decode each cover and encode it again as JPEG; the small copies are JPEGs
// already, so they are drawn as stand-ins and put in the PDF as stored, which spares both.
Status writeReportPdf(ReportDocument& document, QIODevice* device) {
    if (Status opened = openForWriting(device); !opened) return opened;
    QBuffer drawn;
    drawn.open(QIODevice::WriteOnly);
    document.decodeAhead(true);
    // Stand-ins are for this PDF only: drawn again, the document shows its covers.
    const auto stopped = qScopeGuard([&document] { document.stopDecodingAhead(); });
    if (Status written = writePdf(&drawn,
                                  [&document](QPdfWriter& writer, QPainter& painter) {
                                      drawReportPages(document, writer, painter);
                                  });
        !written)
        return written;
    if (!drewStandIns(document)) {
        if (device->write(drawn.data()) == drawn.size()) return Status::success();
        return Status::failure(Status::Io, QStringLiteral("The PDF could not be written"),
                               device->errorString());
    }
    switch (writeWithJpegs(drawn.data(), document.drawnImages(), ReportDocument::kStandInSize,
                           device)) {
        case JpegEmbedding::Written:
            return Status::success();
        case JpegEmbedding::WriteFailed:
            return Status::failure(Status::Io, QStringLiteral("The PDF could not be written"),
                                   device->errorString());
        case JpegEmbedding::Unexpected:
            break;
    }
    qWarning("The covers could not be put in the PDF as stored; they are decoded instead");
    return writeReportPdfDecoded(document, device);
}

Status writeReportPdfFile(ReportDocument& document, const QString& path, const QString& dataDir) {
    return writeFile(path, dataDir,
                     [&document](QIODevice* device) { return writeReportPdf(document, device); });
}

}  // namespace quillon
