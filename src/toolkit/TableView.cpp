#include "toolkit/TableView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGraphicsOpacityEffect>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QTouchEvent>

#include "toolkit/Appearance.h"
#include "toolkit/KeyboardShortcuts.h"

namespace quillon {

namespace {
constexpr int kRowInset = 2;  // gap around each row's rounded rectangle
constexpr int kTextMargin = 10;

// A row that cannot be chosen is drawn faded, grey on grey, readable in either palette.
const QColor kUnavailableBorder(0x9a, 0x9a, 0x9a);
const QColor kUnavailableBackground(0xe8, 0xe8, 0xe8);
const QColor kUnavailableText(0x5c, 0x5c, 0x5c);

bool isAvailable(const QModelIndex& index) {
    return index.flags().testFlag(Qt::ItemIsEnabled);
}

void paintRowBox(QPainter* painter, const QRectF& box, bool selected, bool available) {
    QColor background = available ? appearance::listRowBackground() : kUnavailableBackground;
    if (selected) background = background.darker(112);
    painter->setPen(QPen(available ? QColor(Qt::black) : kUnavailableBorder, 2));
    painter->setBrush(background);
    painter->drawRoundedRect(box, 10, 10);
}

// The picture scaled to fit the box, keeping its shape, and centred in it.
QRect fittedInto(const QRect& box, QSize picture) {
    QRect target(QPoint(0, 0), picture.scaled(box.size(), Qt::KeepAspectRatio));
    target.moveCenter(box.center());
    return target;
}

// The decoration may be an icon, a pixmap or an image; anything else draws nothing.
void paintThumbnail(QPainter* painter, const QRect& box, const QVariant& decoration) {
    switch (decoration.userType()) {
        case QMetaType::QIcon:
            decoration.value<QIcon>().paint(painter, box);
            break;
        case QMetaType::QPixmap:
            if (const QPixmap pixmap = decoration.value<QPixmap>(); !pixmap.size().isEmpty())
                painter->drawPixmap(fittedInto(box, pixmap.size()), pixmap);
            break;
        case QMetaType::QImage:
            if (const QImage image = decoration.value<QImage>(); !image.size().isEmpty())
                painter->drawImage(fittedInto(box, image.size()), image);
            break;
        default:
            break;
    }
}

// The row's labels, or its display text when it gives none.
QStringList labelTexts(const QModelIndex& index) {
    QStringList lines = index.data(LabelTextsRole).toStringList();
    if (lines.isEmpty()) {
        const QString display = index.data(Qt::DisplayRole).toString();
        if (!display.isEmpty()) lines.append(display);
    }
    return lines;
}

// The lines stacked as one block centred in the area's height, the first one bold, each cut
// short with an ellipsis where it is wider than the area. Drawn with the painter's pen.
void paintLabels(QPainter* painter, const QRect& area, const QStringList& lines,
                 const QFont& regular) {
    if (lines.isEmpty()) return;
    QFont bold = regular;
    bold.setBold(true);
    const int lineHeight = qMax(QFontMetrics(regular).height(), QFontMetrics(bold).height());
    const int spacing = 2;
    const int blockHeight = lines.size() * lineHeight + (lines.size() - 1) * spacing;
    int y = area.top() + qMax(0, (area.height() - blockHeight) / 2);
    for (int i = 0; i < lines.size(); ++i) {
        const QFont& font = i == 0 ? bold : regular;
        painter->setFont(font);
        const QString text =
            QFontMetrics(font).elidedText(lines.at(i), Qt::ElideRight, area.width());
        painter->drawText(QRect(area.left(), y, area.width(), lineHeight),
                          Qt::AlignLeft | Qt::AlignVCenter, text);
        y += lineHeight + spacing;
    }
}

}  // namespace

TableView::TableView(QWidget* parent) : QListView(parent) {
    installRowsAccessible();
    // Rows are light boxes: in a dark palette their text must not follow the palette.
    darkMode_ = appearance::isDarkAppearance();
    setUniformItemSizes(true);
    setItemDelegate(new ListRowDelegate(this));
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setMouseTracking(false);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    verticalScrollBar()->setSingleStep(20);
    // The margins beside centred rows look like the rest of the list.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { updateReadableMargins(); });
}

void TableView::resizeEvent(QResizeEvent* event) {
    updateReadableMargins();
    QListView::resizeEvent(event);
}

void TableView::updateReadableMargins() {
    // Rows no wider than a readable column, centred in the table (the scroll bar included).
    const int room = contentsRect().width();
    int left = 0;
    int right = 0;
    if (room > appearance::kReadableColumnWidth) {
        left = (room - appearance::kReadableColumnWidth) / 2;
        const QScrollBar* bar = verticalScrollBar();
        const bool barShown =
            verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ||
            (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && bar->maximum() > bar->minimum());
        const int barWidth = barShown ? bar->sizeHint().width() : 0;
        right = qMax(0, room - appearance::kReadableColumnWidth - left - barWidth);
    }
    if (viewportMargins() != QMargins(left, 0, right, 0)) setViewportMargins(left, 0, right, 0);
}

void TableView::setRowHeight(int height) {
    if (height <= 0 || height == rowHeight_) return;
    rowHeight_ = height;
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void TableView::setDarkMode(bool dark) {
    if (darkMode_ == dark) return;
    darkMode_ = dark;
    viewport()->update();
}

void TableView::setThumbnailWidth(int width) {
    if (auto* d = qobject_cast<ListRowDelegate*>(itemDelegate()))
        d->thumbnailWidth = qMax(0, width);
    viewport()->update();
}

void TableView::requestDelete(int row) {
    if (!deletable_ || !model() || row < 0 || row >= model()->rowCount(rootIndex())) return;
    emit deleteRequested(row);
}

void TableView::revealRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount()) return;
    setCurrentIndex(model()->index(row, 0));
    scrollTo(model()->index(row, 0));
}

void TableView::selectRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount(rootIndex())) return;
    const QModelIndex index = model()->index(row, modelColumn(), rootIndex());
    if (!isAvailable(index)) return;
    setCurrentIndex(index);
    emit rowSelected(row);
}

void TableView::fadeRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount(rootIndex())) return;
    const QRect rect = visualRect(model()->index(row, modelColumn(), rootIndex()));
    if (!rect.isValid() || !viewport()->rect().intersects(rect) || !isVisible()) return;
    // A snapshot of the row fades out over whatever takes its place.
    auto* ghost = new QLabel(viewport());
    ghost->setAttribute(Qt::WA_TransparentForMouseEvents);
    ghost->setPixmap(viewport()->grab(rect));
    ghost->setGeometry(rect);
    auto* effect = new QGraphicsOpacityEffect(ghost);
    effect->setOpacity(1.0);
    ghost->setGraphicsEffect(effect);
    ghost->show();
    auto* fade = new QPropertyAnimation(effect, "opacity", ghost);
    fade->setDuration(250);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, ghost, &QObject::deleteLater);
    fade->start();
}

QMenu* TableView::buildContextMenu(int row) {
    if (!deletable_ || !model() || row < 0 || row >= model()->rowCount(rootIndex())) return nullptr;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* remove = menu->addAction(QStringLiteral("delete"));
    remove->setObjectName(QStringLiteral("deleteAction"));
    connect(remove, &QAction::triggered, this, [this, row] { requestDelete(row); });
    return menu;
}

void TableView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    // Only the plain key deletes: Backspace (or Shift+Delete, a cut elsewhere) belongs to typing,
    // and a user still typing must never lose a row.
    if (deletable_ && current.isValid() && pressedKeyIs(event, KeyCommand::DeleteRow)) {
        requestDelete(current.row());
        event->accept();
        return;
    }
    if (current.isValid() && pressedKeyIs(event, KeyCommand::OpenRow)) {
        selectRow(current.row());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void TableView::contextMenuEvent(QContextMenuEvent* event) {
    int row = -1;
    if (event->reason() == QContextMenuEvent::Keyboard) {
        row = currentIndex().isValid() ? currentIndex().row() : -1;
    } else {
        row = indexAt(event->pos()).row();
    }
    QMenu* menu = buildContextMenu(row);
    if (!menu) {
        event->ignore();
        return;
    }
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard)
        at = viewport()->mapToGlobal(visualRect(currentIndex()).center());
    menu->popup(at);
    event->accept();
}

bool TableView::finishGesture(int row, QPointF start, QPointF end) {
    if (row < 0) return false;
    const QPointF delta = end - start;
    const bool swipe = -delta.x() > viewport()->width() / 3.0 && qAbs(delta.y()) < qAbs(delta.x());
    if (swipe) {
        if (deletable_) requestDelete(row);
        return true;  // a swipe is never a selection
    }
    if (delta.manhattanLength() <= QApplication::startDragDistance() &&
        indexAt(end.toPoint()).row() == row) {
        selectRow(row);
        return true;
    }
    return false;
}

void TableView::mousePressEvent(QMouseEvent* event) {
    pressPos_ = event->position().toPoint();
    pressRow_ = event->button() == Qt::LeftButton ? indexAt(pressPos_).row() : -1;
    QListView::mousePressEvent(event);
}

void TableView::mouseReleaseEvent(QMouseEvent* event) {
    QListView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const int row = pressRow_;
    pressRow_ = -1;
    finishGesture(row, pressPos_, event->position());
}

bool TableView::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::TouchBegin: {
            auto* touch = static_cast<QTouchEvent*>(event);
            if (touch->points().size() != 1) break;
            touchStart_ = touch->points().first().position();
            touchRow_ = indexAt(touchStart_.toPoint()).row();
            touchScrollStart_ = verticalScrollBar()->value();
            touchMoved_ = false;
            event->accept();
            return true;
        }
        case QEvent::TouchUpdate: {
            auto* touch = static_cast<QTouchEvent*>(event);
            if (touch->points().isEmpty()) break;
            const QPointF delta = touch->points().first().position() - touchStart_;
            if (qAbs(delta.y()) > qAbs(delta.x())) {  // a vertical drag scrolls the list
                verticalScrollBar()->setValue(touchScrollStart_ - int(delta.y()));
                touchMoved_ = true;
            }
            event->accept();
            return true;
        }
        case QEvent::TouchEnd: {
            auto* touch = static_cast<QTouchEvent*>(event);
            if (!touch->points().isEmpty() && !touchMoved_)
                finishGesture(touchRow_, touchStart_, touch->points().first().position());
            else if (!touch->points().isEmpty()) {
                const QPointF delta = touch->points().first().position() - touchStart_;
                if (-delta.x() > viewport()->width() / 3.0 && qAbs(delta.y()) < qAbs(delta.x()))
                    finishGesture(touchRow_, touchStart_, touch->points().first().position());
            }
            touchRow_ = -1;
            event->accept();
            return true;
        }
        case QEvent::TouchCancel:
            touchRow_ = -1;
            return true;
        default:
            break;
    }
    return QListView::viewportEvent(event);
}

// ---------------------------------------------------------------------------------------------

ListRowDelegate::ListRowDelegate(TableView* table) : QStyledItemDelegate(table), table_(table) {}

QSize ListRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int width = table_ ? table_->viewport()->width() : option.rect.width();
    return QSize(qMax(1, width), table_ ? table_->rowHeight() : 85);
}

void ListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF box = QRectF(option.rect).adjusted(kRowInset, kRowInset, -kRowInset, -kRowInset);
    const bool available = isAvailable(index);
    paintRowBox(painter, box, option.state & QStyle::State_Selected, available);

    QRect content = box.toAlignedRect().adjusted(kTextMargin, 4, -kTextMargin, -4);
    if (thumbnailWidth > 0) {
        const QRect thumbnailBox(content.left(), content.top(), thumbnailWidth, content.height());
        paintThumbnail(painter, thumbnailBox, index.data(Qt::DecorationRole));
        content.setLeft(thumbnailBox.right() + 1 + kTextMargin);
    }
    const bool dark = table_ && table_->darkMode();
    if (!available) {
        painter->setPen(kUnavailableText);
    } else {
        // The box stays light whatever the palette, also one the desktop switched to later.
        const QColor text = dark ? QColor(Qt::black) : option.palette.color(QPalette::Text);
        painter->setPen(
            appearance::firstReadable({text, QColor(Qt::black)}, appearance::listRowBackground()));
    }
    paintLabels(painter, content, labelTexts(index), option.font);
    painter->restore();
}

// ---------------------------------------------------------------------------------------------

ListHeaderLabel::ListHeaderLabel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(211, 211, 211));  // light grey
    pal.setColor(QPalette::WindowText, Qt::red);
    setPalette(pal);
    QFont f = font();
    f.setPointSize(13);
    setFont(f);
}

}  // namespace quillon
