#include "formats/TellicoCollection.h"

#include <QXmlStreamReader>

namespace quillon::exchange {
namespace {

struct Kind {
    int type;
    const char* name;
};
constexpr Kind kKinds[] = {
    {1, "custom collection"},        {2, "book collection"},        {3, "video collection"},
    {4, "music collection"},         {5, "bibliography"},           {6, "comic book collection"},
    {7, "wine collection"},          {8, "coin collection"},        {9, "stamp collection"},
    {10, "trading card collection"}, {11, "video game collection"}, {12, "file catalog"},
    {13, "board game collection"},
};

constexpr int kText = 1, kParagraph = 2, kChoice = 3, kCheckbox = 4, kNumber = 6, kDate = 12,
              kRating = 14;
constexpr int kMultiple = kTellicoMultipleValues;

class XmlReading {
public:
    XmlReading(const QByteArray& xml, QString fileName, Status* status, size_t maxEntries)
        : reader_(xml), fileName_(std::move(fileName)), status_(status), maxEntries_(maxEntries) {}

    bool foreign = false;  // a document, or a collection, of another kind

    std::optional<TellicoCollection> read() {
        bool inRoot = false, sawCollection = false;
        while (!reader_.atEnd() && status_->ok) {
            const auto token = reader_.readNext();
            if (token == QXmlStreamReader::DTD) {
                if (!reader_.entityDeclarations().isEmpty()) refuseEntities();
            } else if (token == QXmlStreamReader::EntityReference) {
                refuseEntities();
            } else if (token == QXmlStreamReader::StartElement && !inRoot) {
                inRoot = readRoot();
            } else if (token == QXmlStreamReader::StartElement) {
                if (reader_.name() == u"collection" && !sawCollection) {
                    sawCollection = true;
                    readCollection();
                    if (!collection_.complete) break;
                } else {
                    reader_.skipCurrentElement();
                }
            }
        }
        if (status_->ok && reader_.hasError() && collection_.complete)
            fail(Status::Corrupt, reader_.errorString());
        if (status_->ok && !inRoot) fail(Status::Corrupt, "this is not an XML document");
        if (status_->ok && !sawCollection)
            fail(Status::Corrupt, "the document holds no collection");
        if (!status_->ok) return std::nullopt;
        if (collection_.fields.isEmpty()) collection_.fields = tellicoDefaultVideoFields();
        return std::move(collection_);
    }

private:
    bool readRoot() {
        if (reader_.name() != u"tellico") {
            foreign = true;
            fail(Status::Corrupt, QString("this is not a Tellico collection: its document is <%1>")
                                      .arg(reader_.name()));
            return false;
        }
        bool readable = false;
        const int syntax = reader_.attributes().value("syntaxVersion").toInt(&readable);
        collection_.syntaxVersion = syntax;
        if (readable && syntax > kTellicoNewestSyntax) {
            fail(Status::Refused, QString("the collection is of syntax version %1, newer than the "
                                          "version %2 Quillon reads")
                                      .arg(syntax)
                                      .arg(kTellicoNewestSyntax));
        }
        return true;
    }

    void readCollection() {
        collection_.type = reader_.attributes().value("type").toInt();
        if (collection_.type != kTellicoVideoCollection) {
            foreign = true;
            fail(Status::Refused, QString("the file holds %1, not movies: nothing was imported")
                                      .arg(tellicoCollectionKind(collection_.type)));
            return;
        }
        while (reader_.readNextStartElement()) {
            if (reader_.name() == u"entry" && collection_.entries.size() == maxEntries_) {
                collection_.complete = false;
                return;
            }
            if (reader_.name() == u"fields")
                readFields();
            else if (reader_.name() == u"entry")
                readEntry();
            else if (reader_.name() == u"images")
                readImages();
            else
                reader_.skipCurrentElement();
        }
    }

    void readFields() {
        while (reader_.readNextStartElement()) {
            if (reader_.name() != u"field") {
                reader_.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes a = reader_.attributes();
            TellicoField field{a.value("name").toString(), a.value("title").toString(),
                               a.value("type").toInt(), a.value("flags").toInt()};
            reader_.skipCurrentElement();
            if (field.name == u"_default") {
                for (const TellicoField& known : tellicoDefaultVideoFields()) declare(known);
            } else {
                declare(field);
            }
        }
    }

    void declare(const TellicoField& field) {
        for (TellicoField& known : collection_.fields) {
            if (known.name == field.name) {
                known = field;
                return;
            }
        }
        collection_.fields << field;
    }

    void readEntry() {
        TellicoEntry entry;
        entry.line = int(reader_.lineNumber());
        while (reader_.readNextStartElement()) {
            TellicoEntry::Value value = readValue();
            const auto same = std::find_if(entry.values.begin(), entry.values.end(),
                                           [&](const auto& v) { return v.field == value.field; });
            if (same == entry.values.end()) {
                entry.values.append(std::move(value));
            } else {
                same->rows += value.rows;  // a field given again
                same->bare = false;
            }
        }
        collection_.entries.push_back(std::move(entry));
    }

    // One element of an entry: a bare value (<genre>), a container of values
    // (<genres><genre>), a table row (<cast><column>), a container of rows, or a value made of
    // parts (a date's <year>, <month>, <day>), read as its parts joined.
    TellicoEntry::Value readValue() {
        const QString name = reader_.name().toString();
        QString text;
        QList<std::pair<QString, QStringList>> children;
        while (!reader_.atEnd()) {
            const auto token = reader_.readNext();
            if (token == QXmlStreamReader::Characters) text += reader_.text();
            if (token == QXmlStreamReader::EntityReference) refuseEntities();
            if (token == QXmlStreamReader::EndElement || !status_->ok) break;
            if (token == QXmlStreamReader::StartElement)
                children.append({reader_.name().toString(), readRow()});
        }
        if (children.isEmpty()) return {name, {{text}}, true};
        const bool columns = std::all_of(children.begin(), children.end(),
                                         [](const auto& c) { return c.first == u"column"; });
        if (columns) {
            QStringList row;
            for (const auto& child : children) row << child.second.join(u' ');
            return {name, {row}, false};
        }
        const QString& first = children.front().first;
        const bool values = std::all_of(children.begin(), children.end(),
                                        [&](const auto& c) { return c.first == first; });
        FieldRows rows;
        for (const auto& child : children) rows << child.second;
        if (values) return {first, rows, false};
        QStringList parts;
        for (const QStringList& row : rows) parts << row.join(u' ');
        return {name, {{parts.join(u'-')}}, false};
    }

    // A value inside a container: its text, or its columns.
    QStringList readRow() {
        QString text;
        QStringList columns;
        while (!reader_.atEnd()) {
            const auto token = reader_.readNext();
            if (token == QXmlStreamReader::Characters) text += reader_.text();
            if (token == QXmlStreamReader::EntityReference) refuseEntities();
            if (token == QXmlStreamReader::EndElement || !status_->ok) break;
            if (token == QXmlStreamReader::StartElement)
                columns << reader_.readElementText(QXmlStreamReader::IncludeChildElements);
        }
        return columns.isEmpty() ? QStringList{text} : columns;
    }

    void readImages() {
        while (reader_.readNextStartElement()) {
            if (reader_.name() != u"image") {
                reader_.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes a = reader_.attributes();
            const QString id = a.value("id").toString();
            TellicoImage image;
            image.linked = a.value("link") == u"true";
            image.base64 = reader_.readElementText().toLatin1();
            collection_.images.insert(id, std::move(image));
        }
    }

    void refuseEntities() {
        fail(Status::Refused,
             "the document declares or uses an entity; a collection never needs one, and "
             "Quillon expands none: nothing was imported");
    }

    void fail(Status::Code code, const QString& why) {
        if (!status_->ok) return;
        *status_ = Status::failure(
            code, QString("%1, line %2: %3").arg(fileName_).arg(reader_.lineNumber()).arg(why));
    }

    QXmlStreamReader reader_;
    QString fileName_;
    Status* status_;
    size_t maxEntries_;
    TellicoCollection collection_;
};

}  // namespace

const QList<TellicoField>& tellicoDefaultVideoFields() {
    static const QList<TellicoField> fields = {
        {"title", "Title", kText, 0},
        {"medium", "Medium", kChoice, 0},
        {"year", "Production Year", kNumber, 0},
        {"certification", "Certification", kChoice, 0},
        {"genre", "Genre", kText, kMultiple},
        {"region", "Region", kChoice, 0},
        {"nationality", "Nationality", kText, kMultiple},
        {"format", "Format", kChoice, 0},
        {"cast", "Cast", kTellicoTableField, kMultiple},
        {"director", "Director", kText, kMultiple},
        {"producer", "Producer", kText, kMultiple},
        {"writer", "Writer", kText, kMultiple},
        {"composer", "Composer", kText, kMultiple},
        {"studio", "Studio", kText, kMultiple},
        {"language", "Language Tracks", kText, kMultiple},
        {"subtitle", "Subtitle Languages", kText, kMultiple},
        {"audio-track", "Audio Tracks", kText, kMultiple},
        {"running-time", "Running Time", kNumber, 0},
        {"aspect-ratio", "Aspect Ratio", kText, 0},
        {"widescreen", "Widescreen", kCheckbox, 0},
        {"color", "Color Mode", kChoice, 0},
        {"directors-cut", "Director's Cut", kCheckbox, 0},
        {"plot", "Plot Summary", kParagraph, 0},
        {"rating", "Personal Rating", kRating, 0},
        {"seen", "Seen", kCheckbox, 0},
        {"gift", "Gift", kCheckbox, 0},
        {"loaned", "Loaned", kCheckbox, 0},
        {"pur_date", "Purchase Date", kDate, 0},
        {"pur_price", "Purchase Price", kText, 0},
        {"cover", "Cover", kTellicoImageField, 0},
        {"comments", "Comments", kParagraph, 0},
        {"keyword", "Keywords", kText, kMultiple},
        {"id", "ID", kNumber, 0},
        {"cdate", "Date Created", kDate, 0},
        {"mdate", "Date Modified", kDate, 0},
    };
    return fields;
}

QString tellicoCollectionKind(int type) {
    for (const Kind& kind : kKinds) {
        if (kind.type == type) return QString("a %1 (type %2)").arg(kind.name).arg(type);
    }
    return QString("a collection of type %1").arg(type);
}

const TellicoField* TellicoCollection::field(const QString& name) const {
    for (const TellicoField& known : fields) {
        if (known.name == name) return &known;
    }
    return nullptr;
}

std::optional<TellicoCollection> readTellicoXml(const QByteArray& xml, const QString& fileName,
                                                Status* status, bool* foreign, size_t maxEntries) {
    *status = Status::success();
    XmlReading reading(xml, fileName, status, maxEntries);
    std::optional<TellicoCollection> collection = reading.read();
    if (foreign) *foreign = reading.foreign;
    return collection;
}

}  // namespace quillon::exchange
