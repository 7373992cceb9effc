#include "statistics/StatisticsPdf.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include "catalogue/CollectionStatistics.h"
#include "catalogue/ReportPdf.h"
#include "statistics/BarChart.h"

namespace quillon {

namespace {

constexpr qreal kMargin = 40;  // points

// Draws down the pages in the writer's own units (text drawn under a scaled painter comes out
// of a PDF reader a letter a line), starting a new page where the next piece does not fit.
class PageCursor {
public:
    PageCursor(QPdfWriter& writer, QPainter& painter)
        : writer_(writer), painter_(painter), unit_(writer.resolution() / 72.0) {
        y_ = top();
    }
    qreal width() const { return (kReportPageWidth - 2 * kMargin) * unit_; }
    QFont font(int points, bool bold = false) const {
        QFont font(QStringLiteral("Helvetica"));
        font.setPixelSize(qRound(points * unit_));
        font.setBold(bold);
        return font;
    }
    void ensureRoom(qreal height) {
        if (y_ + height <= bottom() || y_ == top()) return;
        writer_.newPage();
        y_ = top();
    }
    void text(const QString& text, const QFont& font, qreal pointsAfter = 4) {
        const qreal height = QFontMetricsF(font).height();
        ensureRoom(height);
        painter_.setFont(font);
        painter_.drawText(QRectF(left(), y_, width(), height), Qt::AlignLeft | Qt::TextSingleLine,
                          text);
        y_ += height + pointsAfter * unit_;
    }
    void chart(const BarChartLayout& layout) {
        const BarChartColours colours{Qt::black, QColor(0x34, 0x65, 0xa4), Qt::black};
        if (layout.rowCount() == 0) {
            layout.paint(painter_, {left(), y_}, colours);
            y_ += layout.height();
            return;
        }
        for (int row = 0; row < layout.rowCount();) {
            ensureRoom(layout.rowHeight());
            const int fitting = std::max(1, int((bottom() - y_) / layout.rowHeight()));
            const int end = std::min(layout.rowCount(), row + fitting);
            layout.paint(painter_, {left(), y_}, colours, -1, row, end);
            y_ += layout.rowHeight() * (end - row);
            row = end;
        }
    }
    void skip(qreal points) { y_ += points * unit_; }

private:
    qreal left() const { return kMargin * unit_; }
    qreal top() const { return kMargin * unit_; }
    qreal bottom() const { return (kReportPageHeight - kMargin) * unit_; }

    QPdfWriter& writer_;
    QPainter& painter_;
    qreal unit_;
    qreal y_;
};

void drawStatistics(const CollectionStatistics& statistics, QPdfWriter& writer, QPainter& painter) {
    painter.setPen(Qt::black);
    PageCursor page(writer, painter);
    page.text(QStringLiteral("Statistics"), page.font(20, true), 12);
    for (const auto& [label, value] : statisticsTotals(statistics))
        page.text(label + QStringLiteral(": ") + value, page.font(11), 2);
    const QFont titleFont = page.font(14, true);
    for (const StatisticsSection& section : statisticsSections(statistics)) {
        page.skip(14);
        const BarChartLayout layout(section, page.font(10), page.width());
        // A title never stands alone at the foot of a page.
        page.ensureRoom(QFontMetricsF(titleFont).height() + layout.rowHeight());
        page.text(section.title, titleFont);
        page.chart(layout);
    }
}

}  // namespace

Status writeStatisticsPdf(const CollectionStatistics& statistics, QIODevice* device) {
    return writePdf(device, [&statistics](QPdfWriter& writer, QPainter& painter) {
        drawStatistics(statistics, writer, painter);
    });
}

Status writeStatisticsPdfFile(const CollectionStatistics& statistics, const QString& path,
                              const QString& dataDir) {
    return writePdfFile(path, dataDir, [&statistics](QPdfWriter& writer, QPainter& painter) {
        drawStatistics(statistics, writer, painter);
    });
}

}  // namespace quillon
