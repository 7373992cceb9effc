#pragma once

#include <QBuffer>
#include <QFile>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "formats/ExportFormat.h"
#include "store/CatalogueStore.h"
#include "toolkit/ViewController.h"

class QPushButton;
class QPlainTextEdit;
class QTextEdit;

namespace quillon {

namespace exchange {
class MovieImporter;
}
struct Services;

// "Import Movies": loads an export file and merges it into the catalogue, then returns to the
// main menu.
class ImportViewController : public ViewController {
    Q_OBJECT
public:
    explicit ImportViewController(Services& services, QWidget* parent = nullptr);
    ~ImportViewController() override;

    void viewDidLoad() override;

    QPushButton* LoadFileButton;
    QPushButton* ImportButton;
    QPlainTextEdit* ImportTextView;
    QPointer<QTextEdit> HelpTextView;

    ManagedObjectContext* managedObjectContext = nullptr;
    // The loaded file, kept open rather than held: the import reads it again line by line. The
    // text view shows its beginning with covers shortened.
    std::unique_ptr<QFile> document;
    std::optional<QString> filename;
    std::optional<bool> wrongFile;
    bool DarkMode = false;
    // Lines longer than this end the reading; smaller only in tests.
    qsizetype maxLineBytes = exchange::kMaxLineBytes;

    void LoadFile();
    void documentPickerDidPickDocumentAt(const QString& path);
    void documentPickerWasCancelled() {}
    void ImportTextFile();
    // Applies `document`; runs in slices through the event loop so the window keeps painting.
    void ImportRecords(std::function<void()> done);

private:
    void showLoadedFile(std::unique_ptr<QFile> file);
    void importSlice(std::function<void()> done);
    void setBackButtonShown(bool shown);
    void reportImport();

    Services& services_;

    QBuffer input_;
    std::unique_ptr<exchange::MovieImporter> importer_;
};

}  // namespace quillon
