#pragma once

#include <QString>
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
};

// A non-blocking QFileDialog for any file, opening in fileDialogFolder() and remembering the
// folder of the file picked.
class DesktopDocumentPicker : public DocumentPicker {
public:
    void pick(QWidget* parent, std::function<void(const QString& path)> picked,
              std::function<void()> cancelled) override;
};

}  // namespace quillon
