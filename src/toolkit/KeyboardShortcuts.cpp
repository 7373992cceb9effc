#include "toolkit/KeyboardShortcuts.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QStringList>
#include <QWidget>

namespace quillon {

namespace {

QKeySequence ctrl(Qt::Key key) {
    return QKeySequence(Qt::CTRL | key);
}

const QString kLists = QStringLiteral("movie list, genre and rating lists");
const QString kViewers = QStringLiteral("overview, covers shown large");

QList<KeyboardShortcut> makeTable() {
    using K = KeyCommand;
    return {
        {K::ShowMenuEntries,
         {Qt::Key_Return, Qt::Key_Space},
         "main menu",
         "show or hide the menu; on an entry, open it"},
        {K::MoveFocus,
         {Qt::Key_Tab, QKeySequence(Qt::SHIFT | Qt::Key_Tab)},
         "everywhere",
         "move between buttons, fields and lists"},
        {K::PressButton, {Qt::Key_Return}, "a focused button", "presses it"},
        {K::MoveBetweenRows,
         {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown},
         "lists",
         "move between rows"},
        {K::OpenRow, {Qt::Key_Return}, "lists", "opens the row"},
        {K::DeleteRow, {Qt::Key_Delete}, kLists, "deletes the row"},
        {K::UndoDelete, {ctrl(Qt::Key_Z)}, kLists, "brings the last deleted row back"},
        {K::AddMovie,
         {ctrl(Qt::Key_N)},
         "movie list; elsewhere through the Edit menu",
         "opens the form for a new movie"},
        {K::Save, {ctrl(Qt::Key_S)}, "movie forms, notes", "saves, as the Save button does"},
        {K::GoBack,
         {Qt::Key_Escape},
         "everywhere",
         "goes back; in a search box it first clears the text; not while you type in a field; "
         "leaves a form only while nothing in it is changed"},
        {K::GoBackWhileTyping,
         {QKeySequence(Qt::ALT | Qt::Key_Left)},
         "everywhere",
         "goes back, also while you type; leaves a form only while nothing in it is changed"},
        {K::PrintReport,
         {ctrl(Qt::Key_P)},
         "breakdowns",
         "opens the print screen for the breakdown's movies"},
        {K::ViewCard,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)},
         "covers shown large",
         "shows the movie's card on the whole screen"},
        {K::ZoomIn, {ctrl(Qt::Key_Plus), ctrl(Qt::Key_Equal)}, kViewers, "zooms in"},
        {K::ZoomOut, {ctrl(Qt::Key_Minus)}, kViewers, "zooms out"},
        {K::ZoomReset,
         {ctrl(Qt::Key_0)},
         kViewers,
         "the overview fits its pages to the width again; a cover goes back to its first size"},
        {K::ZoomByWheel, {}, kViewers, "zooms in and out", "Ctrl+wheel"},
        {K::Find, {ctrl(Qt::Key_F)}, "lists with a search field", "puts the cursor in it"},
        {K::ShowOverview, {Qt::Key_F1}, "everywhere", "opens the overview"},
        {K::Quit, {ctrl(Qt::Key_Q)}, "everywhere", "saves and quits"},
    };
}

const KeyboardShortcut& rowOf(KeyCommand command) {
    for (const KeyboardShortcut& row : keyboardShortcuts())
        if (row.command == command) return row;
    Q_UNREACHABLE();
}

QString guideCell(QString text) {
    return text.replace('|', "\\|");
}

}  // namespace

const QList<KeyboardShortcut>& keyboardShortcuts() {
    static const QList<KeyboardShortcut> table = makeTable();
    return table;
}

QList<QKeySequence> shortcutKeys(KeyCommand command) {
    return rowOf(command).keys;
}

QString keyName(const QKeySequence& key) {
    static const QList<std::pair<QString, QString>> readable = {
        {"Esc", "Escape"},       {"Del", "Delete"},       {"Return", "Enter"},
        {"PgUp", "Page Up"},     {"PgDown", "Page Down"}, {"Ctrl++", "Ctrl+plus"},
        {"Ctrl+-", "Ctrl+minus"}};
    QString name = key.toString(QKeySequence::PortableText);
    for (const auto& [portable, shown] : readable)
        if (name == portable) return shown;
    return name;
}

QString shortcutText(KeyCommand command) {
    const KeyboardShortcut& row = rowOf(command);
    if (row.keys.isEmpty()) return row.gesture;
    QStringList names;
    for (const QKeySequence& key : row.keys) names << keyName(key);
    return names.join(", ");
}

QShortcut* addShortcut(QWidget* owner, KeyCommand command, Qt::ShortcutContext context,
                       std::function<void()> action) {
    auto* shortcut = new QShortcut(owner);
    shortcut->setKeys(shortcutKeys(command));
    shortcut->setContext(context);
    if (action) QObject::connect(shortcut, &QShortcut::activated, owner, std::move(action));
    return shortcut;
}

bool pressedKeyIs(const QKeyEvent* event, KeyCommand command) {
    // The keypad's Enter is the same key to a user as Return.
    const Qt::Key key = event->key() == Qt::Key_Enter ? Qt::Key_Return : Qt::Key(event->key());
    const QKeySequence pressed(QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, key));
    return shortcutKeys(command).contains(pressed);
}

QString shortcutGuideMarkdown() {
    QString out = "| Keys | Where | What they do |\n|---|---|---|\n";
    for (const KeyboardShortcut& row : keyboardShortcuts())
        out += "| " + guideCell(shortcutText(row.command)) + " | " + guideCell(row.where) + " | " +
               guideCell(row.what) + " |\n";
    return out;
}

}  // namespace quillon
