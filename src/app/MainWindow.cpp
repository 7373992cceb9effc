#include "app/MainWindow.h"

#include <QKeySequence>
#include <QShortcut>

#include "app/MainMenuViewController.h"
#include "toolkit/NavigationController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

std::unique_ptr<NavigationController> createMainWindow(const Storyboard& storyboard) {
    auto window =
        std::make_unique<NavigationController>(new MainMenuViewController(storyboard.services()));
    window->setStoryboard(&storyboard);
    window->setWindowTitle("Quillon");
    window->resize(430, 860);
    // Screens never resize the window (see NavigationController); the user may, down to this.
    window->setMinimumSize(320, 480);
    auto* quit = new QShortcut(QKeySequence::Quit, window.get());
    QObject::connect(quit, &QShortcut::activated, window.get(), &QWidget::close);
    return window;
}

}  // namespace quillon
