#include <QBuffer>
#include <QCryptographicHash>
#include <QImageReader>
#include <QSet>
#include <QXmlStreamWriter>

#include "formats/ExportFormat.h"
#include "formats/SteppedExport.h"
#include "formats/TellicoCollection.h"
#include "formats/ZipArchive.h"
#include "images/CoverImage.h"

namespace quillon::exchange {
namespace {

// A field of several values, written in its container: <directors><director>.
struct ListField {
    const char* name;
    Attribute attribute;
};
constexpr ListField kListFields[] = {
    {"genre", Attribute::genre},
    {"director", Attribute::director},
    {"producer", Attribute::producer},
    {"writer", Attribute::writer},
};
constexpr Attribute kCastOrder[] = {Attribute::leadingActor1, Attribute::leadingActor2,
                                    Attribute::leadingActress1, Attribute::leadingActress2};

// XML 1.0 holds no other control characters, not even as references.
bool xmlCanHold(QChar c) {
    return c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r';
}

// A Tellico collection (.tc) that Tellico opens: tellico.xml of syntax version 11, a video
// collection with the default fields, a picture field "back" for the back cover and a field of
// several names "actresses"; the covers, as stored, in images/ named by the MD5 of their bytes.
// The cast lists the actors, then the actresses, whom "actresses" names again, so that Tellico
// shows the whole cast and our import puts everyone back in their slot.
class TellicoExport : public SteppedExport {
public:
    using SteppedExport::SteppedExport;

protected:
    bool writeHead() override {
        xml_.setAutoFormatting(true);
        xml_.setAutoFormattingIndent(1);
        xml_.writeStartDocument();
        xml_.writeDTD(
            QStringLiteral("<!DOCTYPE tellico PUBLIC \"-//Robby Stephenson/DTD Tellico V11.0//EN\" "
                           "\"http://periapsis.org/tellico/dtd/v11/tellico.dtd\">"));
        xml_.writeDefaultNamespace(kTellicoNamespace);
        xml_.writeStartElement(kTellicoNamespace, "tellico");
        xml_.writeAttribute("syntaxVersion", QString::number(kTellicoWrittenSyntax));
        xml_.writeStartElement("collection");
        xml_.writeAttribute("title", "My Movies");
        xml_.writeAttribute("type", QString::number(kTellicoVideoCollection));
        xml_.writeStartElement("fields");
        xml_.writeEmptyElement("field");
        xml_.writeAttribute("name", "_default");
        writeFieldDefinition("back", "Back Cover", "Back Cover", kTellicoImageField, 0, 4);
        writeFieldDefinition("actresses", "Actresses", "General", 1, 7, 2);
        xml_.writeEndElement();
        return true;
    }

    bool writeMovie(const Movies& movie) override {
        label_ = movieLabel(movie.name().value_or(QString()), QString::number(movie.year()));
        xml_.writeStartElement("entry");
        xml_.writeAttribute("id", QString::number(++entries_));
        writeText("title", movie.textIfPresent(Attribute::name));
        if (movie.year() != 0) xml_.writeTextElement("year", QString::number(movie.year()));
        writeText("certification", movie.textIfPresent(Attribute::rating));
        for (const ListField& field : kListFields) {
            if (const QString* text = nonEmpty(movie, field.attribute))
                writeValues(QString::fromLatin1(field.name), {*text});
        }
        QStringList cast, actresses;
        for (const Attribute a : kCastOrder) {
            if (const QString* name = nonEmpty(movie, a)) {
                cast << *name;
                if (a == Attribute::leadingActress1 || a == Attribute::leadingActress2)
                    actresses << *name;
            }
        }
        writeCast(cast);
        writeValues("actresses", actresses);
        if (movie.runTime() != 0)
            xml_.writeTextElement("running-time", QString::number(movie.runTime()));
        writeText("color", movie.textIfPresent(Attribute::color_blackwhite));
        writeText("comments", movie.textIfPresent(Attribute::notes));
        if (!writePicture(movie, Attribute::frontImage, "cover")) return false;
        if (!writePicture(movie, Attribute::backImage, "back")) return false;
        xml_.writeEndElement();
        return true;
    }

    bool writeTail() override {
        if (!images_.empty()) {
            xml_.writeStartElement("images");
            for (const auto& [id, format, size] : images_) {
                xml_.writeEmptyElement("image");
                xml_.writeAttribute("format", format);
                xml_.writeAttribute("id", id);
                xml_.writeAttribute("width", QString::number(size.width()));
                xml_.writeAttribute("height", QString::number(size.height()));
            }
            xml_.writeEndElement();
        }
        xml_.writeEndDocument();
        if (options_.keepsDisplayText) displayText_ = QString::fromUtf8(xmlBytes_);
        Status status = zip_.add("tellico.xml", std::move(xmlBytes_), true);
        std::optional<QByteArray> archive = status ? zip_.finish(&status) : std::nullopt;
        if (!archive) {
            finish(status);
            return false;
        }
        return write(*archive);
    }

private:
    struct Image {
        QString id;
        QString format;
        QSize size;
    };

    static const QString* nonEmpty(const Movies& movie, Attribute a) {
        const QString* text = movie.textIfPresent(a);
        return text && !text->isEmpty() ? text : nullptr;
    }

    void writeFieldDefinition(const char* name, const char* title, const char* category, int type,
                              int flags, int format) {
        xml_.writeEmptyElement("field");
        xml_.writeAttribute("flags", QString::number(flags));
        xml_.writeAttribute("title", title);
        xml_.writeAttribute("category", category);
        xml_.writeAttribute("format", QString::number(format));
        xml_.writeAttribute("type", QString::number(type));
        xml_.writeAttribute("name", name);
    }

    // Control characters XML cannot hold are left out, and told.
    QString xmlText(const QString& text, const QString& field) {
        if (std::all_of(text.begin(), text.end(), xmlCanHold)) return text;
        QString kept;
        for (const QChar c : text) {
            if (xmlCanHold(c)) kept += c;
        }
        problems_ << label_ + ": control characters left out of " + field +
                         " (a collection's XML cannot hold them)";
        return kept;
    }

    // A reader reads a carriage return written as it is as a line feed: it goes as a reference.
    void writeTextElement(const QString& element, const QString& text, const QString& field) {
        xml_.writeStartElement(element);
        const QStringList pieces = xmlText(text, field).split(u'\r');
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0) xml_.writeEntityReference("#13");
            if (!pieces[i].isEmpty()) xml_.writeCharacters(pieces[i]);
        }
        xml_.writeEndElement();
    }

    void writeText(const QString& element, const QString* text) {
        if (text && !text->isEmpty()) writeTextElement(element, *text, element);
    }

    void writeValues(const QString& element, const QStringList& values) {
        if (values.isEmpty()) return;
        xml_.writeStartElement(element + 's');
        for (const QString& value : values) writeTextElement(element, value, element);
        xml_.writeEndElement();
    }

    void writeCast(const QStringList& names) {
        if (names.isEmpty()) return;
        xml_.writeStartElement("casts");
        for (const QString& name : names) {
            xml_.writeStartElement("cast");
            writeTextElement("column", name, "cast");
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
    }

    // The stored bytes, as they are, named by their MD5; one file for a picture two movies share.
    bool writePicture(const Movies& movie, Attribute a, const char* element) {
        const char* side = a == Attribute::frontImage ? "front cover" : "back cover";
        const CoverRead read = movie.readImage(a);
        if (read.failed()) {
            problems_ << label_ +
                             QString(": %1 left out: it could not be read from the catalogue (%2)")
                                 .arg(side, read.status.describe());
            return true;
        }
        if (!read.bytes || read.bytes->isEmpty()) return true;
        const QByteArray& bytes = *read.bytes;
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QByteArray format = reader.format().toUpper();
        if (!checkCoverBytes(bytes).storable() || format.isEmpty()) {
            problems_ << label_ + QString(": %1 left out: it is not a picture").arg(side);
            return true;
        }
        const QString id =
            QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()) +
            '.' + QString::fromLatin1(format.toLower());
        xml_.writeTextElement(element, id);
        if (written_.contains(id)) return true;
        written_.insert(id);
        images_.push_back({id, QString::fromLatin1(format), reader.size()});
        if (const Status added = zip_.add("images/" + id, bytes, false); !added) {
            finish(added);
            return false;
        }
        return true;
    }

    QByteArray xmlBytes_;
    QXmlStreamWriter xml_{&xmlBytes_};
    ZipWriter zip_;
    std::vector<Image> images_;
    QSet<QString> written_;
    QString label_;
    int entries_ = 0;
};

}  // namespace

std::unique_ptr<CatalogueExport> makeTellicoExport(ManagedObjectContext& context, QIODevice* device,
                                                   const ExportOptions& options) {
    return std::make_unique<TellicoExport>(context, device, options);
}

}  // namespace quillon::exchange
