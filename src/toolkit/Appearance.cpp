#include "toolkit/Appearance.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace quillon::appearance {

namespace {
// The nearest Qt class of the widget: a type selector that matches the widget (and its
// subclasses) but not its children of other kinds.
QString qtClassOf(const QWidget* w) {
    for (const QMetaObject* m = w->metaObject(); m; m = m->superClass()) {
        const QString name = QString::fromLatin1(m->className());
        if (name.startsWith(QLatin1Char('Q')) && !name.contains(QLatin1String("::")))
            return name;
    }
    return QStringLiteral("QWidget");
}

void addStyle(QWidget* w, const QString& rules) {
    QString sheet = w->styleSheet();
    if (sheet.contains(rules)) return;
    if (!sheet.isEmpty() && !sheet.endsWith(QLatin1Char('\n'))) sheet += QLatin1Char('\n');
    w->setStyleSheet(sheet + rules);
}
}  // namespace

void applyButtonLook(QWidget* button) {
    if (!button) return;
    const QString type = qtClassOf(button);
    addStyle(button, QStringLiteral("%1 { border: 2px solid black; border-radius: 10px; "
                                    "padding: 6px 12px; }\n"
                                    "%1:disabled { color: grey; }")
                         .arg(type));
}

void applyTextEntryLook(QWidget* entry) {
    if (!entry) return;
    addStyle(entry, QStringLiteral("%1 { border: 1px solid black; border-radius: 5px; "
                                   "padding: 2px 4px; }")
                        .arg(qtClassOf(entry)));
}

void applyDarkTextViewLook(QWidget* textView) {
    if (!textView) return;
    addStyle(textView, QStringLiteral("%1 { color: black; border: 1px solid white; "
                                      "border-radius: 5px; }")
                           .arg(qtClassOf(textView)));
}

QColor listRowBackground() {
    return QColor::fromHsvF(0.5f, 0.06f, 0.96f);
}

bool isDarkAppearance() {
    const QPalette pal = QApplication::palette();
    return pal.color(QPalette::Window).lightnessF() < pal.color(QPalette::Text).lightnessF();
}

}  // namespace quillon::appearance
