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

#include "exchange/DisplayText.h"
#include "exchange/MovieImporter.h"
#include "platform/DiagnosticLog.h"
#include "platform/DocumentPicker.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"
#include "toolkit/MainQueue.h"
#include "toolkit/NavigationController.h"
#include "toolkit/Services.h"

namespace quillon {
namespace {

constexpr int kSliceMilliseconds = 40;

QString helpText() {
    QString text = "YOU CAN ONLY IMPORT THE FILE CREATED BY THIS APP.";
    text += "\n";
    text += "1: Select the file you saved to your iCloud drive";
    text += "\n";
    text += "2: Import the file into your device";
    return text;
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        diagnosticLog(file.errorString());
        return;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        diagnosticLog(file.errorString());
        return;
    }
    document = std::move(bytes);
    ImportTextView->setPlainText(exchange::displayText(*document));
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
    if (!document) document = QByteArray();
    input_.setBuffer(&*document);
    input_.open(QIODevice::ReadOnly);
    importer_ = std::make_unique<exchange::MovieImporter>(*managedObjectContext, &input_);
    importer_->setFailureLog(diagnosticLog);
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
                          if (self) self->unwind("unwindToMenu");
                      }});
    present(alert);
}

}  // namespace quillon
