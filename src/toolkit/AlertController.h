#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class QLabel;

namespace quillon {

// Title, message and actions. Window-modal, opened with open(), never exec(): tests read the
// presented alert and press its actions. An action's handler runs after the alert has closed.
class AlertController : public QDialog {
    Q_OBJECT
public:
    enum class Style { Default, Cancel };
    struct Action {
        QString title;
        Style style = Style::Default;
        std::function<void()> handler;
    };

    AlertController(QString title, QString message, QWidget* parent = nullptr);
    ~AlertController() override;
    // The usual user-error alert: one "OK" action that only closes it.
    static AlertController* ok(const QString& title, const QString& message);
    // Opens that alert over `anchor`'s window (on its own without an anchor).
    static void tell(QWidget* anchor, const QString& title, const QString& message);

    void addAction(Action action);
    QString title() const { return title_; }
    QString message() const { return message_; }
    QStringList actionTitles() const;
    // Presses the action with that title, as a click would; false when there is none.
    bool trigger(const QString& actionTitle);

    // Alerts currently shown, oldest first (tests).
    static QList<AlertController*> presentedAlerts();

    // Escape / the window's close: the cancel-style action, else the only action.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void finishWith(int index);
    int cancelIndex() const;

    QString title_;
    QString message_;
    QList<Action> actions_;
    QLayout* buttonRow_ = nullptr;
    bool finished_ = false;
};

}  // namespace quillon
