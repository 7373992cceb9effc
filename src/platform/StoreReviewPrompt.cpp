#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/ReviewService.h"
#include "platform/UrlOpener.h"
#include "platform/WebAddress.h"

namespace quillon {

namespace {

constexpr char kPromptName[] = "reviewPrompt";
constexpr int kGap = 8;

QPushButton* promptButton(const QString& title, const char* name, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    button->setObjectName(QLatin1String(name));
    // A click must not pull the keyboard away from the form the user is typing in.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// To the right of the window when the screen has room there, else inside its lower right corner.
void placeBeside(QWidget* prompt, QWidget* window) {
    prompt->adjustSize();
    if (!window) return;
    const QRect frame = window->frameGeometry();
    QPoint at(frame.right() + kGap, frame.top());
    const QScreen* screen = window->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    if (room.isValid() && !room.contains(QRect(at, prompt->size()))) {
        const QRect inner = window->geometry();
        at = inner.bottomRight() - QPoint(prompt->width() + kGap, prompt->height() + kGap);
    }
    prompt->move(at);
}

// The prompt closes once a program took the page; otherwise it stays and says why.
void openReviewPage(const QUrl& page, UrlOpener& urls, QWidget* prompt, QLabel* message,
                    QPushButton* rate) {
    rate->setEnabled(false);  // one browser for one click
    urls.openUrl(page, prompt, [=](const ProgramResult& result) {
        if (result) {
            prompt->close();
            return;
        }
        rate->setEnabled(true);
        message->setText(QStringLiteral("No program opened %1. Is a web browser set up?")
                             .arg(page.toDisplayString()));
        prompt->adjustSize();
    });
}

}  // namespace

void DesktopStoreReview::requestReview(QWidget* window) {
    const QUrl reviewPage = writeReviewUrl(storePage_);
    if (!reviewPage.isValid()) return;
    QWidget* owner = window ? window->window() : nullptr;
    // One invitation at a time.
    if (owner && owner->findChild<QWidget*>(kPromptName, Qt::FindDirectChildrenOnly)) return;

    auto* prompt =
        new QFrame(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    prompt->setObjectName(kPromptName);
    prompt->setAttribute(Qt::WA_ShowWithoutActivating);
    prompt->setAttribute(Qt::WA_DeleteOnClose);
    prompt->setFocusPolicy(Qt::NoFocus);
    prompt->setFrameShape(QFrame::StyledPanel);
    prompt->setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(prompt);
    auto* title = new QLabel(QStringLiteral("Enjoying Quillon?"), prompt);
    title->setTextFormat(Qt::PlainText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* message = new QLabel(
        QStringLiteral("A rating in the store helps other collectors find Quillon."), prompt);
    message->setObjectName(QStringLiteral("reviewPromptMessage"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    auto* later = promptButton(QStringLiteral("Not Now"), "reviewPromptClose", prompt);
    auto* rate = promptButton(QStringLiteral("Rate Quillon"), "reviewPromptRate", prompt);
    buttons->addStretch();
    buttons->addWidget(later);
    buttons->addWidget(rate);
    layout->addWidget(title);
    layout->addWidget(message);
    layout->addLayout(buttons);

    QObject::connect(later, &QPushButton::clicked, prompt, &QWidget::close);
    QObject::connect(rate, &QPushButton::clicked, prompt, [=, &urls = urls_] {
        openReviewPage(reviewPage, urls, prompt, message, rate);
    });

    // Some window managers activate a new window whatever it asks for: the keyboard goes back to
    // the window the user was typing in.
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, prompt,
                     [prompt, owner = QPointer<QWidget>(owner)](QWindow* focused) {
                         if (owner && focused && focused == prompt->windowHandle())
                             owner->activateWindow();
                     });

    prompt->setMinimumWidth(260);
    placeBeside(prompt, owner);
    prompt->show();
}

}  // namespace quillon
