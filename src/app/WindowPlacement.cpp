#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace quillon {

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kMaximizedKey = QStringLiteral("window/maximized");

QList<QRect> availableScreenAreas() {
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen()) areas << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) areas << screen->availableGeometry();
    return areas;
}

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

QRect centredIn(const QRect& area, QSize size) {
    QRect rect(QPoint(), size);
    rect.moveCenter(area.center());
    return rect;
}

}  // namespace

QSize firstStartSize(const QSize& available) {
    const QSize cap(available.width() * 85 / 100, available.height() * 85 / 100);
    return kWindowFirstSize.boundedTo(cap).expandedTo(kWindowMinimumSize);
}

QRect placeOnScreens(const QRect& saved, const QList<QRect>& available) {
    if (available.isEmpty()) return saved;
    const QRect* best = nullptr;
    qint64 bestOverlap = 0;
    for (const QRect& area : available)
        if (const qint64 shared = overlap(saved, area); shared > bestOverlap) {
            best = &area;
            bestOverlap = shared;
        }
    const QSize size = saved.size().expandedTo(kWindowMinimumSize);
    if (!best) return centredIn(available.first(), size.boundedTo(available.first().size()));
    QRect placed(saved.topLeft(), size.boundedTo(best->size()).expandedTo(kWindowMinimumSize));
    // Pulled in from the right and bottom first, so that the title bar stays reachable.
    placed.moveRight(qMin(placed.right(), best->right()));
    placed.moveBottom(qMin(placed.bottom(), best->bottom()));
    placed.moveLeft(qMax(placed.left(), best->left()));
    placed.moveTop(qMax(placed.top(), best->top()));
    return placed;
}

void restoreWindowPlacement(QWidget& window, QSettings& defaults) {
    window.setMinimumSize(kWindowMinimumSize);
    const QList<QRect> areas = availableScreenAreas();
    const QRect saved = defaults.value(kGeometryKey).toRect();
    if (saved.isValid()) {
        window.setGeometry(placeOnScreens(saved, areas));
    } else {
        const QRect primary = areas.value(0, QRect(QPoint(), kWindowFirstSize));
        window.setGeometry(centredIn(primary, firstStartSize(primary.size())));
    }
    if (defaults.value(kMaximizedKey).toBool())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void saveWindowPlacement(const QWidget& window, QSettings& defaults) {
    defaults.setValue(kGeometryKey, window.normalGeometry());
    defaults.setValue(kMaximizedKey, window.isMaximized());
}

}  // namespace quillon
