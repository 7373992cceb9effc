#include "app/BlockingMessage.h"

#include <QApplication>

namespace quillon {

namespace {
const QString kObjectName = QStringLiteral("blockingMessage");
}

void showBlockingMessage(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.setObjectName(kObjectName);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void closeBlockingMessages() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget);
            box && box->objectName() == kObjectName && box->isVisible())
            box->done(QMessageBox::Ok);
}

}  // namespace quillon
