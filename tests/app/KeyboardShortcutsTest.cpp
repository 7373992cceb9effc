#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QShortcut>

#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/KeyboardShortcuts.h"
#include "toolkit/Storyboard.h"
#include "toolkit/ViewController.h"

namespace quillon::test {
namespace {

QList<QKeySequence> keysOfTable() {
    QList<QKeySequence> keys;
    for (const KeyboardShortcut& row : keyboardShortcuts()) keys << row.keys;
    return keys;
}

// Every key sequence a shortcut, an action or a button of `screen` answers to, with its owner.
QList<std::pair<QKeySequence, QString>> keysAnsweredBy(QWidget* screen) {
    QList<std::pair<QKeySequence, QString>> found;
    auto add = [&](const QList<QKeySequence>& keys, const QObject* owner) {
        for (const QKeySequence& key : keys)
            if (!key.isEmpty()) found.append({key, owner->metaObject()->className()});
    };
    for (const QShortcut* shortcut : screen->findChildren<QShortcut*>())
        add(shortcut->keys(), shortcut->parent());
    for (const QAction* action : screen->findChildren<QAction*>()) add(action->shortcuts(), action);
    for (const QAbstractButton* button : screen->findChildren<QAbstractButton*>())
        add({button->shortcut()}, button);
    return found;
}

// The guide's table of keys is made from the same rows as the screens' shortcuts; a shortcut made
// outside the rows would be missing from the guide.
TEST(KeyboardShortcuts, EveryScreenAnswersOnlyToKeysOfTheGuidesTable) {
    AppHarness app;
    auto window = app.window();
    window->show();
    pumpEvents();
    const QList<QKeySequence> table = keysOfTable();
    QStringList screens{"main window"};
    for (const QString& identifier : app.app().storyboard().identifiers()) {
        ViewController* screen = app.app().storyboard().create(identifier);
        ASSERT_TRUE(screen) << identifier.toStdString();
        window->navigation().pushViewController(screen);
        pumpEvents();
        screens << identifier;
    }
    const QList<std::pair<QKeySequence, QString>> answered = keysAnsweredBy(window.get());
    ASSERT_GE(answered.size(), 10)
        << "too few shortcuts found in " << screens.join(", ").toStdString();
    for (const auto& [key, owner] : answered)
        EXPECT_TRUE(table.contains(key)) << key.toString().toStdString() << " of "
                                         << owner.toStdString() << " is not in the table of keys";
}

}  // namespace
}  // namespace quillon::test
