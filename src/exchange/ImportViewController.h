#pragma once

#include <QBuffer>
#include <QFile>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "formats/ExportFormat.h"
#include "formats/FileImport.h"
#include "store/CatalogueStore.h"
#include "toolkit/ViewController.h"

class QPushButton;
class QPlainTextEdit;
class QProgressBar;
class QTextEdit;

namespace quillon {

class ImportPreviewView;
struct Services;

// "Import Movies": loads a file (our export file, a spreadsheet or a Tellico collection), shows
// a preview with what a dry run counts, and merges it into the catalogue with a progress bar and
// a way to cancel, then returns to the main menu.
class ImportViewController : public ViewController {
    Q_OBJECT
public:
    explicit ImportViewController(Services& services, QWidget* parent = nullptr);
    ~ImportViewController() override;

    void viewDidLoad() override;

    QPushButton* LoadFileButton;
    QPushButton* ImportButton;
    QPushButton* CancelButton;  // shown while importing
    QPlainTextEdit* ImportTextView;
    ImportPreviewView* PreviewView;
    QProgressBar* ProgressView;
    QPointer<QTextEdit> HelpTextView;

    ManagedObjectContext* managedObjectContext = nullptr;
    // The loaded file, kept open rather than held: the preview and the import read it again.
    // The text view shows its beginning with covers shortened.
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
    void showLoadedFile(std::unique_ptr<QFile> file, const QString& folder);
    // Reads the loaded file for the preview with the options chosen, then counts a dry run.
    void previewFile();
    // The choices of the preview into the options; a spreadsheet's columns are remembered.
    void takeChoices();
    // Applies `import` a slice at a time until it ends or `cancelled` is set.
    void runSlices(exchange::FileImport* import, std::function<bool()> cancelled,
                   std::function<void()> done);
    void setBackButtonShown(bool shown);
    void reportImport();
    QString outcomeText() const;

    Services& services_;

    exchange::ImportOptions options_;
    std::unique_ptr<exchange::FileImport> preview_;
    int previewRun_ = 0;  // a newer preview drops the counting of an older one
    QBuffer input_;
    std::unique_ptr<exchange::FileImport> import_;
    bool cancelled_ = false;
};

}  // namespace quillon
