#include "toolkit/KeySelector.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QToolButton>

namespace quillon {

KeySelector::KeySelector(const QStringList& items, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    group_.setExclusive(true);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setText(items.at(i));
        button->setCheckable(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        group_.addButton(button, i);
        row->addWidget(button);
    }
    if (!items.isEmpty()) {
        group_.button(0)->setChecked(true);
        current_ = 0;
    }
    connect(&group_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == current_) return;
        current_ = id;
        emit valueChanged(id);
    });
    setTintColor(QColor(0, 122, 255));
}

int KeySelector::selectedIndex() const {
    return current_;
}

void KeySelector::setSelectedIndex(int index) {
    if (index < -1 || index >= count() || index == current_) return;
    if (index < 0) {
        group_.setExclusive(false);
        if (QAbstractButton* b = group_.checkedButton()) b->setChecked(false);
        group_.setExclusive(true);
    } else {
        group_.button(index)->setChecked(true);
    }
    current_ = index;
    emit valueChanged(index);
}

int KeySelector::count() const {
    return group_.buttons().size();
}

QString KeySelector::itemText(int index) const {
    QAbstractButton* b = group_.button(index);
    return b ? b->text() : QString();
}

void KeySelector::setTintColor(const QColor& color) {
    const QString c = color.name();
    setStyleSheet(QStringLiteral(
                      "QToolButton { border: 1px solid %1; padding: 4px 10px; color: %1; "
                      "background: transparent; }"
                      "QToolButton:checked { background-color: %1; color: white; }")
                      .arg(c));
}

}  // namespace quillon
