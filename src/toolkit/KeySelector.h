#pragma once

#include <QButtonGroup>
#include <QStringList>
#include <QWidget>

namespace quillon {

// Segmented control: exclusive buttons side by side. valueChanged fires on a user's pick and on
// setSelectedIndex when the index changes. The selected item is drawn in the tint colour; the
// others in the tint too where it is readable on the window, else in the palette's text colour.
// No item is ever narrower than its caption needs (the navigation bar moves the selector to a
// row of its own instead).
class KeySelector : public QWidget {
    Q_OBJECT
public:
    explicit KeySelector(const QStringList& items, QWidget* parent = nullptr);
    int selectedIndex() const;
    void setSelectedIndex(int index);
    int count() const;
    QString itemText(int index) const;
    void setTintColor(const QColor& color);
    // The width item `index` needs for its caption whole: the caption and the style's box.
    int captionWidth(int index) const;

signals:
    void valueChanged(int index);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restyle();
    void keepCaptionsWhole();

    QButtonGroup group_;
    int current_ = -1;
    QColor tint_;
};

}  // namespace quillon
