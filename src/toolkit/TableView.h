#pragma once

#include <QLabel>
#include <QListView>
#include <QStyledItemDelegate>

#include "toolkit/RowsAccessible.h"

class QMenu;

namespace quillon {

// Item roles the row delegate reads. DisplayRole is unused; rows give their label texts as a
// QStringList under LabelTextsRole (first label bold), and an optional thumbnail QPixmap/QImage
// under Qt::DecorationRole, drawn at the left.
enum TableRole { LabelTextsRole = Qt::UserRole + 100 };

// A one-section table: fixed row height, rows painted with the list-row look, and three equal
// routes to a row's destructive "delete" action: a leftward swipe (touch or mouse drag), the
// context menu item "delete", and the Delete key (never Backspace). Selection by click or
// Enter emits rowSelected. A row whose item is not enabled is drawn faded and cannot be chosen;
// the arrow keys pass over it.
// In a wide window the rows keep a readable width, centred. A screen reader opens a row by its
// default action, as Enter does.
class TableView : public QListView, public RowOpener {
    Q_OBJECT
public:
    explicit TableView(QWidget* parent = nullptr);

    void setRowHeight(int height);
    int rowHeight() const { return rowHeight_; }
    // Rows drawn in black text (screens loaded in the dark appearance).
    void setDarkMode(bool dark);
    bool darkMode() const { return darkMode_; }
    void setRowsDeletable(bool deletable) { deletable_ = deletable; }
    bool rowsDeletable() const { return deletable_; }
    // Thumbnail box at the left of each row; 0 draws none.
    void setThumbnailWidth(int width);

    // Programmatic routes used by the context menu, the key and tests.
    void requestDelete(int row);
    void selectRow(int row);
    void openRow(int row) override { selectRow(row); }
    // Makes the row current and scrolls it into view (a row brought back, say); -1 does nothing.
    void revealRow(int row);

    // Fade out a row that the model is about to remove (cosmetic; the model removes the row).
    void fadeRow(int row);

    // The context menu of a row: one item "delete" (the delete route). The caller owns the menu
    // (it deletes itself when closed after popup()). Tests trigger its action directly.
    QMenu* buildContextMenu(int row);

signals:
    void rowSelected(int row);
    void deleteRequested(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int rowHeight_ = 85;
    bool darkMode_ = false;
    bool deletable_ = true;
    QPoint pressPos_;
    int pressRow_ = -1;
    // Touch tracking (swipe, tap, vertical scroll by finger).
    QPointF touchStart_;
    int touchRow_ = -1;
    int touchScrollStart_ = 0;
    bool touchMoved_ = false;

    bool finishGesture(int row, QPointF start, QPointF end);  // true when handled as swipe/tap
    void updateReadableMargins();
};

// Paints a row: rounded rect radius 10, black border 2, background hue 0.5 / saturation 0.06 /
// brightness 0.96; the thumbnail; the label texts stacked top to bottom.
class ListRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ListRowDelegate(TableView* table);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    int thumbnailWidth = 0;

private:
    TableView* table_;
};

// The list-header look: light grey background, red centred text of size 13.
class ListHeaderLabel : public QLabel {
    Q_OBJECT
public:
    explicit ListHeaderLabel(QWidget* parent = nullptr);
};

}  // namespace quillon
