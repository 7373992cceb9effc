#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QPointer>
#include <memory>
#include <optional>
#include <vector>

#include "formats/FileImport.h"
#include "store/CatalogueStore.h"
#include "toolkit/ViewController.h"

class QComboBox;
class QPushButton;
class QPlainTextEdit;
class QProgressBar;
class QTextEdit;

namespace quillon {

class ActivityIndicator;
namespace exchange {
class CatalogueExport;
}
struct Services;

// "Export Movies": writes the whole catalogue as the export file (our own, a spreadsheet or a
// Tellico collection, as chosen beside the buttons), then saves it through the share sheet or
// mails it. One export per visit.
class ExportViewController : public ViewController {
    Q_OBJECT
public:
    explicit ExportViewController(Services& services, QWidget* parent = nullptr);
    ~ExportViewController() override;

    void viewDidLoad() override;

    QPushButton* ExportButton;
    QPushButton* SaveButton;
    QPushButton* EmailButton;
    QComboBox* FormatBox;  // the file's format, chosen before the export
    QPlainTextEdit* ExportTextView;
    QTextEdit* HelpTextView;
    QProgressBar* ProgressView;
    ActivityIndicator* activityIndicator;

    ManagedObjectContext* managedObjectContext = nullptr;
    std::vector<MoviePtr> theEntryList;
    // The complete export text (UTF-8) once an export has run. The text view shows it with
    // covers shortened; what is saved and mailed is always this.
    std::optional<QByteArray> DataString;
    bool DarkMode = false;

    void CreateUpdateFile();
    void BuildDataString();
    void SaveToFiles();
    void WriteTextFile();
    // The export file in the temporary folder, of our format or of another.
    static QString exportFilePath(exchange::FileFormat format = exchange::FileFormat::Quillon);
    exchange::FileFormat exportFormat() const;
    // Writes the temporary export file, private to the user and never through a planted link,
    // nor over a file of the catalogue.
    Status writeExportFile(const QByteArray& bytes);

private:
    void exportFinished();

    Services& services_;
    void presentAlert(const QString& title, const QString& message);

    QBuffer output_;
    std::unique_ptr<exchange::CatalogueExport> job_;
};

}  // namespace quillon
