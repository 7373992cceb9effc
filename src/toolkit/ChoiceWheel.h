#pragma once

#include <QFont>
#include <QStringList>
#include <optional>
#include <utility>

#include "toolkit/TextEntry.h"

class QListWidget;

namespace quillon {

// A text entry whose input method is a wheel of choices: focusing or clicking it opens a popup
// list; picking a choice puts it into the text (textEdited and choicePicked fire).
class ChoiceWheel : public TextEntry {
    Q_OBJECT
public:
    explicit ChoiceWheel(QWidget* parent = nullptr);
    void setChoices(const QStringList& choices);
    // How the wheel draws its rows (font and alignment); the popup's own look until set.
    void setRowLook(const QFont& font, Qt::Alignment alignment);
    QStringList choices() const { return choices_; }
    void openWheel();
    bool isWheelOpen() const;
    void pick(int index);
    void closeWheel();
    QListWidget* wheel() const { return popup_; }  // the popup list (tests)

signals:
    void choicePicked(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillWheel();

    QStringList choices_;
    std::optional<std::pair<QFont, Qt::Alignment>> rowLook_;
    QListWidget* popup_ = nullptr;
};

}  // namespace quillon
