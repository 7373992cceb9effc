#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>

class QKeyEvent;
class QShortcut;
class QWidget;

namespace quillon {

// Every key the program answers to, one row each. Screens make their shortcuts (and menu
// actions their key sequences) from these rows, and the guide's table of keys is made from them
// at build time, so the two cannot differ. A new shortcut gets a row here first.
enum class KeyCommand {
    ShowMenuEntries,
    MoveFocus,
    PressButton,
    MoveBetweenRows,
    OpenRow,
    DeleteRow,
    UndoDelete,
    AddMovie,
    Save,
    GoBack,
    GoBackWhileTyping,
    PrintReport,
    ViewCard,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    ZoomByWheel,
    Find,
    ShowOverview,
    Quit,
};

struct KeyboardShortcut {
    KeyCommand command;
    QList<QKeySequence> keys;
    QString where;
    QString what;
    QString gesture = {};  // for a row that is no key: "Ctrl+wheel"
};

const QList<KeyboardShortcut>& keyboardShortcuts();
QList<QKeySequence> shortcutKeys(KeyCommand command);
// "Ctrl+S", "Ctrl+plus, Ctrl+=": the row's keys as the guide and tooltips write them.
QString shortcutText(KeyCommand command);
// The key as a user reads it: "Escape", "Delete", "Ctrl+plus", "Page Up".
QString keyName(const QKeySequence& key);

// A shortcut on `owner` for every key of the row, running `action` (when given).
QShortcut* addShortcut(QWidget* owner, KeyCommand command, Qt::ShortcutContext context,
                       std::function<void()> action);
// Whether the key pressed is one of the row's keys (for keys a widget handles itself).
bool pressedKeyIs(const QKeyEvent* event, KeyCommand command);

// The guide's table of keys, in Markdown: keys, where they work, what they do.
QString shortcutGuideMarkdown();

}  // namespace quillon
