#include "catalogue/ReportText.h"

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

#include "images/CoverImage.h"
#include "images/SmallCoverImage.h"

namespace quillon {

namespace {

using A = Attribute;

const ReportFamily kBreakdownFamily{{{A::leadingActor1, "Actor: "},
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
                                    &GroupKindFacts::breakdownReport};

const ReportFamily kPrintFamily{{{A::leadingActor1, "Actor 1: "},
                                 {A::leadingActor2, "Actor 2: "},
                                 {A::leadingActress1, "Actress 1: "},
                                 {A::leadingActress2, "Actress 2: "},
                                 {A::name, "Movie Name: "},
                                 {A::year, "Year: "},
                                 {A::genre, "Genre: "},
                                 {A::director, "Director: "},
                                 {A::producer, "Producer: "}},
                                17,
                                &GroupKindFacts::printReport};

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
        if (image.isNull()) return;
        if (auto* report = qobject_cast<ReportDocument*>(doc))
            report->drawCover(*painter, rect, image);
        else
            painter->drawImage(rect, image);
    }
};

QImage decodeReportCover(const ReportCover& cover, SavedCoverReader& reader) {
    if (cover.saved) return decodeSavedCover(reader, *cover.saved, cover.box);
    return decodeCover(cover.bytes, cover.box).image;
}

// Covers are read in runs, each run through one connection: long runs when only their headers
// are read, short ones when they are decoded a few pages ahead of the text.
constexpr size_t kSizesPerRun = 64;
constexpr size_t kCoversPerRun = 8;

// The small copy's JPEG as it is stored when it serves and a PDF can embed it; else decoded.
ReadyCover readyCover(const ReportCover& cover, SavedCoverReader& reader, bool passJpegs) {
    if (passJpegs && cover.small)
        if (std::optional<EmbeddableJpeg> jpeg = embeddableJpeg(cover.small->bytes))
            return {QImage(), std::move(jpeg)};
    return {decodeReportCover(cover, reader), std::nullopt};
}

std::vector<ReadyCover> decodeRun(const std::vector<ReportCover>& covers, size_t first,
                                  size_t count, bool passJpegs) {
    SavedCoverReader reader;
    std::vector<ReadyCover> ready;
    ready.reserve(count);
    for (size_t i = first; i < first + count; ++i)
        ready.push_back(readyCover(covers[i], reader, passJpegs));
    return ready;
}

// The upright size of the picture, as its small copy keeps it (the copy kept with the cover) or
// from its header alone; invalid when it is no picture.
QSize uprightSize(ReportCover& cover, SavedCoverReader& covers) {
    if (cover.saved)
        if (std::optional<SmallCover> small = covers.readSmall(*cover.saved)) {
            cover.small = std::move(small);
            return cover.small->coverSize;
        }
    QByteArray bytes =
        cover.saved ? covers.read(*cover.saved).bytes.value_or(QByteArray()) : cover.bytes;
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

ReportMember ReportFamily::member(GroupKind kind) const {
    const ReportLayout& report = groupKindFacts(kind).*layout;
    return {QString::fromUtf8(report.title), report.titleAttribute,
            std::vector<Attribute>(report.lines.begin(), report.lines.end()),
            report.fileName ? QString::fromUtf8(report.fileName) : QString()};
}

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
    // A report is never edited: keeping every insertion for undo would only cost.
    setUndoRedoEnabled(false);
    for (size_t i = 0; i < covers_.size(); ++i) index_.insert(covers_[i].name, i);
    documentLayout()->registerHandler(QTextFormat::ImageObject, new CoverHandler(this));
}

ReportDocument::~ReportDocument() {
    stopDecodingAhead();
}

void ReportDocument::stopDecodingAhead() {
    for (DecodingRun& run : ahead_) run.images.waitForFinished();
    ahead_.clear();
    scheduled_ = next_ = 0;
    passJpegs_ = false;
    standIns_.clear();
    drawnKeys_.clear();
    drawn_.clear();
}

namespace {
// Runs `work(first, count)` over the covers in runs, in parallel, and waits for them all.
template <class Work>
void inRuns(size_t covers, size_t perRun, Work work) {
    std::vector<size_t> firsts;
    for (size_t first = 0; first < covers; first += perRun) firsts.push_back(first);
    QtConcurrent::blockingMap(&picturePool(), firsts,
                              [&](size_t first) { work(first, std::min(perRun, covers - first)); });
}
}  // namespace

void ReportDocument::holdCovers() {
    std::vector<QImage> images(covers_.size());
    inRuns(covers_.size(), kCoversPerRun, [&](size_t first, size_t count) {
        std::vector<ReadyCover> run = decodeRun(covers_, first, count, false);
        for (size_t i = 0; i < count; ++i) images[first + i] = std::move(run[i].image);
    });
    for (size_t i = 0; i < covers_.size(); ++i)
        if (!images[i].isNull()) addResource(ImageResource, covers_[i].name, images[i]);
}

void ReportDocument::decodeAhead(bool passJpegs) {
    stopDecodingAhead();
    passJpegs_ = passJpegs;
    topUp();
}

QImage ReportDocument::readyToDraw(ReadyCover cover) {
    if (!cover.jpeg) return cover.image;
    QImage standIn(kStandInSize, QImage::Format_RGB32);
    standIn.fill(Qt::white);
    standIns_.insert(standIn.cacheKey(), std::move(*cover.jpeg));
    return standIn;
}

void ReportDocument::drawCover(QPainter& painter, const QRectF& rect, const QImage& image) {
    // A PDF holds a picture drawn again once: note each the first time only.
    const auto standIn = standIns_.constFind(image.cacheKey());
    if (passJpegs_ && !drawnKeys_.contains(image.cacheKey())) {
        drawnKeys_.insert(image.cacheKey());
        drawn_.push_back(standIn != standIns_.cend() ? std::optional(*standIn) : std::nullopt);
    }
    if (standIn == standIns_.cend()) {
        painter.drawImage(rect, image);
        return;
    }
    // Lossless, the stand-in costs no JPEG encoding and keeps its size in the PDF.
    painter.save();
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(rect, image);
    painter.restore();
}

QVariant ReportDocument::loadResource(int type, const QUrl& name) {
    const auto found = index_.constFind(name);
    if (type != ImageResource || found == index_.cend()) return {};
    return takeDecoded(*found);
}

// Covers are asked for in the order of the text as the pages are drawn; one asked for again
// (a page drawn twice) is decoded again.
QImage ReportDocument::takeDecoded(size_t index) {
    if (index < next_) {
        SavedCoverReader reader;
        return readyToDraw(readyCover(covers_[index], reader, passJpegs_));
    }
    next_ = index + 1;
    while (!ahead_.empty() && ahead_.front().first + ahead_.front().count <= index)
        ahead_.pop_front();
    if (ahead_.empty()) scheduled_ = std::max(scheduled_, index);
    topUp();
    const DecodingRun& run = ahead_.front();
    QImage image = readyToDraw(run.images.result()[index - run.first]);
    topUp();
    return image;
}

void ReportDocument::topUp() {
    // Enough to keep every worker busy while a page is drawn, few enough to hold little.
    const size_t runs = size_t(std::max(1, picturePool().maxThreadCount())) * 4;
    while (ahead_.size() < runs && scheduled_ < covers_.size()) {
        const size_t count = std::min(kCoversPerRun, covers_.size() - scheduled_);
        ahead_.push_back({scheduled_, count,
                          QtConcurrent::run(&picturePool(), decodeRun, std::cref(covers_),
                                            scheduled_, count, passJpegs_)});
        scheduled_ += count;
    }
}

namespace {

// Every cover of the movies in the order of the text, with the upright size of each.
struct GatheredCovers {
    std::vector<ReportCover> candidates;
    std::vector<QSize> sizes;  // invalid where the bytes are no picture
    // Movie m's covers are candidates firstCoverOf[m] up to firstCoverOf[m + 1].
    std::vector<size_t> firstCoverOf;
};

// The covers that are pictures, named and boxed, and the size each candidate is drawn at
// (empty where it is left out).
struct PlacedCovers {
    std::vector<ReportCover> covers;
    std::vector<QSizeF> drawn;
};

struct ReportStyles {
    QTextCharFormat body;
    QTextCharFormat title;
    QTextBlockFormat centred;
};

// Every cover in the order of the text, then their sizes read in parallel.
GatheredCovers gatherCovers(const std::vector<MoviePtr>& movies) {
    GatheredCovers gathered;
    std::vector<ReportCover>& candidates = gathered.candidates;
    std::vector<size_t>& firstCoverOf = gathered.firstCoverOf;
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
    std::vector<QSize>& sizes = gathered.sizes;
    sizes.resize(candidates.size());
    inRuns(candidates.size(), kSizesPerRun, [&](size_t first, size_t count) {
        SavedCoverReader reader;
        for (size_t i = first; i < first + count; ++i)
            sizes[i] = uprightSize(candidates[i], reader);
    });
    return gathered;
}

PlacedCovers placeCovers(GatheredCovers& gathered, qreal coverWidth) {
    std::vector<ReportCover>& candidates = gathered.candidates;
    PlacedCovers placed;
    std::vector<QSizeF>& drawn = placed.drawn;
    drawn.resize(candidates.size());
    for (size_t i = 0; i < candidates.size(); ++i) {
        const QSize size = gathered.sizes[i];
        if (!size.isValid()) continue;
        drawn[i] = QSizeF(coverWidth, coverWidth * size.height() / size.width());
        if (drawn[i].height() > kTallestCover)
            drawn[i].scale(drawn[i].width(), kTallestCover, Qt::KeepAspectRatio);
        ReportCover& cover = placed.covers.emplace_back(std::move(candidates[i]));
        cover.name = QUrl(QStringLiteral("quillon-cover:%1").arg(i));
        cover.box = (drawn[i] * kCoverPixelsPerInch / 96).toSize();
        if (cover.small && !smallCoverServes(*cover.small, cover.box)) cover.small.reset();
    }
    return placed;
}

ReportStyles setUpStyles(ReportDocument& document, int titlePointSize) {
    QTextOption option = document.defaultTextOption();
    option.setUseDesignMetrics(true);  // the same line breaks on screen, paper and PDF
    document.setDefaultTextOption(option);
    QFont bodyFont(QString::fromLatin1(kReportBodyFont));
    bodyFont.setPointSize(kReportBodyPointSize);
    document.setDefaultFont(bodyFont);

    ReportStyles styles;
    styles.body.setForeground(Qt::black);
    styles.body.setFont(bodyFont);
    styles.title.setForeground(Qt::black);
    styles.title.setFontFamilies({QString::fromLatin1(kReportTitleFont)});
    styles.title.setFontPointSize(titlePointSize);
    styles.centred.setAlignment(Qt::AlignHCenter);
    return styles;
}

void writeTitle(QTextCursor& cursor, const ReportStyles& styles, const QString& title) {
    cursor.setBlockFormat(styles.centred);
    cursor.setBlockCharFormat(styles.title);
    cursor.insertText(title, styles.title);
    cursor.insertBlock(styles.centred, styles.title);
    cursor.insertBlock(QTextBlockFormat(), styles.body);
}

void writeMovieBlock(QTextCursor& cursor, const ReportStyles& styles, const ReportFamily& family,
                     const ReportMember& member, const Movies& movie,
                     const std::vector<QSizeF>& drawn, size_t firstCover, size_t endCover) {
    const QTextCharFormat& body = styles.body;
    for (Attribute line : member.lines) {
        if (isTextAttribute(line) && !movie.textIfPresent(line)) continue;
        cursor.insertText(family.labelOf(line) + textOf(movie, line), body);
        cursor.insertBlock(QTextBlockFormat(), body);
    }
    for (size_t c = firstCover; c < endCover; ++c) {
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

}  // namespace

std::unique_ptr<ReportDocument> buildReport(const ReportFamily& family, GroupKind kind,
                                            const std::vector<MoviePtr>& movies,
                                            const ReportOptions& options) {
    const ReportMember& member = family.member(kind);
    GatheredCovers gathered = gatherCovers(movies);
    PlacedCovers placed = placeCovers(gathered, options.viewWidth / kCoverWidthDivisor);

    auto document = std::make_unique<ReportDocument>(std::move(placed.covers));
    const ReportStyles styles = setUpStyles(*document, family.titlePointSize);
    QString titleValue = options.pickedName;
    if (member.titleAttribute)
        titleValue = movies.empty() ? QString() : textOf(*movies.front(), *member.titleAttribute);
    // Laid out only where it is shown or written, at that size: not here at a size of none.
    document->setPageSize(QSizeF(0, 0));
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    writeTitle(cursor, styles, member.titleText + titleValue);
    for (size_t m = 0; m < movies.size(); ++m)
        writeMovieBlock(cursor, styles, family, member, *movies[m], placed.drawn,
                        gathered.firstCoverOf[m], gathered.firstCoverOf[m + 1]);
    cursor.endEditBlock();
    return document;
}

}  // namespace quillon

#include "ReportText.moc"
