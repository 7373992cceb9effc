#include "exchange/ImportViewController.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

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
// About ten thousand movie lines: enough to see what the file is, and the view stays quick.
constexpr qsizetype kShownCharacters = 1 << 20;

QString helpText() {
    QString text = "YOU CAN ONLY IMPORT THE FILE CREATED BY THIS APP.";
    text += "\n";
    text += "1: Select the file you saved to your iCloud drive";
    text += "\n";
    text += "2: Import the file into your device";
    return text;
}

// The beginning of the file as the export screen shows an export text, one line at a time, so a
// large file is never held whole. Empty with `error` set when the file cannot be read.
QString shownText(QIODevice* file, qsizetype maxLineBytes, QString* error) {
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

}  // namespace

ImportViewController::ImportViewController(Services& services, QWidget* parent)
    : ViewController(parent),
      LoadFileButton(new QPushButton("Load File")),
      ImportButton(new QPushButton("Import")),
      ImportTextView(new QPlainTextEdit),
      HelpTextView(new QTextEdit),
      services_(services) {
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {LoadFileButton, ImportButton}) {
        button->setMinimumHeight(36);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    ImportTextView->setReadOnly(true);
    ImportTextView->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(ImportTextView, 1);
    HelpTextView->setReadOnly(true);
    HelpTextView->setMaximumHeight(100);
    layout->addWidget(HelpTextView);
    connect(LoadFileButton, &QPushButton::clicked, this, [this] { LoadFile(); });
    connect(ImportButton, &QPushButton::clicked, this, [this] { ImportTextFile(); });
}

ImportViewController::~ImportViewController() = default;

void ImportViewController::viewDidLoad() {
    setTitle("Import Movies");
    appearance::applyButtonLook(LoadFileButton);
    appearance::applyButtonLook(ImportButton);
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
    showLoadedFile(std::move(file));
}

void ImportViewController::showLoadedFile(std::unique_ptr<QFile> file) {
    QString error;
    const QString shown = shownText(file.get(), maxLineBytes, &error);
    if (!error.isEmpty() || !file->seek(0)) {
        diagnosticLog(error.isEmpty() ? file->errorString() : error);
        return;
    }
    document = std::move(file);
    ImportTextView->setPlainText(shown);
    ImportButton->setEnabled(true);
    LoadFileButton->setEnabled(false);
    present(AlertController::ok("Data Import", "File Loaded and Ready to Import"));
}

void ImportViewController::ImportTextFile() {
    ImportButton->setEnabled(false);
    LoadFileButton->setEnabled(false);
    setBackButtonShown(false);  // leaving halfway would drop the rest of the file unnoticed
    ImportRecords([this] { reportImport(); });
}

void ImportViewController::ImportRecords(std::function<void()> done) {
    managedObjectContext = &services_.context;
    QIODevice* input = document.get();
    if (!input) {
        input_.open(QIODevice::ReadOnly);  // nothing loaded: the wrong file
        input = &input_;
    }
    importer_ = std::make_unique<exchange::MovieImporter>(*managedObjectContext, input);
    importer_->setFailureLog(diagnosticLog);
    importer_->setMaxLineBytes(maxLineBytes);
    wrongFile = exchange::MovieImporter::isWrongFile(importer_->begin());
    if (!importer_->status()) {
        done();
        return;
    }
    // Start from the event loop, so the disabled buttons are drawn before the work begins.
    mainQueue::async([this, done = std::move(done)]() mutable { importSlice(std::move(done)); },
                     this);
}

void ImportViewController::importSlice(std::function<void()> done) {
    QElapsedTimer slice;
    slice.start();
    while (slice.elapsed() < kSliceMilliseconds) {
        if (!importer_->applyNextLine()) {
            done();
            return;
        }
    }
    mainQueue::async([this, done = std::move(done)]() mutable { importSlice(std::move(done)); },
                     this);
}

void ImportViewController::setBackButtonShown(bool shown) {
    if (NavigationController* navigation = navigationController()) {
        navigation->backButton()->setVisible(shown);
    }
}

void ImportViewController::reportImport() {
    input_.close();
    document.reset();
    setBackButtonShown(true);
    QString message;
    if (wrongFile == false && !importer_->status()) {
        message = importer_->status().error;
    } else if (wrongFile == false) {
        message = "Data Import Completed\n" + importer_->counts().summary();
        if (!importer_->problems().isEmpty())
            message += "\n" + exchange::shortList(importer_->problems());
    } else {
        message = filename.value_or(QString()) + " Is The Incorrect Import File";
    }
    auto* alert = new AlertController("Data Import", message);
    QPointer<ImportViewController> self(this);
    alert->addAction({"OK", AlertController::Style::Default, [self] {
                          if (self) self->unwind(kUnwindToMenu);
                      }});
    present(alert);
}

}  // namespace quillon
