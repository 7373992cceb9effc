#include "groups/ReportText.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QTextCursor>
#include <QTextObjectInterface>
#include <QThreadPool>
#include <QtConcurrent>
#include <algorithm>

#include "platform/CoverImage.h"

namespace quillon {

namespace {

using A = Attribute;

const ReportFamily kBreakdownFamily{
    {{A::leadingActor1, "Actor: "},
     {A::leadingActor2, "Actor: "},
     {A::leadingActress1, "Actress: "},
     {A::leadingActress2, "Actress: "},
     {A::name, "Movie Name: "},
     {A::year, "Year: "},
     {A::runTime, "Run Time: "},
     {A::rating, "Rating: "},
     {A::director, "Director: "},
     {A::producer, "Producer: "},
     {A::writer, "Writer: "},
     {A::genre, "Genre: "},
     {A::notes, "Notes: "}},
    21,
    {{{"Movies Filtered by Genre: ",
       A::genre,
       {A::genre, A::leadingActor1, A::leadingActor2, A::leadingActress1, A::leadingActress2,
        A::name, A::year, A::runTime, A::rating, A::director, A::producer, A::writer, A::notes},
       "MoviesFilteredByGenre.pdf"},
      {"Movies Filtered by Actor: ",
       A::leadingActor1,
       {A::leadingActor1, A::leadingActor2, A::leadingActress1, A::leadingActress2, A::name,
        A::year, A::runTime, A::rating, A::director, A::producer, A::writer, A::genre, A::notes},
       "MoviesFilteredByActor.pdf"},
      {"Movies Filtered by Actress: ",
       A::leadingActress1,
       {A::leadingActor1, A::leadingActor2, A::leadingActress1, A::leadingActress2, A::name,
        A::year, A::runTime, A::rating, A::director, A::producer, A::writer, A::genre, A::notes},
       "MoviesFilteredByActress.pdf"},
      {"Movies Filtered by Director: ",
       A::director,
       {A::director, A::leadingActor1, A::leadingActor2, A::leadingActress1, A::leadingActress2,
        A::name, A::year, A::runTime, A::rating, A::producer, A::writer, A::genre, A::notes},
       "MoviesFilteredByDirector.pdf"},
      {"Movies Filtered by Producer: ",
       A::producer,
       {A::producer, A::leadingActor1, A::leadingActor2, A::leadingActress1, A::leadingActress2,
        A::name, A::year, A::runTime, A::rating, A::director, A::writer, A::genre, A::notes},
       "MoviesFilteredByProducer.pdf"}}}};

const ReportFamily kPrintFamily{
    {{A::leadingActor1, "Actor 1: "},
     {A::leadingActor2, "Actor 2: "},
     {A::leadingActress1, "Actress 1: "},
     {A::leadingActress2, "Actress 2: "},
     {A::name, "Movie Name: "},
     {A::year, "Year: "},
     {A::genre, "Genre: "},
     {A::director, "Director: "},
     {A::producer, "Producer: "}},
    17,
    {{{"Movies Filtered by Genre: ",
       A::genre,
       {A::genre, A::name, A::year, A::leadingActor1, A::leadingActor2, A::leadingActress1,
        A::leadingActress2, A::director, A::producer},
       {}},
      {"Movies Filtered by Actor: ",
       std::nullopt,
       {A::leadingActor1, A::leadingActor2, A::leadingActress1, A::leadingActress2, A::name,
        A::year, A::genre, A::director, A::producer},
       {}},
      {"Movies Filtered by Actress: ",
       std::nullopt,
       {A::leadingActress1, A::leadingActress2, A::name, A::year, A::genre, A::leadingActor1,
        A::leadingActor2, A::director, A::producer},
       {}},
      {"Movies Filtered by Director: ",
       A::director,
       {A::director, A::name, A::year, A::genre, A::leadingActor1, A::leadingActor2,
        A::leadingActress1, A::leadingActress2, A::producer},
       {}},
      {"Movies Filtered by Producer: ",
       A::producer,
       {A::producer, A::name, A::year, A::genre, A::leadingActor1, A::leadingActor2,
        A::leadingActress1, A::leadingActress2, A::director},
       {}}}}};

// Qt's own image handler sizes an image by decoding it whenever the layout has a paint device,
// and loads an image it cannot find from a file of that name. Covers are sized from their
// formats alone, and one that cannot be had is left blank.
class CoverHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument* doc, int, const QTextFormat& format) override {
        const QTextImageFormat image = format.toImageFormat();
        const QPaintDevice* device = doc->documentLayout()->paintDevice();
        const qreal scale = device ? device->logicalDpiY() / 96.0 : 1.0;
        return QSizeF(image.width(), image.height()) * scale;
    }
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int,
                    const QTextFormat& format) override {
        const QImage image =
            doc->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()))
                .value<QImage>();
        if (!image.isNull()) painter->drawImage(rect, image);
    }
};

QByteArray coverBytes(const ReportCover& cover) {
    return cover.saved ? readSavedCover(*cover.saved).bytes.value_or(QByteArray()) : cover.bytes;
}

QImage decodeReportCover(const ReportCover& cover) {
    return decodeCover(coverBytes(cover), cover.box).image;
}

// The upright size of the picture from its header alone; invalid when it is no picture.
QSize uprightSize(const ReportCover& cover) {
    QByteArray bytes = coverBytes(cover);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90) size.transpose();
    return size.isEmpty() ? QSize() : size;
}

QString textOf(const Movies& movie, Attribute attribute) {
    if (isNumberAttribute(attribute)) return QString::number(movie.number(attribute));
    const QString* text = movie.textIfPresent(attribute);
    return text ? *text : QString();
}

}  // namespace

QString ReportFamily::labelOf(Attribute line) const {
    for (const auto& [attribute, label] : labels)
        if (attribute == line) return label;
    return {};
}

const ReportFamily& breakdownReportFamily() {
    return kBreakdownFamily;
}

const ReportFamily& printReportFamily() {
    return kPrintFamily;
}

ReportDocument::ReportDocument(std::vector<ReportCover> covers, QObject* parent)
    : QTextDocument(parent), covers_(std::move(covers)) {
    for (size_t i = 0; i < covers_.size(); ++i) index_.insert(covers_[i].name, i);
    documentLayout()->registerHandler(QTextFormat::ImageObject, new CoverHandler(this));
}

ReportDocument::~ReportDocument() {
    for (QFuture<QImage>& decoding : ahead_) decoding.waitForFinished();
}

void ReportDocument::holdCovers() {
    const QList<QImage> images = QtConcurrent::blockingMapped<QList<QImage>>(
        covers_.begin(), covers_.end(), decodeReportCover);
    for (size_t i = 0; i < covers_.size(); ++i)
        if (!images[qsizetype(i)].isNull())
            addResource(ImageResource, covers_[i].name, images[qsizetype(i)]);
}

void ReportDocument::decodeAhead() {
    topUp();
}

QVariant ReportDocument::loadResource(int type, const QUrl& name) {
    const auto found = index_.constFind(name);
    if (type != ImageResource || found == index_.cend()) return {};
    return takeDecoded(*found);
}

// Covers are asked for in the order of the text as the pages are drawn; one asked for again
// (a page drawn twice) is decoded again.
QImage ReportDocument::takeDecoded(size_t index) {
    if (index < next_) return decodeReportCover(covers_[index]);
    while (next_ < index) {
        if (!ahead_.empty()) ahead_.pop_front();
        ++next_;
    }
    topUp();
    QImage image = ahead_.front().result();
    ahead_.pop_front();
    ++next_;
    topUp();
    return image;
}

void ReportDocument::topUp() {
    // Enough to keep every worker busy while a page is drawn, few enough to hold little.
    const size_t window = size_t(std::max(1, QThreadPool::globalInstance()->maxThreadCount())) * 32;
    while (ahead_.size() < window && next_ + ahead_.size() < covers_.size()) {
        const ReportCover& cover = covers_[next_ + ahead_.size()];
        ahead_.push_back(QtConcurrent::run(decodeReportCover, cover));
    }
}

std::unique_ptr<ReportDocument> buildReport(const ReportFamily& family, GroupKind kind,
                                            const std::vector<MoviePtr>& movies,
                                            const ReportOptions& options) {
    const ReportMember& member = family.member(kind);
    const qreal coverWidth = options.viewWidth / kCoverWidthDivisor;

    // Every cover in the order of the text, then their sizes read in parallel.
    std::vector<ReportCover> candidates;
    std::vector<size_t> firstCoverOf;
    for (const MoviePtr& movie : movies) {
        firstCoverOf.push_back(candidates.size());
        for (Attribute side : {Attribute::frontImage, Attribute::backImage}) {
            if (!movie->hasImage(side)) continue;
            ReportCover cover;
            cover.saved = movie->savedCover(side);
            if (!cover.saved) cover.bytes = movie->image(side).value_or(QByteArray());
            candidates.push_back(std::move(cover));
        }
    }
    firstCoverOf.push_back(candidates.size());
    const QList<QSize> sizes = QtConcurrent::blockingMapped<QList<QSize>>(
        candidates.begin(), candidates.end(), uprightSize);

    std::vector<QSizeF> drawn(candidates.size());
    std::vector<ReportCover> covers;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const QSize size = sizes[qsizetype(i)];
        if (!size.isValid()) continue;
        drawn[i] = QSizeF(coverWidth, coverWidth * size.height() / size.width());
        ReportCover& cover = covers.emplace_back(std::move(candidates[i]));
        cover.name = QUrl(QStringLiteral("quillon-cover:%1").arg(i));
        cover.box = (drawn[i] * kCoverPixelsPerInch / 96).toSize();
    }

    auto document = std::make_unique<ReportDocument>(std::move(covers));
    QTextOption option = document->defaultTextOption();
    option.setUseDesignMetrics(true);  // the same line breaks on screen, paper and PDF
    document->setDefaultTextOption(option);
    QFont bodyFont(QString::fromLatin1(kReportBodyFont));
    bodyFont.setPointSize(kReportBodyPointSize);
    document->setDefaultFont(bodyFont);

    QTextCharFormat body;
    body.setForeground(Qt::black);
    body.setFont(bodyFont);
    QTextCharFormat title;
    title.setForeground(Qt::black);
    title.setFontFamilies({QString::fromLatin1(kReportTitleFont)});
    title.setFontPointSize(family.titlePointSize);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);

    QString titleValue = options.pickedName;
    if (member.titleAttribute)
        titleValue = movies.empty() ? QString() : textOf(*movies.front(), *member.titleAttribute);
    QTextCursor cursor(document.get());
    cursor.setBlockFormat(centred);
    cursor.setBlockCharFormat(title);
    cursor.insertText(member.titleText + titleValue, title);
    cursor.insertBlock(centred, title);
    cursor.insertBlock(QTextBlockFormat(), body);

    for (size_t m = 0; m < movies.size(); ++m) {
        const Movies& movie = *movies[m];
        for (Attribute line : member.lines) {
            if (isTextAttribute(line) && !movie.textIfPresent(line)) continue;
            cursor.insertText(family.labelOf(line) + textOf(movie, line), body);
            cursor.insertBlock(QTextBlockFormat(), body);
        }
        for (size_t c = firstCoverOf[m]; c < firstCoverOf[m + 1]; ++c) {
            if (drawn[c].isEmpty()) continue;
            QTextImageFormat image;
            image.setName(QStringLiteral("quillon-cover:%1").arg(c));
            image.setWidth(drawn[c].width());
            image.setHeight(drawn[c].height());
            cursor.insertImage(image);
            cursor.insertText(QStringLiteral("   "), body);
        }
        cursor.insertBlock(QTextBlockFormat(), body);
        cursor.insertBlock(QTextBlockFormat(), body);
    }
    return document;
}

}  // namespace quillon

#include "ReportText.moc"
