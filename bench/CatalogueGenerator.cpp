#include "CatalogueGenerator.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QStringList>
#include <cstdio>

#include "images/SmallCoverImage.h"

namespace quillon::bench {

namespace {

const QStringList kWords = {
    "Night",  "City",     "Blue",    "Return",  "Last",    "Dark",      "River",   "Summer",
    "Shadow", "King",     "Love",    "Man",     "Woman",   "Star",      "Road",    "Stranger",
    "Fire",   "Silent",   "Golden",  "House",   "Dream",   "Ghost",     "Winter",  "Island",
    "Secret", "Red",      "Wild",    "Storm",   "Moon",    "Heart",     "Lost",    "Empire",
    "Garden", "Midnight", "Iron",    "Paper",   "Glass",   "Yesterday", "Journey", "Kingdom",
    "Ocean",  "Mountain", "Train",   "Letter",  "Mirror",  "Song",      "Hunter",  "Angel",
    "Devil",  "Saint",    "Express", "Highway", "Horizon", "Legend",    "Promise", "Revenge",
    "Sky",    "l'Amour",  "Été",     "Nuit",    "Straße",  "Mañana",    "Señor",   "Café",
    "Déjà",   "Zoë",      "Ørsted"};
const QStringList kFirstNames = {
    "James",  "Mary",     "John",      "Patricia", "Robert",   "Jennifer", "Michael",
    "Linda",  "William",  "Elizabeth", "David",    "Barbara",  "Richard",  "Susan",
    "Joseph", "Jessica",  "Thomas",    "Sarah",    "Charles",  "Karen",    "Christopher",
    "Nancy",  "Daniel",   "Lisa",      "Matthew",  "Betty",    "Anthony",  "Margaret",
    "Mark",   "Sandra",   "Donald",    "Ashley",   "Steven",   "Kimberly", "Paul",
    "Emily",  "Andrew",   "Donna",     "Joshua",   "Michelle", "Kenneth",  "Carol",
    "Kevin",  "Amanda",   "Brian",     "Dorothy",  "George",   "Melissa",  "Akira",
    "Ingrid", "François", "Björn",     "Penélope", "Jürgen",   "Yasujirō", "Agnès",
    "Sōfia",  "Wong",     "Chloé"};
const QStringList kLastNames = {
    "Smith",       "Johnson",   "Williams",   "Brown",     "Jones",    "Garcia",   "Miller",
    "Davis",       "Rodriguez", "Martinez",   "Hernandez", "Lopez",    "Gonzalez", "Wilson",
    "Anderson",    "Thomas",    "Taylor",     "Moore",     "Jackson",  "Martin",   "Lee",
    "Perez",       "Thompson",  "White",      "Harris",    "Sanchez",  "Clark",    "Ramirez",
    "Lewis",       "Robinson",  "Walker",     "Young",     "Allen",    "King",     "Wright",
    "Scott",       "Torres",    "Nguyen",     "Hill",      "Flores",   "Green",    "Adams",
    "Nelson",      "Baker",     "Hall",       "Rivera",    "Campbell", "Mitchell", "Kurosawa",
    "Bergman",     "Truffaut",  "Fassbinder", "Ozu",       "Varda",    "O'Brien",  "Dupré",
    "Søndergaard", "Almodóvar", "Kar-wai"};
const QStringList kGenres = {
    "Action",          "Thriller",  "Drama",   "Epic",        "Horror",    "Adventure",
    "Animation",       "Comedy",    "Crime",   "Documentary", "Biography", "Family",
    "Fantasy",         "Film-Noir", "History", "Musical",     "Mystery",   "Romance",
    "Science Fiction", "Sport",     "War",     "Western"};
const QStringList kRatings = {"G", "PG", "PG-13", "R"};

class Texts {
public:
    Texts(quint32 seed, int distinctActors) : random_(seed) {
        for (int i = 0; i < 3000; ++i) directors_ << person();
        for (int i = 0; i < 2000; ++i) producers_ << person();
        if (distinctActors > 0) {
            // Names repeat beyond a few thousand: a numeral tells namesakes apart.
            QHash<QString, int> taken;
            while (actors_.size() < distinctActors) {
                const QString name = person();
                const int seen = taken[name]++;
                actors_ << (seen == 0 ? name : name + " " + QString::number(seen + 1));
            }
        } else {
            for (int i = 0; i < 12000; ++i) actors_ << person();
        }
        for (int i = 0; i < 12000; ++i) actresses_ << person();
    }
    QString person() { return pick(kFirstNames) + " " + pick(kLastNames); }
    QString title() {
        const int words = 1 + int(random_.bounded(5));
        QStringList parts;
        if (random_.bounded(4) == 0) parts << "The";
        for (int i = 0; i < words; ++i) {
            QString word = pick(kWords);
            if (random_.bounded(6) == 0) word = word.toLower();
            parts << word;
        }
        if (random_.bounded(10) == 0) parts << QString::number(2 + random_.bounded(4));
        return parts.join(' ');
    }
    QString notes() {
        const int words = int(random_.bounded(80));
        QStringList parts;
        for (int i = 0; i < words; ++i) parts << pick(kWords).toLower();
        return parts.join(' ');
    }
    QString pick(const QStringList& list) { return list[int(random_.bounded(list.size()))]; }
    // Popular people come up far more often than the rest, as in a real collection.
    QString popular(const QStringList& pool) {
        const double u = random_.generateDouble();
        return pool[int(u * u * u * pool.size()) % pool.size()];
    }
    int bounded(int low, int high) { return low + int(random_.bounded(high - low)); }
    const QStringList& directors() const { return directors_; }
    const QStringList& producers() const { return producers_; }
    const QStringList& actors() const { return actors_; }
    const QStringList& actresses() const { return actresses_; }

private:
    QRandomGenerator random_;
    QStringList directors_, producers_, actors_, actresses_;
};

// What the forms store: JPEG at quality 0.6.
constexpr int kStoredQuality = 60;

QByteArray coverJpeg(int variant) {
    QImage image(1000, 1500, QImage::Format_RGB32);
    QRandomGenerator random(quint32(variant * 7919 + 17));
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 1000, 1500);
    gradient.setColorAt(0, QColor::fromHsv((variant * 37) % 360, 160, 220));
    gradient.setColorAt(1, QColor::fromHsv((variant * 37 + 120) % 360, 200, 60));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 110; ++i) {
        painter.setPen(QColor::fromHsv(int(random.bounded(360)), 200, int(random.bounded(256))));
        painter.drawLine(int(random.bounded(1000)), int(random.bounded(1500)),
                         int(random.bounded(1000)), int(random.bounded(1500)));
    }
    QFont font = painter.font();
    font.setPixelSize(90);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("Cover %1").arg(variant));
    painter.end();
    // Film-grain noise keeps the JPEG at a realistic size.
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(random.bounded(5)) - 2;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + n, 255), qBound(0, qGreen(p) + n, 255),
                           qBound(0, qBlue(p) + n, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", kStoredQuality);
    return bytes;
}

}  // namespace

int generateCatalogue(ManagedObjectContext& context, const GeneratorOptions& options) {
    Texts texts(options.seed, options.actors);
    std::vector<QByteArray> covers;
    std::vector<std::optional<SmallCover>> smallCovers;
    if (options.covers) {
        for (int v = 0; v < 12; ++v) {
            covers.push_back(coverJpeg(v + int(options.seed) * 12));
            smallCovers.push_back(options.smallCopies ? makeSmallCover(covers.back())
                                                      : std::nullopt);
        }
    }
    for (int i = 0; i < options.movies; ++i) {
        auto movie = Movies::insertInto(context);
        movie->setName(texts.title());
        movie->setYear(qint16(texts.bounded(1920, 2026)));
        movie->setRunTime(qint16(texts.bounded(70, 200)));
        movie->setText(Attribute::genre, texts.pick(kGenres));
        movie->setText(Attribute::rating, texts.pick(kRatings));
        movie->setText(Attribute::director, texts.popular(texts.directors()));
        movie->setText(Attribute::producer, texts.popular(texts.producers()));
        movie->setText(Attribute::writer, texts.person());
        movie->setText(Attribute::leadingActor1, options.actors > 0 && i < options.actors
                                                     ? texts.actors()[i]
                                                     : texts.popular(texts.actors()));
        movie->setText(Attribute::leadingActor2, texts.popular(texts.actors()));
        movie->setText(Attribute::leadingActress1, texts.popular(texts.actresses()));
        if (texts.bounded(0, 4) != 0)
            movie->setText(Attribute::leadingActress2, texts.popular(texts.actresses()));
        if (texts.bounded(0, 3) != 0) movie->setText(Attribute::notes, texts.notes());
        if (!covers.empty()) {
            const size_t front = size_t(i) % covers.size();
            const size_t back = size_t(i + 5) % covers.size();
            movie->setImage(Attribute::frontImage, covers[front], smallCovers[front]);
            movie->setImage(Attribute::backImage, covers[back], smallCovers[back]);
        }
        const bool batchFull = options.covers ? (i + 1) % 50 == 0 : (i + 1) % 5000 == 0;
        if (batchFull || i + 1 == options.movies) {
            const Status status = context.save();
            if (!status) {
                std::fprintf(stderr, "save failed: %s\n", status.describe().toUtf8().constData());
                return i + 1 - (i % 5000);
            }
        }
    }
    return options.movies;
}

}  // namespace quillon::bench
