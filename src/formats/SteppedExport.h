#pragma once

#include "formats/CatalogueExport.h"

namespace quillon::exchange {

// An export written movie by movie on the main thread, in steps of a few tens of milliseconds.
class SteppedExport : public CatalogueExport {
public:
    SteppedExport(ManagedObjectContext& context, QIODevice* device, ExportOptions options);

    void start() final;
    int total() const final { return int(entries_.size()); }
    const std::vector<MoviePtr>& entries() const final { return entries_; }
    bool isFinished() const final { return finished_; }
    Status status() const final { return status_; }
    const QStringList& problems() const final { return problems_; }
    QString displayText() const final { return displayText_; }

protected:
    // Each returns false after a failure (finish() has then been called).
    virtual bool writeHead() = 0;
    virtual bool writeMovie(const Movies& movie) = 0;
    virtual bool writeTail() = 0;

    // Writes to the device; a failed write finishes the export with the device's reason.
    bool write(QByteArrayView bytes);
    void finish(Status status);

    ExportOptions options_;
    QStringList problems_;
    QString displayText_;

private:
    void step();

    ManagedObjectContext& context_;
    QIODevice* device_;
    std::vector<MoviePtr> entries_;
    int done_ = 0;
    bool finished_ = false;
    Status status_;
};

std::unique_ptr<CatalogueExport> makeSpreadsheetExport(ManagedObjectContext& context,
                                                       QIODevice* device,
                                                       const ExportOptions& options);
std::unique_ptr<CatalogueExport> makeTellicoExport(ManagedObjectContext& context, QIODevice* device,
                                                   const ExportOptions& options);

}  // namespace quillon::exchange
