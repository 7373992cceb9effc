#pragma once

#include <QMessageBox>
#include <QString>

namespace quillon {

// A message box that blocks until closed, for the moments when no window can carry an alert
// (before the window opens, after it has closed). A termination signal closes it too.
void showBlockingMessage(QMessageBox::Icon icon, const QString& title, const QString& text);

// Closes every blocking message box that is open; the code that showed it goes on.
void closeBlockingMessages();

}  // namespace quillon
