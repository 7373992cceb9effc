#include "toolkit/Appearance.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QPointer>
#include <QStyle>
#include <QWidget>
#include <cmath>

namespace quillon::appearance {

namespace {
// The nearest Qt class of the widget: a type selector that matches the widget (and its
// subclasses) but not its children of other kinds.
QString qtClassOf(const QWidget* w) {
    for (const QMetaObject* m = w->metaObject(); m; m = m->superClass()) {
        const QString name = QString::fromLatin1(m->className());
        if (name.startsWith(QLatin1Char('Q')) && !name.contains(QLatin1String("::"))) return name;
    }
    return QStringLiteral("QWidget");
}

// A widget with a style sheet keeps the palette it was polished with when the desktop's palette
// changes (its text could end up in the colour of its background): such widgets are polished
// again, once the palette has reached every widget.
class PaletteFollower : public QObject {
public:
    static PaletteFollower& instance() {
        static auto* follower = new PaletteFollower;
        return *follower;
    }

    void follow(QWidget* widget) {
        if (!widgets_.contains(widget)) widgets_ << widget;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
            QMetaObject::invokeMethod(this, &PaletteFollower::polishAgain, Qt::QueuedConnection);
        return false;
    }

private:
    PaletteFollower() : QObject(qApp) { qApp->installEventFilter(this); }

    void polishAgain() {
        widgets_.removeAll(nullptr);
        for (QWidget* widget : std::as_const(widgets_)) {
            // Unpolishing gives back the palette of the first polish; the widget inherits anew.
            widget->style()->unpolish(widget);
            widget->setPalette(QPalette());
            widget->style()->polish(widget);
            widget->update();
        }
    }

    QList<QPointer<QWidget>> widgets_;
};

void addStyle(QWidget* w, const QString& rules) {
    PaletteFollower::instance().follow(w);
    QString sheet = w->styleSheet();
    if (sheet.contains(rules)) return;
    if (!sheet.isEmpty() && !sheet.endsWith(QLatin1Char('\n'))) sheet += QLatin1Char('\n');
    w->setStyleSheet(sheet + rules);
}

double linearChannel(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

QColor blend(const QColor& over, const QColor& under, double alpha) {
    return QColor::fromRgbF(float(over.redF() * alpha + under.redF() * (1 - alpha)),
                            float(over.greenF() * alpha + under.greenF() * (1 - alpha)),
                            float(over.blueF() * alpha + under.blueF() * (1 - alpha)));
}

// Re-applies the readable placeholder whenever the entry's palette changes.
class PlaceholderKeeper : public QObject {
public:
    static constexpr const char* kName = "readablePlaceholderKeeper";

    explicit PlaceholderKeeper(QWidget* entry) : QObject(entry), entry_(entry) {
        setObjectName(kName);
        apply();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == entry_ && (event->type() == QEvent::PaletteChange ||
                                  event->type() == QEvent::ApplicationPaletteChange))
            apply();
        return false;
    }

private:
    void apply() {
        QPalette pal = entry_->palette();
        // Derived from the inherited colours, not from the placeholder set last time.
        QPalette inherited = pal;
        inherited.setColor(QPalette::PlaceholderText,
                           QApplication::palette(entry_).color(QPalette::PlaceholderText));
        const QColor colour = readablePlaceholderColor(inherited);
        if (pal.color(QPalette::PlaceholderText) == colour &&
            pal.isBrushSet(QPalette::Active, QPalette::PlaceholderText))
            return;  // also ends the change event that setPalette sends back
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(group, QPalette::PlaceholderText, colour);
        entry_->setPalette(pal);
    }

    QWidget* entry_;
};
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
    keepPlaceholderReadable(entry);
}

void applyDarkTextViewLook(QWidget* textView) {
    if (!textView) return;
    // The text is black whatever the palette, so the paper behind it must be light.
    addStyle(textView, QStringLiteral("%1 { color: black; background-color: white; "
                                      "border: 1px solid white; border-radius: 5px; }")
                           .arg(qtClassOf(textView)));
}

QColor listRowBackground() {
    return QColor::fromHsvF(0.5f, 0.06f, 0.96f);
}

bool isDarkAppearance() {
    const QPalette pal = QApplication::palette();
    return pal.color(QPalette::Window).lightnessF() < pal.color(QPalette::Text).lightnessF();
}

double relativeLuminance(const QColor& colour) {
    const QColor c = colour.toRgb();
    return 0.2126 * linearChannel(c.redF()) + 0.7152 * linearChannel(c.greenF()) +
           0.0722 * linearChannel(c.blueF());
}

double contrastRatio(const QColor& text, const QColor& background) {
    const double a = relativeLuminance(blend(text, background, text.alphaF()));
    const double b = relativeLuminance(background);
    return (qMax(a, b) + 0.05) / (qMin(a, b) + 0.05);
}

QColor firstReadable(std::initializer_list<QColor> candidates, const QColor& background) {
    QColor best;
    double bestRatio = 0;
    for (const QColor& c : candidates) {
        const double ratio = contrastRatio(c, background);
        if (ratio >= kReadableContrast) return c;
        if (ratio > bestRatio) {
            best = c;
            bestRatio = ratio;
        }
    }
    return best;
}

QColor readablePlaceholderColor(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor own = palette.color(QPalette::PlaceholderText);
    // A margin over the threshold, so that rounding to 8-bit channels cannot fall below it.
    constexpr double kTarget = kReadableContrast + 0.1;
    if (contrastRatio(own, base) >= kTarget) return own;
    QColor text = palette.color(QPalette::Text);
    text.setAlpha(255);
    for (int percent = 50; percent < 100; percent += 2) {
        const QColor mix = blend(text, base, percent / 100.0);
        if (contrastRatio(mix, base) >= kTarget) return mix;
    }
    return firstReadable({text, QColor(Qt::black), QColor(Qt::white)}, base);
}

void keepPlaceholderReadable(QWidget* entry) {
    if (!entry || entry->findChild<QObject*>(PlaceholderKeeper::kName, Qt::FindDirectChildrenOnly))
        return;
    entry->installEventFilter(new PlaceholderKeeper(entry));
}

}  // namespace quillon::appearance
