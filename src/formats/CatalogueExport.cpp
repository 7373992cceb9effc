#include "formats/CatalogueExport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "formats/ExportFormat.h"
#include "formats/ExportJob.h"
#include "formats/SteppedExport.h"

namespace quillon::exchange {
namespace {

// A step's length: the window answers between steps.
constexpr int kStepMilliseconds = 30;

// Our own export file, written by ExportJob with its covers encoded on the picture pool.
class QuillonExport : public CatalogueExport {
public:
    QuillonExport(ManagedObjectContext& context, QIODevice* device, const ExportOptions& options)
        : job_(context, device) {
        job_.setKeepsDisplayText(options.keepsDisplayText);
        connect(&job_, &ExportJob::progressed, this, &CatalogueExport::progressed);
        connect(&job_, &ExportJob::finished, this, &CatalogueExport::finished);
    }
    void start() override { job_.start(); }
    int total() const override { return job_.total(); }
    const std::vector<MoviePtr>& entries() const override { return job_.entries(); }
    bool isFinished() const override { return job_.isFinished(); }
    Status status() const override { return job_.status(); }
    const QStringList& problems() const override { return job_.problems(); }
    QString displayText() const override { return job_.displayText(); }

private:
    ExportJob job_;
};

}  // namespace

std::vector<MoviePtr> moviesInExportOrder(const ManagedObjectContext& context) {
    return context.fetch<Movies>(
        std::nullopt,
        {{Attribute::name, true}, {Attribute::year, true}, {Attribute::director, true}});
}

std::unique_ptr<CatalogueExport> CatalogueExport::make(FileFormat format,
                                                       ManagedObjectContext& context,
                                                       QIODevice* device,
                                                       const ExportOptions& options) {
    switch (format) {
        case FileFormat::Quillon:
            return std::make_unique<QuillonExport>(context, device, options);
        case FileFormat::Csv:
            return makeSpreadsheetExport(context, device, options);
        case FileFormat::Tellico:
            break;
    }
    return makeTellicoExport(context, device, options);
}

Status CatalogueExport::run() {
    QEventLoop loop;
    connect(this, &CatalogueExport::finished, &loop, &QEventLoop::quit);
    start();
    if (!isFinished()) loop.exec();
    return status();
}

QString CatalogueExport::fileName(FileFormat format) {
    switch (format) {
        case FileFormat::Quillon:
            return kFileName;
        case FileFormat::Csv:
            return "Quillon Movies.csv";
        case FileFormat::Tellico:
            break;
    }
    return "Quillon Movies.tc";
}

QString CatalogueExport::mimeType(FileFormat format) {
    switch (format) {
        case FileFormat::Quillon:
            return "csv";
        case FileFormat::Csv:
            return "text/csv";
        case FileFormat::Tellico:
            break;
    }
    return "application/x-tellico";
}

SteppedExport::SteppedExport(ManagedObjectContext& context, QIODevice* device,
                             ExportOptions options)
    : options_(std::move(options)), context_(context), device_(device) {}

void SteppedExport::start() {
    entries_ = moviesInExportOrder(context_);
    context_.readAllNotes();
    if (!writeHead()) return;
    QTimer::singleShot(0, this, [this] { step(); });
}

void SteppedExport::step() {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!finished_ && done_ < total() && elapsed.elapsed() < kStepMilliseconds) {
        if (!writeMovie(*entries_[done_])) return;
        ++done_;
    }
    if (finished_) return;
    emit progressed(done_, total());
    if (done_ < total()) {
        QTimer::singleShot(0, this, [this] { step(); });
    } else if (writeTail()) {
        finish(Status::success());
    }
}

bool SteppedExport::write(QByteArrayView bytes) {
    if (finished_) return false;
    if (bytes.isEmpty() || device_->write(bytes.data(), bytes.size()) == bytes.size()) return true;
    finish(Status::failure(Status::Io, "The export file could not be written",
                           device_->errorString()));
    return false;
}

void SteppedExport::finish(Status status) {
    if (finished_) return;
    finished_ = true;
    status_ = std::move(status);
    emit finished();
}

}  // namespace quillon::exchange
