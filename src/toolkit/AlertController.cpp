#include "toolkit/AlertController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "toolkit/Announcement.h"

namespace quillon {

namespace {
// Alerts in the order they were opened; entries leave when hidden or destroyed.
QList<AlertController*>& shownAlerts() {
    static QList<AlertController*> list;
    return list;
}
}  // namespace

AlertController::AlertController(QString title, QString message, QWidget* parent)
    : QDialog(parent), title_(std::move(title)), message_(std::move(message)) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(title_);
    setObjectName(QStringLiteral("alert"));
    // A screen reader names a dialog and reads its description when it opens.
    setAccessibleName(title_.isEmpty() ? message_ : title_);
    setAccessibleDescription(title_.isEmpty() ? QString() : message_);
    setMinimumWidth(270);

    auto* column = new QVBoxLayout(this);
    auto* titleLabel = new QLabel(title_, this);
    titleLabel->setObjectName(QStringLiteral("alertTitle"));
    // Titles and messages carry file and movie names: never read them as markup.
    titleLabel->setTextFormat(Qt::PlainText);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setWordWrap(true);
    titleLabel->setVisible(!title_.isEmpty());
    column->addWidget(titleLabel);

    auto* messageLabel = new QLabel(message_, this);
    messageLabel->setObjectName(QStringLiteral("alertMessage"));
    messageLabel->setTextFormat(Qt::PlainText);
    messageLabel->setAlignment(Qt::AlignCenter);
    messageLabel->setWordWrap(true);
    messageLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    messageLabel->setVisible(!message_.isEmpty());
    column->addWidget(messageLabel);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addStretch(1);  // the buttons go between the two stretches
    column->addLayout(row);
    buttonRow_ = row;
}

AlertController* AlertController::ok(const QString& title, const QString& message) {
    auto* alert = new AlertController(title, message);
    alert->addAction({QStringLiteral("OK"), Style::Default, {}});
    return alert;
}

void AlertController::tell(QWidget* anchor, const QString& title, const QString& message) {
    AlertController* alert = ok(title, message);
    if (anchor) {
        alert->setParent(anchor->window(), Qt::Dialog);
        alert->setWindowModality(Qt::WindowModal);
    }
    alert->open();
}

void AlertController::addAction(Action action) {
    const int index = actions_.size();
    auto* button = new QPushButton(action.title, this);
    button->setAutoDefault(false);
    if (action.style == Style::Default) {
        bool hasDefault = false;
        for (const Action& a : actions_) hasDefault = hasDefault || a.style == Style::Default;
        if (!hasDefault) button->setDefault(true);
    }
    actions_.append(std::move(action));
    auto* row = static_cast<QHBoxLayout*>(buttonRow_);
    row->insertWidget(row->count() - 1, button);
    connect(button, &QPushButton::clicked, this, [this, index] { finishWith(index); });
}

QStringList AlertController::actionTitles() const {
    QStringList titles;
    for (const Action& a : actions_) titles.append(a.title);
    return titles;
}

bool AlertController::trigger(const QString& actionTitle) {
    for (int i = 0; i < actions_.size(); ++i) {
        if (actions_.at(i).title == actionTitle) {
            finishWith(i);
            return true;
        }
    }
    return false;
}

QList<AlertController*> AlertController::presentedAlerts() {
    QList<AlertController*> result;
    for (AlertController* a : shownAlerts())
        if (a->isVisible() && !a->finished_) result.append(a);
    return result;
}

void AlertController::finishWith(int index) {
    if (finished_ || index < 0 || index >= actions_.size()) return;
    finished_ = true;
    const std::function<void()> handler = actions_.at(index).handler;
    done(index == cancelIndex() ? QDialog::Rejected : QDialog::Accepted);
    shownAlerts().removeAll(this);
    deleteLater();
    if (handler) handler();  // after the alert has closed
}

int AlertController::cancelIndex() const {
    for (int i = 0; i < actions_.size(); ++i)
        if (actions_.at(i).style == Style::Cancel) return i;
    return -1;
}

void AlertController::reject() {
    if (finished_) return;
    const int cancel = cancelIndex();
    if (cancel >= 0)
        finishWith(cancel);
    else if (actions_.size() == 1)
        finishWith(0);
    else if (actions_.isEmpty()) {
        finished_ = true;
        QDialog::reject();
        shownAlerts().removeAll(this);
        deleteLater();
    }
    // Several actions and none of cancel style: the user must choose.
}

void AlertController::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shownAlerts().contains(this)) shownAlerts().append(this);
    announce(this);
}

void AlertController::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    shownAlerts().removeAll(this);
}

AlertController::~AlertController() {
    shownAlerts().removeAll(this);
}

}  // namespace quillon
