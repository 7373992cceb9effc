#include "exchange/DocumentPicker.h"

#include <QFileDialog>

#include "platform/FileDialogs.h"

namespace quillon {
namespace {
std::unique_ptr<DocumentPicker>& sharedSlot() {
    static std::unique_ptr<DocumentPicker> picker;
    return picker;
}
}  // namespace

DocumentPicker& DocumentPicker::shared() {
    if (!sharedSlot()) sharedSlot() = std::make_unique<DesktopDocumentPicker>();
    return *sharedSlot();
}

std::unique_ptr<DocumentPicker> DocumentPicker::replaceShared(
    std::unique_ptr<DocumentPicker> picker) {
    return std::exchange(sharedSlot(), std::move(picker));
}

void DesktopDocumentPicker::pick(QWidget* parent, std::function<void(const QString&)> picked,
                                 std::function<void()> cancelled) {
    auto* dialog = new QFileDialog(parent ? parent->window() : nullptr, {}, fileDialogFolder());
    dialog->setObjectName("DocumentPicker");
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                     [picked = std::move(picked)](const QString& path) {
                         rememberFileDialogFolder(path);
                         picked(path);
                     });
    QObject::connect(dialog, &QFileDialog::rejected, dialog, std::move(cancelled));
    dialog->open();
}

}  // namespace quillon
