#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <algorithm>
#include <optional>

#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/MovieFormViewController.h"
#include "store/CatalogueStore.h"
#include "store/Records.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/Appearance.h"
#include "toolkit/ChoiceWheel.h"
#include "toolkit/KeySelector.h"
#include "toolkit/SearchBar.h"
#include "toolkit/Storyboard.h"
#include "toolkit/TableView.h"
#include "toolkit/ViewController.h"

namespace quillon::test {
namespace {

// Two films of one name, so that a row read by its first line alone cannot tell them apart; the
// older one has a cover.
void fillCatalogue(AppHarness& app) {
    for (auto [year, actor, actress] : {std::tuple{1937, "Herbert Marshall", "Marlene Dietrich"},
                                        {2007, "Sam Neill", "Romola Garai"}}) {
        MoviePtr movie = Movies::insertInto(app.context());
        movie->setName("Angel");
        movie->setYear(qint16(year));
        movie->setRunTime(91);
        movie->setText(Attribute::leadingActor1, actor);
        movie->setText(Attribute::leadingActress1, actress);
        movie->setText(Attribute::director, "Ernst Lubitsch");
        movie->setText(Attribute::producer, "Paramount");
        movie->setText(Attribute::genre, "Drama");
        movie->setText(Attribute::rating, "PG");
        if (year < 2000) movie->setImage(Attribute::frontImage, jpegOf({60, 90}, Qt::darkRed));
    }
    GenreList::insertInto(app.context())->setGenre("Drama");
    RatingList::insertInto(app.context())->setRating("PG");
    ASSERT_TRUE(app.context().save().ok);
    SelectionState& selection = app.services().selection;
    selectMovie(*app.context().fetch<Movies>().at(0), selection);
    selection.SelectedActorName = "Sam Neill";
    selection.SelectedActressName = "Romola Garai";
    selection.SelectedListGenre = "Drama";
    selection.SelectedListRating = "PG";
}

QString describe(QAccessibleInterface* node) {
    const QObject* object = node->object();
    return QStringLiteral("%1 (role %2, %3)")
        .arg(object ? object->metaObject()->className() : "item")
        .arg(int(node->role()), 0, 16)
        .arg(object && !object->objectName().isEmpty() ? object->objectName()
                                                       : node->text(QAccessible::Description));
}

// The row's label lines missing from the name its list gives it.
QStringList linesMissingFromRowName(QAccessibleInterface* cell) {
    QAccessibleTableCellInterface* cellFace = cell->tableCellInterface();
    auto* view =
        qobject_cast<QAbstractItemView*>(cell->parent() ? cell->parent()->object() : nullptr);
    if (!cellFace || !view || !view->model()) return {};
    const QStringList lines =
        view->model()->index(cellFace->rowIndex(), 0).data(LabelTextsRole).toStringList();
    const QString name = cell->text(QAccessible::Name);
    QStringList missing;
    for (const QString& line : lines) {
        // Neither a separator left by an absent value nor a caption without values need be read.
        QString text = line.trimmed();
        while (text.endsWith(',')) text = text.chopped(1).trimmed();
        if (!text.isEmpty() && !text.endsWith(':') && !name.contains(text)) missing << line;
    }
    return missing;
}

// A symbol such as an arrow, which a speech engine reads by its character name.
bool hasSpokenSymbol(const QString& name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) {
        return c.category() == QChar::Symbol_Math || c.category() == QChar::Symbol_Other;
    });
}

// What a screen reader could not tell about the visible controls under `node`.
void collectFaults(QAccessibleInterface* node, QStringList& faults) {
    if (!node || node->state().invisible) return;
    const bool focusable = node->state().focusable;
    if (focusable && node->text(QAccessible::Name).trimmed().isEmpty())
        faults << "no name: " + describe(node);
    if (focusable && node->role() == QAccessible::EditableText &&
        !node->text(QAccessible::Name).isEmpty() &&
        node->text(QAccessible::Description).trimmed() == node->text(QAccessible::Name))
        faults << "read twice: " + describe(node);
    if (focusable && hasSpokenSymbol(node->text(QAccessible::Name)))
        faults << QStringLiteral("symbol in name \"%1\": ").arg(node->text(QAccessible::Name)) +
                      describe(node);
    if (node->role() == QAccessible::ListItem || node->role() == QAccessible::Cell) {
        const QStringList missing = linesMissingFromRowName(node);
        if (!missing.isEmpty())
            faults << QStringLiteral("row named \"%1\" lacks \"%2\"")
                          .arg(node->text(QAccessible::Name), missing.join("\", \""));
    }
    for (int i = 0; i < node->childCount(); ++i) collectFaults(node->child(i), faults);
}

// The visible controls a user may reach, as a screen reader reads them: name, description and
// role.
void collectReadOuts(QAccessibleInterface* node, QStringList& readOuts) {
    if (!node || node->state().invisible) return;
    if (node->state().focusable && node->role() != QAccessible::ListItem)
        readOuts << QStringLiteral("%1 / %2 (role %3)")
                        .arg(node->text(QAccessible::Name), node->text(QAccessible::Description))
                        .arg(int(node->role()), 0, 16);
    for (int i = 0; i < node->childCount(); ++i) collectReadOuts(node->child(i), readOuts);
}

QStringList accessibilityFaults(QWidget* window) {
    QStringList faults;
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
    collectFaults(root, faults);
    QStringList readOuts;
    collectReadOuts(root, readOuts);
    for (const QString& readOut : readOuts)
        if (readOuts.count(readOut) > 1 && !faults.contains("read alike: " + readOut))
            faults << "read alike: " + readOut;
    return faults;
}

// What a user sees: the screens shown, the alerts up, what the devices were asked since `since`.
struct Seen {
    QStringList screens;
    QStringList alerts;
    int deviceCalls = 0;
    bool operator==(const Seen&) const = default;
};

int deviceCalls(FakeDevices& devices) {
    return int(devices.mail.composed.size() + devices.share.requests.size() +
               devices.urls.opened.size() + devices.storeReview.windows.size());
}

Seen seenNow(AppHarness& app, MainWindow& window, int callsBefore) {
    pumpEvents(20);
    Seen seen{{}, alertTexts(), deviceCalls(app.devices()) - callsBefore};
    for (ViewController* screen : window.shownScreens())
        seen.screens << screen->metaObject()->className();
    return seen;
}

void PrintTo(const Seen& seen, std::ostream* os) {
    *os << (seen.screens.join(" > ") + " | alerts: " + seen.alerts.join("; ") +
            " | device calls: " + QString::number(seen.deviceCalls))
               .toStdString();
}

void backToMainMenu(MainWindow& window) {
    closeAlerts();
    window.navigation().popToViewController(window.navigation().viewControllers().first());
    pumpEvents();
}

// The screen's first shown list with a row that can be chosen, and that row.
std::pair<TableView*, int> firstChoosableRow(ViewController* screen) {
    for (TableView* table : screen->findChildren<TableView*>()) {
        if (!table->isVisible() || !table->model()) continue;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            if (table->model()->index(row, 0).flags().testFlag(Qt::ItemIsEnabled))
                return {table, row};
    }
    return {nullptr, -1};
}

enum class OpenBy { Enter, DefaultAction };

// Opens the screen and its first row that can be chosen, by Enter or by the row's default
// accessible action; what the user sees then, or nothing for a screen without such a row.
std::optional<Seen> openFirstRow(AppHarness& app, MainWindow& window, const QString& identifier,
                                 OpenBy by) {
    ViewController* screen = app.app().storyboard().create(identifier);
    window.navigation().pushViewController(screen);
    pumpEvents(20);
    const auto [table, row] = firstChoosableRow(screen);
    if (!table) return backToMainMenu(window), std::nullopt;
    const int callsBefore = deviceCalls(app.devices());
    const Seen before = seenNow(app, window, callsBefore);
    if (by == OpenBy::Enter) {
        table->setFocus();
        table->setCurrentIndex(table->model()->index(row, 0));
        QTest::keyClick(table, Qt::Key_Return);
    } else {
        QAccessibleInterface* rowFace = QAccessible::queryAccessibleInterface(table)->child(row);
        QAccessibleActionInterface* actions = rowFace ? rowFace->actionInterface() : nullptr;
        if (actions && !actions->actionNames().isEmpty())
            actions->doAction(actions->actionNames().first());
    }
    Seen after = seenNow(app, window, callsBefore);
    backToMainMenu(window);
    if (after == before) after.screens.prepend("(nothing happened)");
    return after;
}

// Every screen, opened on a catalogue with a picked movie, names each control a user can reach
// and reads each list row whole; a row's default action does what Enter does on it.
TEST(Accessibility, EveryScreenNamesItsControlsAndReadsRowsWhole) {
    AppHarness app;
    fillCatalogue(app);
    auto window = app.window();
    window->resize(880, 800);
    window->show();
    pumpEvents();
    EXPECT_EQ(accessibilityFaults(window.get()), QStringList()) << "main menu";
    QStringList identifiers = app.app().storyboard().identifiers();
    identifiers.sort();
    QStringList withRows;
    for (const QString& identifier : identifiers) {
        ViewController* screen = app.app().storyboard().create(identifier);
        ASSERT_TRUE(screen) << identifier.toStdString();
        window->navigation().pushViewController(screen);
        pumpEvents(20);
        EXPECT_EQ(accessibilityFaults(window.get()), QStringList()) << identifier.toStdString();
        backToMainMenu(*window);
        const auto byEnter = openFirstRow(app, *window, identifier, OpenBy::Enter);
        const auto byAction = openFirstRow(app, *window, identifier, OpenBy::DefaultAction);
        EXPECT_EQ(byAction, byEnter) << identifier.toStdString();
        if (!byEnter) continue;
        EXPECT_FALSE(byEnter->screens.contains("(nothing happened)")) << identifier.toStdString();
        withRows << identifier;
    }
    for (const char* list :
         {"ListMovies", "GenreList", "TabBarController", "openDirectorBreakdown"})
        EXPECT_TRUE(withRows.contains(list)) << list << " in " << withRows.join(", ").toStdString();
}

// The movie list's keys as a screen reader sees them: one choice among several, whose default
// action switches the list's key, as a click does.
TEST(Accessibility, TheMovieListsKeysSwitchTheKeyByTheirDefaultAction) {
    AppHarness app;
    fillCatalogue(app);
    auto window = app.window();
    window->show();
    auto* list =
        static_cast<ListMoviesTableViewController*>(app.app().storyboard().create("ListMovies"));
    window->navigation().pushViewController(list);
    pumpEvents();
    QAccessibleInterface* selector = QAccessible::queryAccessibleInterface(list->segment());
    ASSERT_TRUE(selector);
    ASSERT_EQ(selector->childCount(), list->segment()->count());
    for (int key : {2, 1, 0}) {
        QAccessibleInterface* item = selector->child(key);
        EXPECT_EQ(item->role(), QAccessible::RadioButton) << key;
        QAccessibleActionInterface* actions = item->actionInterface();
        ASSERT_TRUE(actions && !actions->actionNames().isEmpty()) << key;
        actions->doAction(actions->actionNames().first());
        pumpEvents();
        EXPECT_EQ(list->segment()->selectedIndex(), key);
        EXPECT_EQ(list->query().segmentIndex, key);
        EXPECT_EQ(list->searchBar()->placeholderText(), MovieListQuery::searchPlaceholder(key));
        EXPECT_TRUE(item->state().checked) << key;
    }
}

// The movie rows say whether they show a cover: only the older film has one.
TEST(Accessibility, MovieRowsSayWhetherTheyShowACover) {
    AppHarness app;
    fillCatalogue(app);
    auto window = app.window();
    window->show();
    for (const char* identifier : {"ListMovies", "openDirectorBreakdown"}) {
        ViewController* screen = app.app().storyboard().create(identifier);
        window->navigation().pushViewController(screen);
        pumpEvents(20);
        QAccessibleInterface* list =
            QAccessible::queryAccessibleInterface(screen->findChild<TableView*>());
        ASSERT_TRUE(list) << identifier;
        QStringList read;
        for (int i = 0; i < list->childCount(); ++i) {
            QAccessibleInterface* row = list->child(i);
            if (row->role() != QAccessible::ListItem) continue;
            const QString year = row->text(QAccessible::Name).contains("1937") ? "1937" : "2007";
            read << year + ": " + row->text(QAccessible::Description);
        }
        read.sort();
        EXPECT_EQ(read, (QStringList{"1937: Front cover shown", "2007: "})) << identifier;
        window->navigation().popToViewController(window->navigation().viewControllers().first());
        pumpEvents();
    }
}

// The entries whose labels are drawn in another colour than the form's text are the required
// ones, and a screen reader hears so: the colour is not the only sign.
TEST(Accessibility, RequiredEntriesSayItBesidesTheirLabelsColour) {
    AppHarness app;
    fillCatalogue(app);
    auto window = app.window();
    window->show();
    for (const char* identifier : {"AddMovie", "showDetail"}) {
        ViewController* form = app.app().storyboard().create(identifier);
        window->navigation().pushViewController(form);
        pumpEvents(20);
        const QColor text = form->palette().color(QPalette::WindowText);
        int coloured = 0;
        for (QLabel* label : form->findChildren<QLabel*>()) {
            if (!label->buddy()) continue;
            const bool marked = label->palette().color(QPalette::WindowText) != text;
            coloured += marked;
            for (QWidget* said : {static_cast<QWidget*>(label), label->buddy()}) {
                const QString description =
                    QAccessible::queryAccessibleInterface(said)->text(QAccessible::Description);
                EXPECT_EQ(description.contains("required"), marked)
                    << identifier << ": " << label->text().toStdString() << " / "
                    << description.toStdString();
            }
        }
        EXPECT_GT(coloured, 0) << identifier;
        window->navigation().popToViewController(window->navigation().viewControllers().first());
        pumpEvents();
    }
}

// What a sighted user reads as the control's label, to tell the controls apart in a failure.
QString controlName(QWidget* widget) {
    QString name = QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    return QStringLiteral("%1 \"%2\"").arg(widget->metaObject()->className(), name);
}

bool takesTab(const QWidget* widget) {
    return widget->isVisible() && widget->isEnabled() && !widget->focusProxy() &&
           (widget->focusPolicy() & Qt::TabFocus);
}

// A set of exclusive choices is one Tab stop, the chosen one: the arrow keys move among them.
bool isTabStop(QWidget* widget) {
    auto* button = qobject_cast<QAbstractButton*>(widget);
    const bool unchosenChoice =
        button && button->group() && button->group()->exclusive() && !button->isChecked();
    return takesTab(widget) && !unchosenChoice;
}

// The controls under `parent` in reading order: its children line by line from the top, left
// to right within a line (a child whose top lies above the bottom of a line's first child is on
// that line), each child read through before the next.
void readInOrder(QWidget* parent, QList<QWidget*>& controls) {
    QList<QWidget*> children;
    for (QObject* object : parent->children())
        if (auto* child = qobject_cast<QWidget*>(object);
            child && !child->isWindow() && child->isVisible())
            children << child;
    std::stable_sort(children.begin(), children.end(), [](QWidget* a, QWidget* b) {
        return a->geometry().top() < b->geometry().top();
    });
    for (qsizetype first = 0; first < children.size();) {
        qsizetype end = first + 1;
        while (end < children.size() &&
               children[end]->geometry().top() < children[first]->geometry().bottom())
            ++end;
        QList<QWidget*> line = children.mid(first, end - first);
        std::stable_sort(line.begin(), line.end(), [](QWidget* a, QWidget* b) {
            return a->geometry().left() < b->geometry().left();
        });
        for (QWidget* child : line) {
            if (isTabStop(child)) controls << child;
            readInOrder(child, controls);
        }
        first = end;
    }
}

QList<QWidget*> readingOrder(QWidget* window) {
    QList<QWidget*> controls;
    readInOrder(window, controls);
    return controls;
}

QStringList controlNames(const QList<QWidget*>& controls) {
    QStringList names;
    for (QWidget* control : controls) names << controlName(control);
    return names;
}

// The controls Tab reaches, once round, from `first`; a popup that a control opened stands for
// the control.
QList<QWidget*> tabWalk(QWidget* first, qsizetype most) {
    first->setFocus(Qt::TabFocusReason);
    QList<QWidget*> reached;
    for (QWidget* focus = first; focus && reached.size() < most;) {
        QWidget* control = focus->windowType() == Qt::Popup ? focus->parentWidget() : focus;
        if (reached.contains(control)) break;
        reached << control;
        QTest::keyClick(focus, Qt::Key_Tab);
        pumpEvents();
        focus = QApplication::focusWidget();
    }
    return reached;
}

// On every screen Tab goes from control to control in the order in which they are read, and
// comes round to the first.
TEST(Accessibility, TabWalksEveryScreenInReadingOrder) {
    AppHarness app;
    fillCatalogue(app);
    auto window = app.window();
    window->resize(600, 800);
    window->show();
    QApplication::setActiveWindow(window.get());
    QStringList identifiers = app.app().storyboard().identifiers();
    identifiers.sort();
    identifiers.prepend(QString());
    for (const QString& identifier : identifiers) {
        if (!identifier.isEmpty())
            window->navigation().pushViewController(app.app().storyboard().create(identifier));
        pumpEvents(20);
        closeAlerts();
        const QList<QWidget*> read = readingOrder(window.get());
        ASSERT_FALSE(read.isEmpty()) << identifier.toStdString();
        EXPECT_EQ(controlNames(tabWalk(read.first(), read.size() + 5)), controlNames(read))
            << identifier.toStdString();
        backToMainMenu(*window);
    }
}

// A palette of two colours, as a high-contrast desktop theme gives.
QPalette twoColourPalette(QColor text, QColor background) {
    QPalette palette(background);
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase,
                      QPalette::ToolTipBase, QPalette::HighlightedText})
        palette.setColor(role, background);
    for (auto role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText,
          QPalette::ToolTipText, QPalette::PlaceholderText, QPalette::Highlight})
        palette.setColor(role, text);
    return palette;
}

QPalette darkPalette() {
    QPalette palette(QColor(53, 53, 53));
    palette.setColor(QPalette::Window, QColor(45, 45, 45));
    palette.setColor(QPalette::Base, QColor(30, 30, 30));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, QColor(240, 240, 240));
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    return palette;
}

// The most common colour of the picture (its background) and the highest contrast of any of
// its pixels against it.
double strongestContrast(const QImage& picture) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) ++counts[picture.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) std::tie(background, most) = std::pair(it.key(), it.value());
    double strongest = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        strongest =
            std::max(strongest, appearance::contrastRatio(QColor(it.key()), QColor(background)));
    return strongest;
}

// The texts of the shown screens drawn in (nearly) the colour of their background: each enabled
// label, button and entry with a text, and the first label of each list row.
QStringList unreadableTexts(QWidget* window) {
    QStringList faults;
    const auto check = [&](QWidget* widget, const QImage& picture) {
        if (strongestContrast(picture) < 2.0) faults << controlName(widget);
    };
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isEnabled() || widget->visibleRegion().boundingRect() != widget->rect() ||
            widget->size().isEmpty())
            continue;
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        auto* entry = qobject_cast<QLineEdit*>(widget);
        if ((label && !label->text().isEmpty()) || (button && !button->text().isEmpty()) ||
            (entry && !(entry->text() + entry->placeholderText()).isEmpty()))
            check(widget,
                  window->grab(QRect(widget->mapTo(window, QPoint()), widget->size())).toImage());
        auto* table = qobject_cast<TableView*>(widget);
        auto* rows = table ? qobject_cast<ListRowDelegate*>(table->itemDelegate()) : nullptr;
        for (int row = 0; rows && row < table->model()->rowCount(); ++row) {
            const QRect box = table->visualRect(table->model()->index(row, 0));
            if (!table->viewport()->rect().contains(box)) continue;
            const int textLeft = 12 + (rows->thumbnailWidth > 0 ? rows->thumbnailWidth + 11 : 0);
            const QRect firstWord(box.left() + textLeft, box.top() + 6, 12, box.height() - 12);
            check(table, table->viewport()->grab(firstWord).toImage());
        }
    }
    return faults;
}

// Controls in sight whose focus is not marked: focusing one must change, around and on it, at
// least as many pixels as half its outline, each to a colour that stands out from what was there.
QStringList unmarkedFocus(QWidget* window) {
    QStringList faults;
    for (QWidget* control : readingOrder(window)) {
        if (control->visibleRegion().boundingRect() != control->rect()) continue;
        window->setFocus();
        pumpEvents();
        const QRect area(control->mapTo(window, QPoint(-4, -4)), control->size() + QSize(8, 8));
        const QImage before = window->grab(area).toImage();
        control->setFocus(Qt::OtherFocusReason);
        pumpEvents();
        const QImage after = window->grab(area).toImage();
        int marked = 0;
        for (int y = 0; y < before.height() && y < after.height(); ++y)
            for (int x = 0; x < before.width() && x < after.width(); ++x)
                marked += appearance::contrastRatio(QColor(after.pixel(x, y)),
                                                    QColor(before.pixel(x, y))) >= 3.0;
        if (marked < control->width() + control->height()) faults << controlName(control);
    }
    return faults;
}

// In a light, a dark and both high-contrast palettes, also when the desktop switches between them
// while a screen is shown, every screen's texts stand out from their background and the control
// with the focus is marked.
TEST(Accessibility, TextsAndTheFocusStandOutInEveryPalette) {
    AppHarness app;
    fillCatalogue(app);
    const QPalette original = QApplication::palette();
    const std::vector<std::pair<const char*, QPalette>> palettes = {
        {"light", QApplication::style()->standardPalette()},
        {"white on black", twoColourPalette(Qt::white, Qt::black)},
        {"dark", darkPalette()},
        {"black on white", twoColourPalette(Qt::black, Qt::white)}};
    auto window = app.window();
    window->resize(600, 800);
    window->show();
    QApplication::setActiveWindow(window.get());
    QStringList identifiers = app.app().storyboard().identifiers();
    identifiers.sort();
    identifiers.prepend(QString());
    for (const QString& identifier : identifiers) {
        QApplication::setPalette(palettes.front().second);
        if (!identifier.isEmpty())
            window->navigation().pushViewController(app.app().storyboard().create(identifier));
        for (const auto& [name, palette] : palettes) {
            SCOPED_TRACE(std::string(name) + ": " + identifier.toStdString());
            QApplication::setPalette(palette);
            pumpEvents(20);
            closeAlerts();
            EXPECT_EQ(unreadableTexts(window.get()), QStringList());
            EXPECT_EQ(unmarkedFocus(window.get()), QStringList());
        }
        backToMainMenu(*window);
    }
    QApplication::setPalette(original);
}

// A row of a choice wheel is picked by its default action, as a click picks it.
TEST(Accessibility, AWheelsRowIsPickedByItsDefaultAction) {
    AppHarness app;
    fillCatalogue(app);
    GenreList::insertInto(app.context())->setGenre("Western");
    ASSERT_TRUE(app.context().save().ok);
    auto window = app.window();
    window->show();
    auto* form = qobject_cast<MovieFormViewController*>(app.app().storyboard().create("AddMovie"));
    window->navigation().pushViewController(form);
    pumpEvents();
    auto* genre = qobject_cast<ChoiceWheel*>(form->entry(FormField::Genre));
    ASSERT_TRUE(genre);
    genre->openWheel();
    ASSERT_TRUE(genre->isWheelOpen());
    QSignalSpy picked(genre, &ChoiceWheel::choicePicked);
    const int last = int(genre->choices().size()) - 1;
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(genre->wheel())->child(last);
    ASSERT_TRUE(row && row->actionInterface());
    EXPECT_EQ(row->text(QAccessible::Name), "Western");
    row->actionInterface()->doAction(row->actionInterface()->actionNames().value(0));
    EXPECT_EQ(genre->text(), "Western");
    EXPECT_EQ(picked.count(), 1);
    EXPECT_FALSE(genre->isWheelOpen());
}

}  // namespace
}  // namespace quillon::test
