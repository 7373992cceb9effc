#pragma once

#include <QByteArray>
#include <QFuture>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QSize>
#include <QString>
#include <QTextDocument>
#include <QUrl>
#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "catalogue/GroupKind.h"
#include "catalogue/PdfJpegEmbedding.h"
#include "store/Records.h"

class QPainter;

namespace quillon {

// What one group kind's report says: its title and the lines of each movie's block (see
// ReportLayout).
struct ReportMember {
    QString titleText;
    std::optional<Attribute> titleAttribute;
    std::vector<Attribute> lines;
    QString fileName;  // the PDF file of the report; empty where the report is only printed
};

// A family of reports: the label of each line, the title's font size, and which of the layouts
// in each kind's row of the kinds' table is the family's.
struct ReportFamily {
    std::vector<std::pair<Attribute, QString>> labels;
    int titlePointSize = 0;
    ReportLayout GroupKindFacts::*layout = nullptr;

    ReportMember member(GroupKind kind) const;
    QString labelOf(Attribute line) const;
};

// The breakdown's PDF report and the print screen's report.
const ReportFamily& breakdownReportFamily();
const ReportFamily& printReportFamily();

inline constexpr char kReportTitleFont[] = "Arial";
inline constexpr char kReportBodyFont[] = "Helvetica";
inline constexpr int kReportBodyPointSize = 12;
// Covers are drawn a sixth as wide as the view and kept at 144 pixels per inch: twice their
// drawn size on paper.
inline constexpr int kCoverWidthDivisor = 6;
inline constexpr qreal kCoverPixelsPerInch = 144;
// No cover is drawn taller than nine inches, so that it fits on one page of the PDF report and
// of a printout on letter or A4 paper: one that spans pages is drawn again on each of them.
inline constexpr qreal kTallestCover = 9 * 96;

// A cover made ready to draw: decoded, or the JPEG of its small copy as it is stored, for a PDF
// to embed.
struct ReadyCover {
    QImage image;
    std::optional<EmbeddableJpeg> jpeg;
};

// One cover of a report: where its bytes are and the box it is decoded into.
struct ReportCover {
    QUrl name;  // the name the text gives it
    std::optional<SavedCover> saved;
    QByteArray bytes;  // a cover not saved yet
    QSize box;
    std::optional<SmallCover> small;  // its small copy, where that is as sharp as the box needs
};

// A report's text: styled runs and inline covers, made with QTextCursor only, so catalogue
// text is never read as markup. Covers are named in the text; a cover the document holds as a
// resource is drawn from it, any other is decoded when it is drawn (from its small copy when
// that is sharp enough), on worker threads a stretch ahead of the text being drawn, and not
// kept, so that writing a long report holds the decoded covers of a few pages only (the small
// copies, a PDF's own pictures, are kept). Covers are sized
// from their formats (1/96 inch per unit, like Qt's own images), never by decoding them;
// nothing is ever loaded from a file. Main thread.
class ReportDocument : public QTextDocument {
    Q_OBJECT
public:
    explicit ReportDocument(std::vector<ReportCover> covers, QObject* parent = nullptr);
    ~ReportDocument() override;

    const std::vector<ReportCover>& covers() const { return covers_; }
    // Decodes every cover now, in parallel, and holds them as resources: for a report shown on
    // screen and printed from there.
    void holdCovers();
    // Starts decoding the first covers on worker threads, before they are asked for, from the
    // first cover on. With `passJpegs`, a cover whose small copy serves and is a JPEG a PDF can
    // embed is not decoded: a stand-in of kStandInSize is drawn in its place and its JPEG noted in
    // drawnImages(), for the PDF writer to put there.
    void decodeAhead(bool passJpegs = false);
    // Stops that and lets go of what it holds: covers are decoded when asked for again.
    void stopDecodingAhead();
    static constexpr QSize kStandInSize{2, 2};
    // Every distinct picture drawn since decodeAhead(true), in the order drawn: the JPEG a stand-in
    // stands for, or nullopt for a decoded one.
    const std::vector<std::optional<EmbeddableJpeg>>& drawnImages() const { return drawn_; }
    // Draws a cover's picture as the text asks for it.
    void drawCover(QPainter& painter, const QRectF& rect, const QImage& image);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QImage takeDecoded(size_t index);
    QImage readyToDraw(ReadyCover cover);
    void topUp();

    std::vector<ReportCover> covers_;
    QHash<QUrl, size_t> index_;
    // Covers are decoded in runs, each run reading through one connection to the store.
    struct DecodingRun {
        size_t first;  // the index of its first cover
        size_t count;
        QFuture<std::vector<ReadyCover>> images;
    };
    std::deque<DecodingRun> ahead_;  // consecutive runs, the first holding next_ - 1 or later
    size_t scheduled_ = 0;           // covers before this index are decoded or skipped
    size_t next_ = 0;                // the cover the text should ask for next
    bool passJpegs_ = false;
    QHash<qint64, EmbeddableJpeg> standIns_;  // by the stand-in's cache key
    QSet<qint64> drawnKeys_;
    std::vector<std::optional<EmbeddableJpeg>> drawn_;
};

struct ReportOptions {
    // The width the report is shown in, in pixels of 1/96 inch.
    qreal viewWidth = 0;
    // The name picked in the tab, for members whose title names it.
    QString pickedName;
};

// The report of `movies` in the order given: the title in the family's title font, centred,
// then one block per movie in the body font, each line "label value", the covers after the
// lines (front, then back, each followed by three spaces), an empty line after each block.
// A cover that cannot be read as a picture is left out.
std::unique_ptr<ReportDocument> buildReport(const ReportFamily& family, GroupKind kind,
                                            const std::vector<MoviePtr>& movies,
                                            const ReportOptions& options);

}  // namespace quillon
