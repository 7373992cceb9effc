#include "formats/FileImport.h"

#include <QXmlStreamReader>

#include "formats/CoverCodec.h"
#include "formats/CsvImport.h"
#include "formats/ExportFormat.h"
#include "formats/LineReader.h"
#include "formats/MovieImporter.h"
#include "formats/TellicoImport.h"

namespace quillon::exchange {
namespace {

// Enough of a file to see its kind.
constexpr qint64 kDetectionBytes = 64 << 10;

struct FormatName {
    FileFormat format;
    const char* key;
    const char* title;
};
constexpr FormatName kFormatNames[] = {
    {FileFormat::Quillon, "quillon", "Quillon file"},
    {FileFormat::Csv, "csv", "Spreadsheet CSV"},
    {FileFormat::Tellico, "tellico", "Tellico collection"},
};

QByteArrayView firstLine(QByteArrayView text) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    return text.first(end);
}

// Only as far as the root element: no entity is expanded on the way there.
bool rootIsTellico(QByteArrayView text) {
    QXmlStreamReader xml(text.toByteArray());
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) return xml.name() == u"tellico";
    }
    return false;
}

bool headerNamesMovies(QByteArrayView head) {
    const QString text = decodeSpreadsheetText(head, TextEncoding::Automatic).text;
    const std::optional<QStringList> header = CsvReader(text, guessDelimiter(text)).next();
    if (!header) return false;
    return std::any_of(header->begin(), header->end(), [](const QString& cell) {
        return knownColumn(cell).target == ColumnTarget::Name;
    });
}

bool holdsHeaderLine(QIODevice* device) {
    const qint64 start = device->pos();
    bool found = false;
    {
        LineReader reader(device);
        while (const std::optional<QByteArray> line = reader.next()) {
            if (*line == kHeaderLine) {
                found = true;
                break;
            }
        }
    }
    device->seek(start);
    return found;
}

// The fields of a movie line as the preview shows them: texts unescaped, covers as markers.
QStringList previewFields(QByteArrayView line) {
    QList<QByteArrayView> fields;
    for (qsizetype pos = 0; fields.size() < kFieldCount;) {
        const qsizetype caret = line.indexOf(kSeparator, pos);
        fields << line.sliced(pos, (caret < 0 ? line.size() : caret) - pos);
        if (caret < 0) break;
        pos = caret + 1;
    }
    const bool escaped = fields.size() > kRunTimeField && marksEscapedLine(fields[kRunTimeField]);
    QStringList cells;
    for (int index = 0; index < fields.size(); ++index) {
        const QByteArrayView field = fields[index];
        const bool cover = index >= kFrontImageField && !field.isEmpty();
        const QString text = decodeText(field);
        cells << (cover ? coverMarker(index, field.size()) : escaped ? unescapeText(text) : text);
    }
    while (cells.size() < kFieldCount) cells << QString();
    return cells;
}

// Our own export file, read by MovieImporter line by line.
class QuillonImport : public FileImport {
public:
    QuillonImport(ManagedObjectContext& context, QIODevice* device, const ImportOptions& options)
        : device_(device), maxLineBytes_(options.maxLineBytes), importer_(context, device) {
        importer_.setMaxLineBytes(maxLineBytes_);
        importer_.setDryRun(options.dryRun);
        importer_.setBacksUpFirst(options.backsUpFirst);
        importer_.setFailureLog(options.failureLog);
    }

    Status begin() override {
        preview_.format = FileFormat::Quillon;
        preview_.details = "UTF-8, one line a movie";
        for (const Attribute a : kFieldAttributes) {
            const auto& targets = columnTargets();
            const auto found = std::find_if(targets.begin(), targets.end(),
                                            [a](const auto& t) { return t.attribute == a; });
            preview_.columns << ImportPreview::Column{
                QString::fromLatin1(found->title), {found->target, false}, false};
        }
        readPreviewRows();
        return importer_.begin();
    }
    ImportPreview preview() const override { return preview_; }
    bool applyNext() override { return !stopped_ && importer_.applyNextLine(); }
    void stop() override { stopped_ = true; }
    double progress() const override { return importer_.progress(); }
    const Status& status() const override { return importer_.status(); }
    bool isWrongFile() const override { return MovieImporter::isWrongFile(importer_.status()); }
    const ImportCounts& counts() const override { return importer_.counts(); }
    const QStringList& problems() const override { return importer_.problems(); }
    QString backupName() const override { return importer_.backupName(); }

private:
    // The first movie lines, read ahead and the device put back: a sequential one shows none.
    void readPreviewRows() {
        if (device_->isSequential()) return;
        const qint64 start = device_->pos();
        {
            LineReader reader(device_, maxLineBytes_);
            while (preview_.rows.size() < kPreviewRows) {
                const std::optional<QByteArray> line = reader.next();
                if (!line) break;
                if (!line->isEmpty() && *line != kHeaderLine) preview_.rows << previewFields(*line);
            }
        }
        device_->seek(start);
    }

    QIODevice* device_;
    qsizetype maxLineBytes_;
    MovieImporter importer_;
    ImportPreview preview_;
    bool stopped_ = false;
};

}  // namespace

QString formatTitle(FileFormat format) {
    return QString::fromLatin1(kFormatNames[int(format)].title);
}

QString formatKey(FileFormat format) {
    return QString::fromLatin1(kFormatNames[int(format)].key);
}

std::optional<FileFormat> formatNamed(const QString& name) {
    for (const FormatName& known : kFormatNames) {
        if (name.compare(QLatin1String(known.key), Qt::CaseInsensitive) == 0) return known.format;
    }
    return std::nullopt;
}

FileFormat detectFormat(QIODevice* device) {
    const QByteArray head = device->peek(kDetectionBytes);
    if (head.startsWith("PK\x03\x04")) return FileFormat::Tellico;
    const QByteArrayView text =
        head.startsWith("\xEF\xBB\xBF") ? QByteArrayView(head).sliced(3) : QByteArrayView(head);
    if (firstLine(text) == kHeaderLine) return FileFormat::Quillon;
    if (rootIsTellico(text)) return FileFormat::Tellico;
    if (!device->isSequential() && !headerNamesMovies(head) && holdsHeaderLine(device))
        return FileFormat::Quillon;
    return FileFormat::Csv;
}

QString columnKey(const QString& header) {
    return header.trimmed().toLower();
}

FileImport::~FileImport() = default;

Status FileImport::run() {
    if (!begin()) return status();
    while (applyNext()) {
    }
    return status();
}

std::unique_ptr<FileImport> makeImport(ManagedObjectContext& context, QIODevice* device,
                                       const ImportOptions& options) {
    switch (options.format.value_or(detectFormat(device))) {
        case FileFormat::Quillon:
            return std::make_unique<QuillonImport>(context, device, options);
        case FileFormat::Csv:
            return makeCsvImport(context, device, options);
        case FileFormat::Tellico:
            break;
    }
    return makeTellicoImport(context, device, options);
}

}  // namespace quillon::exchange
