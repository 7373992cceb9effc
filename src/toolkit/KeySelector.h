#pragma once

#include <QButtonGroup>
#include <QStringList>
#include <QWidget>

namespace quillon {

// Segmented control: exclusive buttons side by side. valueChanged fires on a user's pick and on
// setSelectedIndex when the index changes.
class KeySelector : public QWidget {
    Q_OBJECT
public:
    explicit KeySelector(const QStringList& items, QWidget* parent = nullptr);
    int selectedIndex() const;
    void setSelectedIndex(int index);
    int count() const;
    QString itemText(int index) const;
    void setTintColor(const QColor& color);

signals:
    void valueChanged(int index);

private:
    QButtonGroup group_;
    int current_ = -1;
};

}  // namespace quillon
