#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QToolButton>

#include "support/TestSupport.h"
#include "toolkit/KeySelector.h"
#include "toolkit/NavigationController.h"
#include "toolkit/ViewController.h"

using namespace quillon;

namespace {

QToolButton* barButton(const QString& text) {
    auto* button = new QToolButton;
    button->setText(text);
    return button;
}

void expectWhole(QAbstractButton* button, int needed, QWidget* window, int width) {
    SCOPED_TRACE(QString("%1 at %2 px").arg(button->text()).arg(width).toStdString());
    EXPECT_TRUE(button->isVisible());
    EXPECT_GE(button->width(), needed);
    const QRect inWindow(button->mapTo(window, QPoint()), button->size());
    EXPECT_TRUE(window->rect().contains(inWindow));
}

// A list screen's bar: back, the five keys, Sort and Add. Wherever the bar cannot hold the
// keys, they take a row of their own; no caption is ever cut.
TEST(NothingClippedTest, EveryCaptionOfTheKeySelectorAndTheBarIsWholeAtEveryWidth) {
    auto* list = new ViewController;
    auto* keys = new KeySelector({"Movie", "Genre", "Year", "Director", "Producer"});
    list->setTitleView(keys);
    list->addRightBarButton(barButton("Sort"));
    list->addRightBarButton(barButton("Add"));
    NavigationController window(new ViewController);
    window.pushViewController(list);
    window.show();
    QList<QAbstractButton*> buttons = list->rightBarButtons();
    buttons << window.backButton();
    bool ownRowSeen = false, inBarSeen = false;
    for (int width : {320, 360, 430, 600, 900, 1200}) {
        window.resize(width, 700);
        test::pumpEvents();
        for (int i = 0; i < keys->count(); ++i)
            expectWhole(keys->findChildren<QAbstractButton*>().at(i), keys->captionWidth(i),
                        &window, width);
        // The bar's own buttons: their size hint, the caption with room to spare.
        for (QAbstractButton* button : buttons)
            expectWhole(button, button->sizeHint().width(), &window, width);
        const bool inBar = keys->parentWidget() == window.navigationBar();
        (inBar ? inBarSeen : ownRowSeen) = true;
        EXPECT_GE(keys->y() + (inBar ? 0 : keys->parentWidget()->y()),
                  inBar ? 0 : window.navigationBar()->geometry().bottom())
            << "its own row is under the bar";
    }
    EXPECT_TRUE(ownRowSeen && inBarSeen);
}

}  // namespace
