#include "formats/TellicoImport.h"

#include <QSet>

#include "formats/CsvImport.h"
#include "formats/RecordBuilder.h"
#include "formats/RecordFileImport.h"
#include "formats/TellicoCollection.h"
#include "formats/ZipArchive.h"
#include "images/CoverImage.h"

namespace quillon::exchange {
namespace {

using T = ColumnTarget;

constexpr char kXmlEntry[] = "tellico.xml";

struct KnownField {
    const char* name;
    ColumnTarget target;
};
constexpr KnownField kKnownFields[] = {
    {"title", T::Name},           {"year", T::Year},         {"certification", T::Rating},
    {"genre", T::Genre},          {"director", T::Director}, {"producer", T::Producer},
    {"writer", T::Writer},        {"cast", T::Cast},         {"actresses", T::Actresses},
    {"running-time", T::RunTime}, {"color", T::Color},       {"comments", T::Notes},
};
// Tellico's own bookkeeping, not the collector's: left out.
constexpr const char* kBookkeeping[] = {"id", "cdate", "mdate"};

QString pictureEntry(const QString& id) {
    return "images/" + id;
}

// A field's values given bare in one text, "a; b" (a table's rows "name::role; ..."), split.
FieldRows valuesOf(const TellicoEntry::Value& value, const TellicoField* field) {
    const bool several = field && (field->hasMultipleValues() || field->isTable());
    if (!value.bare || !several || value.rows.size() != 1 || value.rows.front().size() != 1)
        return value.rows;
    FieldRows rows;
    for (const QString& piece : value.rows.front().front().split(u';')) {
        const QString trimmed = piece.trimmed();
        if (trimmed.isEmpty()) continue;
        QStringList row;
        for (const QString& part :
             field->isTable() ? trimmed.split(QStringLiteral("::")) : QStringList{trimmed})
            row << part.trimmed();
        rows << row;
    }
    return rows;
}

QString cellText(const FieldRows& rows) {
    return notesLine(QString(), rows).mid(2);
}

class TellicoImport : public RecordFileImport {
public:
    TellicoImport(ManagedObjectContext& context, QIODevice* device, const ImportOptions& options)
        : RecordFileImport(context, options), device_(device) {}

    // Reads as far as the preview's rows; the rest, and the pictures, before the first record.
    Status begin() override {
        preview_.format = FileFormat::Tellico;
        std::optional<QByteArray> xml = readXml();
        if (!xml) return status_;
        xml_ = std::move(*xml);
        if (!readCollection(kPreviewRows)) return status_;
        chooseCoverFields();
        makePreview();
        if (collection_.complete) readWhole();
        return status_;
    }

    ImportPreview preview() const override { return preview_; }

    double progress() const override {
        return collection_.entries.empty() ? 0.0
                                           : double(next_) / double(collection_.entries.size());
    }

protected:
    std::optional<ReadRecord> readNext() override {
        if (!readWhole() || next_ == collection_.entries.size()) return std::nullopt;
        return prepare(collection_.entries[next_++]);
    }

private:
    bool readCollection(size_t maxEntries) {
        auto collection =
            readTellicoXml(xml_, zip_ ? kXmlEntry : "The file", &status_, &wrongFile_, maxEntries);
        if (!collection) return false;
        collection_ = std::move(*collection);
        preview_.details = QString("%1, syntax version %2")
                               .arg(zip_ ? "Zip archive" : "XML document")
                               .arg(collection_.syntaxVersion);
        if (collection_.complete) {
            preview_.details += QString(", %1 movies").arg(collection_.entries.size());
            xml_ = QByteArray();
        }
        return true;
    }

    // The whole collection read and its pictures checked, before anything changes: a damaged one
    // fails here with nothing changed.
    bool readWhole() {
        if (wholeRead_) return status_.ok;
        wholeRead_ = true;
        if (!collection_.complete && !readCollection(SIZE_MAX)) return false;
        chooseCoverFields();
        checkPictures();
        return status_.ok;
    }

    std::optional<QByteArray> readXml() {
        if (!device_->peek(4).startsWith("PK\x03\x04"))
            return readUpTo(device_, kTellicoMaxXmlBytes, &status_);
        zip_.emplace(device_);
        if (status_ = zip_->open(); !status_) return std::nullopt;
        if (!zip_->contains(kXmlEntry)) {
            wrongFile_ = true;
            status_ = Status::failure(Status::Corrupt,
                                      "The zip archive holds no tellico.xml, so it is not a "
                                      "Tellico collection");
            return std::nullopt;
        }
        return zip_->read(kXmlEntry, kTellicoMaxXmlBytes, &status_);
    }

    // The cover, or the first picture field; then "back", or the next picture field.
    void chooseCoverFields() {
        QStringList pictures;
        for (const TellicoField& field : collection_.fields) {
            if (field.isImage()) pictures << field.name;
        }
        front_ = pictures.contains("cover") ? "cover" : pictures.value(0);
        pictures.removeAll(front_);
        back_ = pictures.contains("back") ? "back" : pictures.value(0);
    }

    std::optional<ColumnTarget> targetOf(const QString& name) const {
        for (const char* skipped : kBookkeeping) {
            if (name == QLatin1String(skipped)) return std::nullopt;
        }
        if (!front_.isEmpty() && name == front_) return T::FrontCover;
        if (!back_.isEmpty() && name == back_) return T::BackCover;
        for (const KnownField& known : kKnownFields) {
            if (name == QLatin1String(known.name)) return known.target;
        }
        return T::Ignore;
    }

    QString titleOf(const QString& name) const {
        const TellicoField* field = collection_.field(name);
        return field && !field->title.isEmpty() ? field->title : name;
    }

    bool isExtraPicture(const QString& name) const {
        const TellicoField* field = collection_.field(name);
        return field && field->isImage() && targetOf(name) == T::Ignore;
    }

    void makePreview() {
        const size_t shown = qMin<size_t>(kPreviewRows, collection_.entries.size());
        QStringList names;
        for (size_t i = 0; i < shown; ++i) {
            for (const TellicoEntry::Value& value : collection_.entries[i].values) {
                if (!names.contains(value.field) && targetOf(value.field)) names << value.field;
            }
        }
        for (const QString& name : names) {
            preview_.columns << ImportPreview::Column{
                titleOf(name), {*targetOf(name), false}, false};
        }
        for (size_t i = 0; i < shown; ++i) {
            QStringList row(names.size());
            for (const TellicoEntry::Value& value : collection_.entries[i].values) {
                const qsizetype column = names.indexOf(value.field);
                if (column >= 0)
                    row[column] = cellText(valuesOf(value, collection_.field(value.field)));
            }
            preview_.rows << row;
        }
    }

    // Every picture of the zip that an entry names is read once before anything changes: a
    // damaged one fails the import here. One too large to store is told with its movie.
    void checkPictures() {
        if (!zip_) return;
        QSet<QString> checked;
        for (const TellicoEntry& entry : collection_.entries) {
            for (const TellicoEntry::Value& value : entry.values) {
                const std::optional<ColumnTarget> target = targetOf(value.field);
                if (target != T::FrontCover && target != T::BackCover) continue;
                const QString id = value.rows.front().front().trimmed();
                if (checked.contains(id) || collection_.images.contains(id)) continue;
                checked.insert(id);
                if (!zip_->contains(pictureEntry(id))) continue;
                Status read;
                if (!zip_->read(pictureEntry(id), kTellicoMaxPictureBytes, &read) &&
                    read.code == Status::Corrupt) {
                    status_ =
                        Status::failure(Status::Corrupt, read.error + "; nothing was imported");
                    return;
                }
            }
        }
    }

    // A picture's bytes as the collection holds them, or why not.
    CoverLoad picture(const QString& id) const {
        if (const auto inline_ = collection_.images.find(id); inline_ != collection_.images.end()) {
            if (inline_->linked)
                return {QByteArray(),
                        QString("the picture is linked to %1, not held in the collection, and "
                                "is not fetched")
                            .arg(id)};
            if (!inline_->base64.trimmed().isEmpty()) {
                QByteArray base64 = inline_->base64;
                base64.replace('\n', "").replace('\r', "").replace(' ', "").replace('\t', "");
                auto decoded =
                    QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
                if (!decoded) return {QByteArray(), QString("the picture %1 is damaged").arg(id)};
                if (decoded.decoded.size() > kTellicoMaxPictureBytes)
                    return {QByteArray(), QString("the picture %1 is larger than %2 MB")
                                              .arg(id)
                                              .arg(kTellicoMaxPictureBytes >> 20)};
                return {std::move(decoded.decoded), QString()};
            }
        }
        if (zip_ && zip_->contains(pictureEntry(id))) {
            Status read;
            std::optional<QByteArray> bytes =
                zip_->read(pictureEntry(id), kTellicoMaxPictureBytes, &read);
            if (!bytes) return {QByteArray(), read.error};
            return {std::move(*bytes), QString()};
        }
        return {QByteArray(), QString("the picture %1 is not in the collection").arg(id)};
    }

    // The entry's record, made on the picture pool when it has pictures to store.
    ReadRecord prepare(const TellicoEntry& entry) const {
        RecordBuilder record(options_.unmappedInNotes);
        QHash<QString, CoverLoad> pictures;
        QStringList extraPictures;
        for (const TellicoEntry::Value& value : entry.values) {
            const std::optional<ColumnTarget> target = targetOf(value.field);
            if (!target) continue;
            if (isExtraPicture(value.field)) {
                extraPictures << titleOf(value.field);
                continue;
            }
            const FieldRows rows = valuesOf(value, collection_.field(value.field));
            if ((target == T::FrontCover || target == T::BackCover) && !rows.isEmpty()) {
                const QString id = rows.front().front().trimmed();
                if (!pictures.contains(id)) pictures.insert(id, picture(id));
            }
            record.add(titleOf(value.field), *target, rows);
        }
        const bool takesInPictures =
            std::any_of(pictures.begin(), pictures.end(),
                        [](const CoverLoad& p) { return !p.bytes.isEmpty(); });
        auto build = [record = std::move(record), pictures = std::move(pictures), extraPictures,
                      intake = coverIntake(options_.dryRun)]() {
            RecordBuilder::Built built = record.build([&](ColumnTarget, const QString& id) {
                const CoverLoad raw = pictures.value(id);
                return raw.bytes.isEmpty() ? raw : intake(raw.bytes);
            });
            for (const QString& title : extraPictures) {
                built.problems << title +
                                      " not imported: a movie keeps two covers, the front and "
                                      "the back";
            }
            return built;
        };
        return recordBuiltBy(std::move(build), takesInPictures);
    }

    QIODevice* device_;
    std::optional<ZipReader> zip_;
    QByteArray xml_;  // until the whole collection is read
    bool wholeRead_ = false;
    TellicoCollection collection_;
    ImportPreview preview_;
    QString front_;
    QString back_;
    size_t next_ = 0;
};

}  // namespace

std::unique_ptr<FileImport> makeTellicoImport(ManagedObjectContext& context, QIODevice* device,
                                              const ImportOptions& options) {
    return std::make_unique<TellicoImport>(context, device, options);
}

}  // namespace quillon::exchange
