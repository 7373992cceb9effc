#pragma once

#include <QChar>
#include <QIODevice>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "formats/FileImport.h"
#include "store/CatalogueStore.h"
#include "store/Status.h"

namespace quillon::exchange {

struct ExportOptions {
    QChar delimiter = u',';         // of a spreadsheet
    bool keepsDisplayText = false;  // also build what the export screen shows
};

// The whole catalogue written to a device in one of the formats, in export order (name, year,
// director), a part at a time from the event loop so that the window keeps answering.
class CatalogueExport : public QObject {
    Q_OBJECT
public:
    // The context and the device are not owned and must outlive the export. The device is open
    // for writing; the export neither closes nor commits it: on a failed status the caller
    // discards what was written.
    static std::unique_ptr<CatalogueExport> make(FileFormat format, ManagedObjectContext& context,
                                                 QIODevice* device, const ExportOptions& options);

    // Fetches the catalogue and starts; progressed and finished follow from the event loop.
    virtual void start() = 0;
    // start(), then runs an event loop until finished: for the command line.
    Status run();

    virtual int total() const = 0;
    // The movies being written, in order; filled by start().
    virtual const std::vector<MoviePtr>& entries() const = 0;
    virtual bool isFinished() const = 0;
    virtual Status status() const = 0;
    // What is not in the file, one line each naming the movie: covers that could not be read
    // or are no picture. The export still succeeds.
    virtual const QStringList& problems() const = 0;
    // What the format leaves out by design, for the summary ("Covers are not written ...").
    virtual QString leftOut() const { return QString(); }
    // What the export screen shows of the file (with ExportOptions::keepsDisplayText).
    virtual QString displayText() const = 0;
    // The file's name as the export screen saves and mails it, and its MIME type.
    static QString fileName(FileFormat format);
    static QString mimeType(FileFormat format);

signals:
    void progressed(int done, int total);
    void finished();
};

// The movies in export order.
std::vector<MoviePtr> moviesInExportOrder(const ManagedObjectContext& context);

}  // namespace quillon::exchange
