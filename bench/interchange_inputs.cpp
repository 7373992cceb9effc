// Writes the files the interchange benchmarks import, as other programs write them:
//   peer.csv       10,000 rows as a cataloguer's spreadsheet export writes them: a byte-order
//                  mark, quoted cells with commas and line breaks, lists, a cast with roles,
//                  run times as h:mm, ratings with their country, columns we have no field for
//   collection.tc  a Tellico video collection of 10,000 entries without pictures: the default
//                  fields, the container forms, casts with roles, plots, Tellico's dates
//   covers.tc      1,000 such entries, each with a front and a back cover (400 x 600 JPEG) in
//                  images/
//   interchange_inputs OUT_DIR
#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QXmlStreamWriter>
#include <cstdio>

#include "formats/CsvText.h"
#include "formats/ZipArchive.h"

using namespace quillon;

namespace {

const QStringList kWords = {"Night",  "City",   "Blue",   "Return", "Last",  "Dark",   "River",
                            "Summer", "Shadow", "King",   "Love",   "Star",  "Road",   "Fire",
                            "Silent", "Golden", "House",  "Dream",  "Ghost", "Winter", "Island",
                            "Été",    "Nuit",   "Straße", "Mañana", "Café",  "Zoë",    "Ørsted"};
const QStringList kFirst = {"James", "Mary",  "John",     "Linda",  "Akira", "Ingrid",
                            "Agnès", "Björn", "Penélope", "Jürgen", "Wong",  "Chloé"};
const QStringList kLast = {"Smith", "Garcia",    "Kurosawa", "Bergman",    "Varda", "O'Brien",
                           "Dupré", "Almodóvar", "Lee",      "Fassbinder", "Ozu",   "Martin"};
const QStringList kGenres = {"Action", "Thriller", "Drama",   "Horror",          "Comedy",
                             "Crime",  "Romance",  "Western", "Science Fiction", "Musical"};
const QStringList kRatings = {"G (USA)", "PG (USA)", "PG-13 (USA)", "R (USA)", "12 (Germany)"};
const QStringList kStudios = {"Fox", "Paramount", "Toho", "Gaumont", "Universal"};

class Random {
public:
    explicit Random(quint32 seed) : random_(seed) {}
    int below(int n) { return int(random_.bounded(n)); }
    const QString& pick(const QStringList& from) { return from[below(int(from.size()))]; }
    QString person() { return pick(kFirst) + ' ' + pick(kLast); }
    QString title() {
        QStringList words;
        for (int i = 0, n = 1 + below(4); i < n; ++i) words << pick(kWords);
        return words.join(' ');
    }
    QStringList some(const QStringList& from, int most) {
        QStringList picked;
        for (int i = 0, n = 1 + below(most); i < n; ++i) picked << pick(from);
        picked.removeDuplicates();
        return picked;
    }
    QString plot() {
        QStringList sentences;
        for (int i = 0, n = 1 + below(4); i < n; ++i)
            sentences << title() + ", " + title().toLower() + " and " + person() + ".";
        return sentences.join(below(5) == 0 ? "\n" : " ");
    }

private:
    QRandomGenerator random_;
};

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QByteArray peerSpreadsheet(int rows) {
    Random r(7);
    const QStringList header = {"Title",   "Year",        "Director(s)", "Actors",
                                "Runtime", "MPAA Rating", "Genre(s)",    "Studio",
                                "Format",  "Comments",    "Added Date"};
    QString text = header.join(',') + "\r\n";
    for (int i = 0; i < rows; ++i) {
        QStringList cast;
        for (int a = 0, n = 2 + r.below(5); a < n; ++a) cast << r.person() + ':' + r.title();
        const int minutes = 75 + r.below(110);
        const QStringList cells = {
            r.title(),
            QString::number(1930 + r.below(95)),
            r.some({r.person(), r.person()}, 2).join(", "),
            cast.join('|'),
            QString("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QChar('0')),
            r.pick(kRatings),
            r.some(kGenres, 3).join(", "),
            r.pick(kStudios),
            r.below(2) ? "DVD" : "Blu-ray",
            r.below(3) ? r.plot() : QString(),
            QString("2019-%1-%2").arg(1 + r.below(12)).arg(1 + r.below(28)),
        };
        QStringList written;
        for (const QString& cell : cells) written << exchange::csvCell(cell, u',');
        text += written.join(',') + "\r\n";
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}

QByteArray cover(Random& r) {
    QImage image(400, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 400, 600);
    gradient.setColorAt(0, QColor::fromHsv(r.below(360), 160, 200));
    gradient.setColorAt(1, QColor::fromHsv(r.below(360), 200, 60));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::white);
    painter.setFont(QFont("Sans", 28));
    painter.drawText(image.rect().adjusted(20, 20, -20, -20), Qt::TextWordWrap, r.title());
    painter.end();
    // Fine grain, as a scanned or photographed cover has: its JPEG is then as large as theirs.
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = r.below(41) - 20;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + grain, 255), qBound(0, qGreen(p) + grain, 255),
                           qBound(0, qBlue(p) + grain, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

void writeValues(QXmlStreamWriter& xml, const QString& field, const QStringList& values) {
    xml.writeStartElement(field + 's');
    for (const QString& value : values) xml.writeTextElement(field, value);
    xml.writeEndElement();
}

QByteArray tellicoCollection(int entries, bool covers) {
    Random r(covers ? 11 : 13);
    QByteArray xmlBytes;
    QXmlStreamWriter xml(&xmlBytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);  // as Tellico indents
    xml.writeStartDocument();
    xml.writeDTD(
        "<!DOCTYPE tellico PUBLIC \"-//Robby Stephenson/DTD Tellico V11.0//EN\" "
        "\"http://periapsis.org/tellico/dtd/v11/tellico.dtd\">");
    xml.writeDefaultNamespace("http://periapsis.org/tellico/");
    xml.writeStartElement("http://periapsis.org/tellico/", "tellico");
    xml.writeAttribute("syntaxVersion", "11");
    xml.writeStartElement("collection");
    xml.writeAttribute("title", "My Videos");
    xml.writeAttribute("type", "3");
    xml.writeStartElement("fields");
    xml.writeEmptyElement("field");
    xml.writeAttribute("name", "_default");
    if (covers) {  // an image field of the user's for the back cover
        xml.writeEmptyElement("field");
        for (const auto& [name, value] : {std::pair{"flags", "0"},
                                          {"title", "Back Cover"},
                                          {"category", "Back Cover"},
                                          {"format", "4"},
                                          {"type", "10"},
                                          {"name", "back"}})
            xml.writeAttribute(name, value);
    }
    xml.writeEndElement();
    exchange::ZipWriter zip;
    QStringList images;
    for (int i = 1; i <= entries; ++i) {
        xml.writeStartElement("entry");
        xml.writeAttribute("id", QString::number(i));
        xml.writeTextElement("title", r.title());
        xml.writeTextElement("medium", r.below(2) ? "DVD" : "Blu-ray");
        xml.writeTextElement("year", QString::number(1930 + r.below(95)));
        xml.writeTextElement("certification", r.pick(kRatings));
        writeValues(xml, "genre", r.some(kGenres, 3));
        writeValues(xml, "nationality", {r.below(2) ? "USA" : "France"});
        xml.writeStartElement("casts");
        for (int a = 0, n = 3 + r.below(6); a < n; ++a) {
            xml.writeStartElement("cast");
            xml.writeTextElement("column", r.person());
            xml.writeTextElement("column", r.title());
            xml.writeEndElement();
        }
        xml.writeEndElement();
        writeValues(xml, "director", {r.person()});
        writeValues(xml, "producer", r.some({r.person(), r.person()}, 2));
        writeValues(xml, "writer", {r.person()});
        writeValues(xml, "studio", {r.pick(kStudios)});
        writeValues(xml, "language", {"English"});
        xml.writeTextElement("running-time", QString::number(75 + r.below(110)));
        xml.writeTextElement("color", r.below(8) ? "Color" : "Black & White");
        xml.writeTextElement("plot", r.plot());
        if (r.below(3) == 0) xml.writeTextElement("comments", r.plot());
        writeValues(xml, "keyword", r.some(kWords, 3));
        for (const char* side : {"cover", "back"}) {
            if (!covers) continue;
            const QByteArray picture = cover(r);
            const QString id =
                QCryptographicHash::hash(picture, QCryptographicHash::Md5).toHex() + ".jpeg";
            xml.writeTextElement(side, id);
            images << id;
            if (!zip.add("images/" + id, picture, false)) return {};
        }
        xml.writeTextElement("id", QString::number(i));
        xml.writeTextElement("cdate", "2021-03-04");
        xml.writeTextElement("mdate", "2022-05-06");
        xml.writeEndElement();
    }
    if (!images.isEmpty()) {
        xml.writeStartElement("images");
        for (const QString& id : images) {
            xml.writeEmptyElement("image");
            xml.writeAttribute("format", "JPEG");
            xml.writeAttribute("id", id);
            xml.writeAttribute("width", "400");
            xml.writeAttribute("height", "600");
        }
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    Status status = zip.add("tellico.xml", xmlBytes, true);
    return status ? zip.finish(&status).value_or(QByteArray()) : QByteArray();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts, for the covers' titles
    if (argc != 2) {
        std::fprintf(stderr, "usage: interchange_inputs OUT_DIR\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) return 1;
    const bool written = write(out.filePath("peer.csv"), peerSpreadsheet(10000)) &&
                         write(out.filePath("collection.tc"), tellicoCollection(10000, false)) &&
                         write(out.filePath("covers.tc"), tellicoCollection(1000, true));
    return written ? 0 : 1;
}
