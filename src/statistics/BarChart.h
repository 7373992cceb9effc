#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

#include "catalogue/CollectionStatistics.h"

class QPainter;

namespace quillon {

struct BarChartColours {
    QColor text;
    QColor bar;
    QColor current;  // the bar the keyboard is on
};

// A section drawn as horizontal bars, one row per value: its name, the bar, its count. The
// screen and the PDF draw with the same code.
class BarChartLayout {
public:
    BarChartLayout(const StatisticsSection& section, const QFont& font, qreal width);
    qreal height() const;
    QRectF rowRect(int row) const;
    int rowAt(QPointF point) const;  // -1 outside the rows
    int rowCount() const { return int(section_.values.size()); }
    qreal rowHeight() const { return rowHeight_; }
    // Draws the rows from `first` up to `end` (all by default) with row `first` at `origin`.
    void paint(QPainter& painter, QPointF origin, const BarChartColours& colours, int current = -1,
               int first = 0, int end = -1) const;

private:
    const StatisticsSection& section_;
    QFont font_;
    qreal width_;
    qreal rowHeight_;
    qreal labelWidth_;
    qreal countWidth_;
    qint64 largest_ = 0;
};

// A section's bars on the screen. A click, or Enter on the bar chosen with the arrow keys,
// activates a bar.
class BarChartView : public QWidget {
    Q_OBJECT
public:
    explicit BarChartView(QWidget* parent = nullptr);
    void setSection(StatisticsSection section);
    const StatisticsSection& section() const { return section_; }
    int currentRow() const { return current_; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

signals:
    void barActivated(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    StatisticsSection section_;
    int current_ = -1;
};

}  // namespace quillon
