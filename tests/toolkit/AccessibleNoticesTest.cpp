#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/Announcement.h"
#include "toolkit/UndoNotice.h"
#include "toolkit/ViewController.h"

using namespace quillon;

namespace {

// The objects announced to a screen reader while alive.
class Announced {
public:
    Announced() {
        previous_ = listenToAnnouncements([this](QObject* object) { objects_ << object; });
    }
    ~Announced() { listenToAnnouncements(previous_); }
    int count(QObject* object) const { return int(objects_.count(object)); }

private:
    QList<QObject*> objects_;
    AnnouncementListener previous_;
};

struct AlertCase {
    QString title;
    QString message;
    QString name;
    QString description;
};

// An alert is read as a dialog named by its title (by its message when it has none), its
// message as the description; it is announced, and the focus goes into it so that its actions
// are read.
TEST(AccessibleNoticesTest, AnAlertIsADialogNamedByItsTitleThatTakesTheFocus) {
    ViewController screen;
    auto* field = new QLineEdit(&screen);
    screen.show();
    QApplication::setActiveWindow(&screen);
    Announced announced;
    for (const AlertCase& c :
         {AlertCase{"Movie Not Saved", "Enter a name.", "Movie Not Saved", "Enter a name."},
          AlertCase{"Genre not Entered", "", "Genre not Entered", ""},
          AlertCase{"", "The file is not a picture.", "The file is not a picture.", ""}}) {
        field->setFocus();
        test::pumpEvents();
        auto* alert = AlertController::ok(c.title, c.message);
        // A new alert may take the address of one closed before it.
        const int earlier = announced.count(alert);
        screen.present(alert);
        test::pumpEvents();
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(alert);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->role(), QAccessible::Dialog);
        EXPECT_EQ(read->text(QAccessible::Name), c.name);
        EXPECT_EQ(read->text(QAccessible::Description), c.description);
        // The focus moves once the alert's window is active, which a busy machine may delay.
        EXPECT_TRUE(QTest::qWaitFor(
            [alert] { return alert->isAncestorOf(QApplication::focusWidget()); }, 5000))
            << c.name.toStdString();
        EXPECT_EQ(announced.count(alert) - earlier, 1) << c.name.toStdString();
        test::closeAlerts();
        test::pumpEvents();
    }
}

// The undo bar appears without taking the focus; a screen reader is told each time it does.
TEST(AccessibleNoticesTest, TheUndoBarIsAnnouncedWhenItAppears) {
    QWidget screen;
    auto* notice = new UndoNotice(&screen);
    (new QVBoxLayout(&screen))->addWidget(notice);
    screen.show();
    Announced announced;
    for (int shown = 1; shown <= 2; ++shown) {
        notice->present(QStringLiteral("Deleted \u201CHeat\u201D"));
        test::pumpEvents();
        EXPECT_EQ(announced.count(notice), shown);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(notice)->text(QAccessible::Name),
                  QStringLiteral("Deleted \u201CHeat\u201D"));
        notice->dismiss();
    }
}

}  // namespace
