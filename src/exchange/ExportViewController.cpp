#include "exchange/ExportViewController.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "formats/CatalogueExport.h"
#include "formats/DisplayText.h"
#include "formats/ExportFile.h"
#include "formats/ExportFormat.h"
#include "handover/Services.h"
#include "platform/Clock.h"
#include "platform/DataFolders.h"
#include "platform/DiagnosticLog.h"
#include "platform/MailService.h"
#include "platform/ShareSheet.h"
#include "store/CatalogueStore.h"
#include "store/OutputTarget.h"
#include "toolkit/ActivityIndicator.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"
#include "toolkit/MainQueue.h"

namespace quillon {
namespace {

QString helpText() {
    QString text = "Step 1: Create the Export File";
    text += "\n";
    text += "Step 2: Option 1: Click 'Save To Files' button";
    text += "\n";
    text += QString(13, ' ') +
            "Option 2: Click the Email File button to email the file to yourself and then from "
            "your email save the file to your iCloud Drive. There are size limits to email "
            "attachments for most carriers.";
    return text;
}

}  // namespace

ExportViewController::ExportViewController(Services& services, QWidget* parent)
    : ViewController(parent),
      ExportButton(new QPushButton("Export")),
      SaveButton(new QPushButton("Save To Files")),
      EmailButton(new QPushButton("Email File")),
      FormatBox(new QComboBox),
      ExportTextView(new QPlainTextEdit),
      HelpTextView(new QTextEdit),
      ProgressView(new QProgressBar),
      activityIndicator(new ActivityIndicator(ExportTextView)),
      services_(services) {
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {ExportButton, SaveButton, EmailButton}) {
        button->setMinimumHeight(36);
        button->setAccessibleName(button->text());
        buttons->addWidget(button);
    }
    for (const auto format :
         {exchange::FileFormat::Quillon, exchange::FileFormat::Csv, exchange::FileFormat::Tellico})
        FormatBox->addItem(exchange::formatTitle(format), int(format));
    FormatBox->setMinimumHeight(36);
    FormatBox->setAccessibleName("Export Format");
    buttons->addWidget(FormatBox);
    layout->addLayout(buttons);
    ProgressView->setTextVisible(false);
    ProgressView->setAccessibleName("Export Progress");
    layout->addWidget(ProgressView);
    ExportTextView->setReadOnly(true);
    ExportTextView->setLineWrapMode(QPlainTextEdit::NoWrap);
    ExportTextView->setAccessibleName("Export Text");
    layout->addWidget(ExportTextView, 1);
    HelpTextView->setReadOnly(true);
    HelpTextView->setAccessibleName("Help");
    HelpTextView->setMaximumHeight(120);
    layout->addWidget(HelpTextView);
    connect(ExportButton, &QPushButton::clicked, this, [this] { CreateUpdateFile(); });
    connect(SaveButton, &QPushButton::clicked, this, [this] { SaveToFiles(); });
    connect(EmailButton, &QPushButton::clicked, this, [this] { WriteTextFile(); });
}

ExportViewController::~ExportViewController() = default;

void ExportViewController::viewDidLoad() {
    setTitle("Export Movies");
    for (QPushButton* button : {ExportButton, SaveButton, EmailButton}) {
        appearance::applyButtonLook(button);
    }
    SaveButton->setEnabled(false);
    EmailButton->setEnabled(false);
    appearance::applyTextEntryLook(ExportTextView);
    DarkMode = appearance::isDarkAppearance();
    if (DarkMode) {
        appearance::applyDarkTextViewLook(HelpTextView);
        appearance::applyDarkTextViewLook(ExportTextView);
    }
    HelpTextView->setPlainText(helpText());
}

QString ExportViewController::exportFilePath(exchange::FileFormat format) {
    return QDir(DataFolders::tempDir()).filePath(exchange::CatalogueExport::fileName(format));
}

exchange::FileFormat ExportViewController::exportFormat() const {
    return exchange::FileFormat(FormatBox->currentData().toInt());
}

Status ExportViewController::writeExportFile(const QByteArray& bytes) {
    const QString path = exportFilePath(exportFormat());
    if (Status target = checkOutputTarget(path, services_.context.dataDir()); !target)
        return target;
    QString error;
    if (DataFolders::writePrivateFile(DataFolders::tempDir(),
                                      exchange::CatalogueExport::fileName(exportFormat()), bytes,
                                      &error)
            .isEmpty())
        return Status::failure(Status::Io, error);
    return Status::success();
}

void ExportViewController::CreateUpdateFile() {
    activityIndicator->startAnimating();
    ExportButton->setEnabled(false);
    FormatBox->setEnabled(false);
    ExportTextView->setPlainText("");
    BuildDataString();
}

void ExportViewController::BuildDataString() {
    managedObjectContext = &services_.context;
    ExportTextView->setPlainText("");
    ProgressView->setValue(0);
    DataString = QByteArray();
    output_.setBuffer(&*DataString);
    output_.open(QIODevice::WriteOnly);
    exchange::ExportOptions options;
    options.keepsDisplayText = true;
    job_ =
        exchange::CatalogueExport::make(exportFormat(), *managedObjectContext, &output_, options);
    connect(job_.get(), &exchange::CatalogueExport::progressed, this, [this](int done, int total) {
        ProgressView->setRange(0, total);
        ProgressView->setValue(done);
    });
    connect(job_.get(), &exchange::CatalogueExport::finished, this, [this] { exportFinished(); });
    job_->start();
    theEntryList = job_->entries();
    ProgressView->setRange(0, qMax(1, job_->total()));
}

void ExportViewController::exportFinished() {
    output_.close();
    const Status status = job_->status();
    const QStringList problems = job_->problems();
    ExportTextView->setPlainText(job_->displayText());
    ProgressView->setValue(ProgressView->maximum());
    if (!status) {
        diagnosticLog(status.describe());
        activityIndicator->stopAnimating();
        presentAlert("Data Export", status.error);
        return;
    }
    EmailButton->setEnabled(true);
    SaveButton->setEnabled(true);
    services_.clock.runAfter(
        0.001, [this] { activityIndicator->stopAnimating(); }, this);
    QString message = "Process Complete - File Ready to Save to Files or Email";
    if (!job_->leftOut().isEmpty()) message += "\n" + job_->leftOut();
    if (!problems.isEmpty()) message += "\n" + exchange::shortList(problems);
    services_.clock.runAfter(
        1.0, [this, message] { presentAlert("Data Export", message); }, this);
}

void ExportViewController::SaveToFiles() {
    const QString path = exportFilePath(exportFormat());
    diagnosticLog(path);
    const Status written = writeExportFile(DataString.value_or(QByteArray()));
    if (!written) {
        diagnosticLog(written.describe());
        presentAlert("Data Export", written.error);
        return;
    }
    ShareRequest request;
    request.files = {path};
    request.excluded = {
        ShareActivity::AirDrop,     ShareActivity::AddToReadingList, ShareActivity::Mail,
        ShareActivity::Message,     ShareActivity::PostToFacebook,   ShareActivity::PostToTwitter,
        ShareActivity::MarkupAsPDF, ShareActivity::CopyToPasteboard, ShareActivity::Print};
    services_.share.present(request, this);
}

void ExportViewController::WriteTextFile() {
    const QString path = exportFilePath(exportFormat());
    if (DataString) {
        // A failed write is told, never covered by attaching an older file.
        if (const Status written = writeExportFile(*DataString); !written) {
            diagnosticLog(written.describe());
            presentAlert("Sending Email", written.error);
            return;
        }
    }
    Status read;
    const std::optional<QByteArray> file = exchange::readPrivateFile(path, &read);
    if (!file) {
        diagnosticLog(read.describe());
        presentAlert("Sending Email", read.error);
        return;
    }
    const QByteArray& bytes = *file;
    if (bytes != DataString) ExportTextView->setPlainText(exchange::displayText(bytes));
    MailService& mail = services_.mail;
    if (!mail.canSendMail()) {
        presentAlert("Sending Email", "Email not Setup or Unavailable");
        return;
    }
    MailMessage message;
    message.subject = "Quillon Update Text File";
    message.body = "Attachment: Quillon Text File";
    message.attachments.append({bytes, exchange::CatalogueExport::mimeType(exportFormat()),
                                exchange::CatalogueExport::fileName(exportFormat())});
    mail.compose(message, this, [this](const ProgramResult& result) {
        if (result) return;
        diagnosticLog("No mail program took the export file: " + result.reason);
        presentAlert("Sending Email", "Email not Setup or Unavailable");
    });
}

void ExportViewController::presentAlert(const QString& title, const QString& message) {
    present(AlertController::ok(title, message));
}

}  // namespace quillon
