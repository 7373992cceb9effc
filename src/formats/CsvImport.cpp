#include "formats/CsvImport.h"

#include "formats/RecordBuilder.h"
#include "formats/RecordFileImport.h"

namespace quillon::exchange {
namespace {

QString delimiterName(QChar delimiter) {
    switch (delimiter.unicode()) {
        case u',':
            return "commas";
        case u';':
            return "semicolons";
        case u'\t':
            return "tabs";
        case u'|':
            return "bars";
        default:
            return QString("\"%1\"").arg(delimiter);
    }
}

QStringList previewCells(QStringList cells, qsizetype columns) {
    for (QString& cell : cells) cell = unguardedCell(cell);
    while (cells.size() < columns) cells << QString();
    return cells;
}

class CsvImport : public RecordFileImport {
public:
    CsvImport(ManagedObjectContext& context, QIODevice* device, const ImportOptions& options)
        : RecordFileImport(context, options), device_(device) {}

    Status begin() override {
        const std::optional<QByteArray> bytes = readUpTo(device_, kMaxImportTextBytes, &status_);
        if (!bytes) return status_;
        DecodedText decoded = decodeSpreadsheetText(*bytes, options_.encoding);
        text_ = std::move(decoded.text);
        const QChar delimiter = options_.delimiter.value_or(guessDelimiter(text_));
        preview_.format = FileFormat::Csv;
        preview_.details = decoded.encodingName + ", separated by " + delimiterName(delimiter);
        reader_.emplace(text_, delimiter);
        const std::optional<QStringList> header = reader_->next();
        if (!header) {
            status_ = Status::failure(Status::Corrupt, "The file holds no rows");
            wrongFile_ = true;
            return status_;
        }
        readColumns(*header);
        CsvReader ahead = *reader_;
        while (preview_.rows.size() < kPreviewRows) {
            const std::optional<QStringList> row = ahead.next();
            if (!row) break;
            preview_.rows << previewCells(*row, preview_.columns.size());
        }
        if (!mapsNames()) {
            wrongFile_ = true;
            status_ = Status::failure(Status::Corrupt,
                                      "No column holds the movies' names: choose the column "
                                      "that does (--map COLUMN=name)");
        }
        return status_;
    }

    ImportPreview preview() const override { return preview_; }

    double progress() const override {
        return reader_ && !text_.isEmpty() ? double(reader_->position()) / double(text_.size())
                                           : 0.0;
    }

protected:
    std::optional<ReadRecord> readNext() override {
        const std::optional<QStringList> cells = reader_ ? reader_->next() : std::nullopt;
        if (!cells) return std::nullopt;
        const int line = reader_->line();
        if (reader_->endedInsideQuotes()) {
            return unreadableRecord(
                QString("Line %1: the file ends inside a quoted cell, so it may be cut short: "
                        "that row was not imported")
                    .arg(line));
        }
        const auto columns = preview_.columns.size();
        for (qsizetype i = columns; i < cells->size(); ++i) {
            if (cells->at(i).trimmed().isEmpty()) continue;
            return unreadableRecord(QString("Line %1 has %2 cells where the header has %3 (a "
                                            "cell that holds the separator without quotes?): "
                                            "that row was not imported")
                                        .arg(line)
                                        .arg(cells->size())
                                        .arg(columns));
        }
        RecordBuilder record(options_.unmappedInNotes);
        bool hasPictures = false;
        for (qsizetype i = 0; i < qMin(columns, cells->size()); ++i) {
            const ImportPreview::Column& column = preview_.columns[i];
            FieldRows rows = splitCell(unguardedCell(cells->at(i)), column.mapping);
            const ColumnTarget target = column.mapping.target;
            if (target == ColumnTarget::FrontCover || target == ColumnTarget::BackCover)
                hasPictures = hasPictures || !rows.isEmpty();
            record.add(column.title, target, std::move(rows));
        }
        auto build = [record = std::move(record), folder = options_.folder,
                      intake = coverIntake(options_.dryRun)] {
            return record.build([&](ColumnTarget, const QString& path) {
                return loadPictureFile(path, folder, intake);
            });
        };
        return recordBuiltBy(std::move(build), hasPictures);
    }

private:
    void readColumns(const QStringList& header) {
        for (qsizetype i = 0; i < header.size(); ++i) {
            QString title = unguardedCell(header[i]).trimmed();
            if (title.isEmpty()) title = QString("Column %1").arg(i + 1);
            ColumnMapping mapping = knownColumn(title);
            if (const auto chosen = options_.columnMap.find(columnKey(title));
                chosen != options_.columnMap.end()) {
                mapping.listOfValues = mapping.listOfValues && mapping.target == *chosen;
                mapping.target = *chosen;
            }
            preview_.columns << ImportPreview::Column{title, mapping, true};
        }
    }

    bool mapsNames() const {
        return std::any_of(preview_.columns.begin(), preview_.columns.end(),
                           [](const auto& c) { return c.mapping.target == ColumnTarget::Name; });
    }

    QIODevice* device_;
    QString text_;
    std::optional<CsvReader> reader_;
    ImportPreview preview_;
};

}  // namespace

std::optional<QByteArray> readUpTo(QIODevice* device, qint64 limit, Status* status) {
    QByteArray bytes;
    while (true) {
        const qsizetype had = bytes.size();
        const qint64 wanted = qMin<qint64>(4 << 20, limit + 1 - had);
        bytes.resize(had + wanted);
        const qint64 got = device->read(bytes.data() + had, wanted);
        if (got < 0) {
            *status =
                Status::failure(Status::Io, "The file could not be read: " + device->errorString());
            return std::nullopt;
        }
        bytes.resize(had + got);
        if (got == 0) return bytes;
        if (bytes.size() > limit) {
            *status = Status::failure(
                Status::TooBig,
                QString("The file is larger than %1 MB, more than is read; nothing was imported")
                    .arg(limit >> 20));
            return std::nullopt;
        }
    }
}

std::unique_ptr<FileImport> makeCsvImport(ManagedObjectContext& context, QIODevice* device,
                                          const ImportOptions& options) {
    return std::make_unique<CsvImport>(context, device, options);
}

}  // namespace quillon::exchange
