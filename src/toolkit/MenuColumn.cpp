#include "toolkit/MenuColumn.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "toolkit/ViewController.h"

namespace quillon {

QVBoxLayout* createMenuColumn(ViewController* screen) {
    auto* column = new QVBoxLayout(screen);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(10);
    return column;
}

QPushButton* addMenuEntry(QVBoxLayout* column, ViewController* screen, const QString& caption,
                          const QString& segue) {
    auto* button = new QPushButton(caption);
    button->setMinimumHeight(40);
    button->setEnabled(SegueRegistry::isRegistered(segue));
    QObject::connect(button, &QPushButton::clicked, screen,
                     [screen, segue] { screen->performSegue(segue); });
    column->addWidget(button);
    return button;
}

}  // namespace quillon
