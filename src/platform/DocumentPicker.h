#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace quillon {

// The device's picker of one file to open. Exactly one of the two callbacks runs later, on the
// main thread. A device boundary: tests give screens one of their own.
class DocumentPicker {
public:
    virtual ~DocumentPicker() = default;
    virtual void pick(QWidget* parent, std::function<void(const QString& path)> picked,
                      std::function<void()> cancelled) = 0;
    // The same for a picture file; a picker that cannot tell pictures apart picks any file.
    virtual void pickPicture(QWidget* parent, std::function<void(const QString& path)> picked,
                             std::function<void()> cancelled) {
        pick(parent, std::move(picked), std::move(cancelled));
    }
};

// A non-blocking QFileDialog for any file, opening in fileDialogFolder() and remembering the
// folder of the file picked. For a picture it lists the pictures Qt reads, JPEG and PNG first.
class DesktopDocumentPicker : public DocumentPicker {
public:
    void pick(QWidget* parent, std::function<void(const QString& path)> picked,
              std::function<void()> cancelled) override;
    void pickPicture(QWidget* parent, std::function<void(const QString& path)> picked,
                     std::function<void()> cancelled) override;

private:
    void open(QWidget* parent, const QStringList& nameFilters,
              std::function<void(const QString& path)> picked, std::function<void()> cancelled);
};

}  // namespace quillon
