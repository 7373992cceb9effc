#include "platform/DocumentPicker.h"

#include <QFileDialog>

#include "platform/FileDialogs.h"

namespace quillon {
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
