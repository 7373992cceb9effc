#include "statistics/BarChart.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace quillon {

namespace {

constexpr qreal kGap = 8;

}  // namespace

BarChartLayout::BarChartLayout(const StatisticsSection& section, const QFont& font, qreal width)
    : section_(section), font_(font), width_(width) {
    const QFontMetricsF metrics(font);
    rowHeight_ = metrics.height() * 1.5;
    qreal widestLabel = 0;
    qreal widestCount = 0;
    for (const CountedValue& v : section.values) {
        widestLabel = std::max(widestLabel, metrics.horizontalAdvance(v.value));
        widestCount = std::max(widestCount, metrics.horizontalAdvance(QString::number(v.count)));
        largest_ = std::max(largest_, v.count);
    }
    // Long names are elided rather than squeezing the bars away.
    labelWidth_ = std::min(widestLabel, width * 0.4) + kGap;
    countWidth_ = widestCount + kGap;
}

qreal BarChartLayout::height() const {
    return rowHeight_ * qreal(std::max<size_t>(section_.values.size(), 1));
}

QRectF BarChartLayout::rowRect(int row) const {
    return {0, rowHeight_ * row, width_, rowHeight_};
}

int BarChartLayout::rowAt(QPointF point) const {
    if (point.x() < 0 || point.x() >= width_ || point.y() < 0) return -1;
    const int row = int(point.y() / rowHeight_);
    return row < int(section_.values.size()) ? row : -1;
}

void BarChartLayout::paint(QPainter& painter, QPointF origin, const BarChartColours& colours,
                           int current, int first, int end) const {
    painter.save();
    painter.translate(origin - rowRect(first).topLeft());
    painter.setFont(font_);
    const QFontMetricsF metrics(font_);
    if (section_.values.empty()) {
        painter.setPen(colours.text);
        painter.drawText(rowRect(0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("No movies"));
    }
    const qreal barSpace = std::max<qreal>(0, width_ - labelWidth_ - countWidth_);
    if (end < 0 || end > rowCount()) end = rowCount();
    for (int row = first; row < end; ++row) {
        const CountedValue& v = section_.values[size_t(row)];
        const QRectF r = rowRect(row);
        painter.setPen(colours.text);
        const QString label = metrics.elidedText(v.value, Qt::ElideRight, labelWidth_ - kGap);
        painter.drawText(QRectF(r.left(), r.top(), labelWidth_ - kGap, r.height()),
                         Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, label);
        const qreal length = largest_ ? barSpace * qreal(v.count) / qreal(largest_) : 0;
        const QRectF bar(labelWidth_, r.top() + r.height() * 0.2, length, r.height() * 0.6);
        painter.fillRect(bar, row == current ? colours.current : colours.bar);
        painter.drawText(QRectF(bar.right() + kGap / 2, r.top(), countWidth_, r.height()),
                         Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                         QString::number(v.count));
    }
    painter.restore();
}

BarChartView::BarChartView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void BarChartView::setSection(StatisticsSection section) {
    section_ = std::move(section);
    current_ = section_.values.empty() ? -1 : std::min(current_, int(section_.values.size()) - 1);
    setAccessibleName(section_.title);
    updateGeometry();
    update();
}

int BarChartView::heightForWidth(int width) const {
    return int(std::ceil(BarChartLayout(section_, font(), width).height()));
}

QSize BarChartView::sizeHint() const {
    return {400, heightForWidth(400)};
}

void BarChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& p = palette();
    BarChartLayout(section_, font(), width())
        .paint(
            painter, {0, 0},
            {p.color(QPalette::WindowText), p.color(QPalette::Link), p.color(QPalette::Highlight)},
            hasFocus() ? current_ : -1);
}

void BarChartView::mousePressEvent(QMouseEvent* event) {
    const int row = BarChartLayout(section_, font(), width()).rowAt(event->position());
    if (row < 0 || event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    current_ = row;
    update();
    emit barActivated(row);
}

void BarChartView::mouseMoveEvent(QMouseEvent* event) {
    const bool opens =
        section_.opens && BarChartLayout(section_, font(), width()).rowAt(event->position()) >= 0;
    setCursor(opens ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void BarChartView::keyPressEvent(QKeyEvent* event) {
    const int rows = int(section_.values.size());
    switch (event->key()) {
        case Qt::Key_Down:
        case Qt::Key_Up:
            if (!rows) break;
            current_ = std::clamp(current_ + (event->key() == Qt::Key_Down ? 1 : -1), 0, rows - 1);
            update();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (current_ >= 0) {
                emit barActivated(current_);
                return;
            }
            break;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace quillon
