#include "platform/DocumentPicker.h"

#include <QFileDialog>
#include <QImageReader>

#include "platform/FileDialogs.h"

namespace quillon {

namespace {
QStringList pictureNameFilters() {
    QStringList patterns{"*.jpg", "*.jpeg", "*.png"};
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString pattern = "*." + QString::fromLatin1(format).toLower();
        if (!patterns.contains(pattern)) patterns << pattern;
    }
    return {"Pictures (" + patterns.join(' ') + ")", "All files (*)"};
}
}  // namespace

void DesktopDocumentPicker::pick(QWidget* parent, std::function<void(const QString&)> picked,
                                 std::function<void()> cancelled) {
    open(parent, {}, std::move(picked), std::move(cancelled));
}

void DesktopDocumentPicker::pickPicture(QWidget* parent, std::function<void(const QString&)> picked,
                                        std::function<void()> cancelled) {
    open(parent, pictureNameFilters(), std::move(picked), std::move(cancelled));
}

void DesktopDocumentPicker::open(QWidget* parent, const QStringList& nameFilters,
                                 std::function<void(const QString&)> picked,
                                 std::function<void()> cancelled) {
    auto* dialog = new QFileDialog(parent ? parent->window() : nullptr, {}, fileDialogFolder());
    dialog->setObjectName("DocumentPicker");
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (!nameFilters.isEmpty()) dialog->setNameFilters(nameFilters);
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
