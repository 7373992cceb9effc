#include "exchange/ImportViewController.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "exchange/ImportPreviewView.h"
#include "exchange/SpreadsheetColumns.h"
#include "formats/DisplayText.h"
#include "formats/LineReader.h"
#include "formats/MovieImporter.h"
#include "handover/ReturnPoints.h"
#include "handover/Services.h"
#include "platform/DiagnosticLog.h"
#include "platform/DocumentPicker.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"
#include "toolkit/MainQueue.h"
#include "toolkit/NavigationController.h"

namespace quillon {
namespace {

constexpr int kSliceMilliseconds = 40;
constexpr int kProgressSteps = 1000;
// About ten thousand movie lines: enough to see what the file is, and the view stays quick.
constexpr qsizetype kShownCharacters = 1 << 20;

QString helpText() {
    QString text = "YOU CAN ONLY IMPORT THE FILE CREATED BY THIS APP.";
    text += "\n";
    text += "1: Select the file you saved to your iCloud drive";
    text += "\n";
    text += "2: Import the file into your device";
    text += "\n";
    text += "Spreadsheets (CSV) and Tellico collections come in too: check the preview first.";
    return text;
}

// The beginning of the file as the export screen shows an export text, one line at a time, so a
// large file is never held whole. Empty with `error` set when the file cannot be read.
QString shownText(QIODevice* file, qsizetype maxLineBytes, QString* error) {
    if (file->peek(4).startsWith("PK\x03\x04"))
        return "[A zip archive: its movies are in the preview.]";
    exchange::LineReader reader(file, maxLineBytes);
    QString shown;
    while (const std::optional<QByteArray> line = reader.next()) {
        shown += exchange::displayLine(*line);
        if (reader.lastLineTerminated()) shown += u'\n';
        if (shown.size() > kShownCharacters) {
            return shown.first(kShownCharacters) +
                   "\n[The rest of the file is not shown here; Import reads all of it.]";
        }
    }
    if (reader.lineTooLong()) shown += "[" + exchange::longLineText(maxLineBytes) + ".]";
    *error = reader.errorString();
    return error->isEmpty() ? shown : QString();
}

QString countsAndProblems(const exchange::FileImport& import, int shown) {
    QString text = import.counts().summary();
    if (!import.problems().isEmpty()) text += "\n" + exchange::shortList(import.problems(), shown);
    return text;
}

}  // namespace

ImportViewController::ImportViewController(Services& services, QWidget* parent)
    : ViewController(parent),
      LoadFileButton(new QPushButton("Load File")),
      ImportButton(new QPushButton("Import")),
      CancelButton(new QPushButton("Cancel")),
      ImportTextView(new QPlainTextEdit),
      PreviewView(new ImportPreviewView),
      ProgressView(new QProgressBar),
      HelpTextView(new QTextEdit),
      services_(services) {
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {LoadFileButton, ImportButton, CancelButton}) {
        button->setMinimumHeight(36);
        button->setAccessibleName(button->text());
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    ProgressView->setTextVisible(false);
    ProgressView->setRange(0, kProgressSteps);
    ProgressView->setAccessibleName("Import Progress");
    layout->addWidget(ProgressView);
    ImportTextView->setReadOnly(true);
    ImportTextView->setLineWrapMode(QPlainTextEdit::NoWrap);
    ImportTextView->setAccessibleName("Loaded File");
    layout->addWidget(ImportTextView, 1);
    layout->addWidget(PreviewView, 2);
    HelpTextView->setReadOnly(true);
    HelpTextView->setMaximumHeight(100);
    HelpTextView->setAccessibleName("Help");
    layout->addWidget(HelpTextView);
    CancelButton->hide();
    ProgressView->hide();
    PreviewView->hide();
    connect(LoadFileButton, &QPushButton::clicked, this, [this] { LoadFile(); });
    connect(ImportButton, &QPushButton::clicked, this, [this] { ImportTextFile(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        CancelButton->setEnabled(false);
    });
    // Deferred: the preview is made anew, and the box that asked with it.
    connect(PreviewView, &ImportPreviewView::readingChanged, this,
            [this] { mainQueue::async([this] { previewFile(); }, this); });
    connect(PreviewView, &ImportPreviewView::columnsChanged, this, [this] {
        mainQueue::async(
            [this] {
                takeChoices();
                previewFile();
            },
            this);
    });
}

ImportViewController::~ImportViewController() = default;

void ImportViewController::viewDidLoad() {
    setTitle("Import Movies");
    appearance::applyButtonLook(LoadFileButton);
    appearance::applyButtonLook(ImportButton);
    appearance::applyButtonLook(CancelButton);
    appearance::applyTextEntryLook(ImportTextView);
    wrongFile = false;
    ImportButton->setEnabled(false);
    HelpTextView->setPlainText(helpText());
    DarkMode = appearance::isDarkAppearance();
    if (DarkMode) {
        appearance::applyDarkTextViewLook(HelpTextView);
        appearance::applyDarkTextViewLook(ImportTextView);
    }
}

void ImportViewController::LoadFile() {
    QPointer<ImportViewController> self(this);
    services_.picker.pick(
        this,
        [self](const QString& path) {
            if (self) self->documentPickerDidPickDocumentAt(path);
        },
        [self] {
            if (self) self->documentPickerWasCancelled();
        });
}

void ImportViewController::documentPickerDidPickDocumentAt(const QString& path) {
    filename = QFileInfo(path).fileName();
    // Picking a pipe or a device is the user's mistake; a file that cannot be read is logged.
    if (const Status source = exchange::checkImportSource(path); !source) {
        present(AlertController::ok("Data Import", source.error));
        return;
    }
    auto file = std::make_unique<QFile>();
    if (const Status opened = exchange::openImportFile(*file, path); !opened) {
        diagnosticLog(opened.error);
        return;
    }
    showLoadedFile(std::move(file), QFileInfo(path).absolutePath());
}

void ImportViewController::showLoadedFile(std::unique_ptr<QFile> file, const QString& folder) {
    QString error;
    const QString shown = shownText(file.get(), maxLineBytes, &error);
    if (!error.isEmpty() || !file->seek(0)) {
        diagnosticLog(error.isEmpty() ? file->errorString() : error);
        return;
    }
    document = std::move(file);
    options_ = {};
    options_.folder = folder;
    options_.failureLog = diagnosticLog;
    options_.maxLineBytes = maxLineBytes;
    ImportTextView->setPlainText(shown);
    ImportButton->setEnabled(true);
    LoadFileButton->setEnabled(false);
    PreviewView->show();
    previewFile();
    present(AlertController::ok("Data Import", "File Loaded and Ready to Import"));
}

void ImportViewController::previewFile() {
    if (!document || import_) return;
    const int run = ++previewRun_;
    preview_.reset();
    PreviewView->applyChoices(options_);
    document->seek(0);
    exchange::ImportOptions dryRun = options_;
    dryRun.dryRun = true;
    preview_ = beginImport(services_.context, document.get(), dryRun);
    const Status& status = preview_->status();
    PreviewView->showPreview(preview_->preview(), status ? QString() : status.error);
    if (!status) return;
    PreviewView->showCounts("A dry run is counting what the import would do...");
    // After the rows are shown.
    exchange::FileImport* counting = preview_.get();
    const auto superseded = [this, run] { return run != previewRun_; };
    mainQueue::async(
        [this, counting, superseded, run] {
            if (superseded()) return;
            runSlices(counting, superseded, [this, run] {
                if (run != previewRun_) return;  // a newer preview took its place
                const Status& counted = preview_->status();
                PreviewView->showCounts(counted ? "A dry run: " + countsAndProblems(*preview_, 3)
                                                : counted.error);
            });
        },
        this);
}

void ImportViewController::takeChoices() {
    PreviewView->applyChoices(options_);
    if (!options_.columnMap.isEmpty())
        rememberColumns(PreviewView->columnTitles(), options_.columnMap);
}

void ImportViewController::ImportTextFile() {
    ImportButton->setEnabled(false);
    LoadFileButton->setEnabled(false);
    setBackButtonShown(false);  // leaving halfway would drop the rest of the file unnoticed
    ImportRecords([this] {
        if (cancelled_) import_->stop();
        reportImport();
    });
}

void ImportViewController::ImportRecords(std::function<void()> done) {
    managedObjectContext = &services_.context;
    ++previewRun_;  // the dry run stops: the import reads the file now
    preview_.reset();
    options_.dryRun = false;
    if (document) {
        takeChoices();  // also those the preview has not counted yet
        document->seek(0);
        import_ = beginImport(*managedObjectContext, document.get(), options_);
    } else {
        input_.open(QIODevice::ReadOnly);  // nothing loaded: the wrong file
        options_.format = exchange::FileFormat::Quillon;
        import_ = exchange::makeImport(*managedObjectContext, &input_, options_);
        (void)import_->begin();  // told by status()
    }
    wrongFile = import_->isWrongFile();
    if (!import_->status()) {
        done();
        return;
    }
    ProgressView->setValue(0);
    ProgressView->show();
    CancelButton->setEnabled(true);
    CancelButton->show();
    // Start from the event loop, so the disabled buttons are drawn before the work begins.
    exchange::FileImport* import = import_.get();
    mainQueue::async(
        [this, import, done = std::move(done)]() mutable {
            runSlices(
                import, [this] { return cancelled_; }, std::move(done));
        },
        this);
}

void ImportViewController::runSlices(exchange::FileImport* import, std::function<bool()> cancelled,
                                     std::function<void()> done) {
    QElapsedTimer slice;
    slice.start();
    while (slice.elapsed() < kSliceMilliseconds) {
        // Checked first: a cancelled preview's import may be gone.
        if (cancelled() || !import->applyNext()) {
            done();
            return;
        }
    }
    if (import == import_.get()) ProgressView->setValue(int(import->progress() * kProgressSteps));
    mainQueue::async(
        [this, import, cancelled = std::move(cancelled), done = std::move(done)]() mutable {
            runSlices(import, std::move(cancelled), std::move(done));
        },
        this);
}

void ImportViewController::setBackButtonShown(bool shown) {
    if (NavigationController* navigation = navigationController()) {
        navigation->backButton()->setVisible(shown);
    }
}

QString ImportViewController::outcomeText() const {
    const Status& status = import_->status();
    if (wrongFile != false) {
        QString text = filename.value_or(QString()) + " Is The Incorrect Import File";
        if (status.error != exchange::MovieImporter::kWrongFileError) text += "\n" + status.error;
        return text;
    }
    if (!status) return status.error;
    if (cancelled_) {
        QString text = "Import Cancelled\nThe movies read before it stopped are in: " +
                       countsAndProblems(*import_, 8);
        if (!import_->backupName().isEmpty())
            text += "\nThe backup made before the import is kept: " + import_->backupName();
        return text;
    }
    return "Data Import Completed\n" + countsAndProblems(*import_, 8);
}

void ImportViewController::reportImport() {
    input_.close();
    document.reset();
    setBackButtonShown(true);
    ProgressView->hide();
    CancelButton->hide();
    auto* alert = new AlertController("Data Import", outcomeText());
    QPointer<ImportViewController> self(this);
    alert->addAction({"OK", AlertController::Style::Default, [self] {
                          if (self) self->unwind(kUnwindToMenu);
                      }});
    present(alert);
}

}  // namespace quillon
