#include "app/BackupsDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "handover/Services.h"
#include "platform/DiagnosticLog.h"
#include "platform/UrlOpener.h"
#include "store/Backups.h"
#include "toolkit/AlertController.h"

namespace quillon {

namespace {

enum Column { TakenColumn, SizeColumn, MoviesColumn };

QString takenText(const backups::BackupInfo& info) {
    return info.taken.isValid() ? QLocale().toString(info.taken, QLocale::ShortFormat) : info.name;
}

QString moviesText(const backups::BackupInfo& info) {
    return info.movies < 0 ? QStringLiteral("unreadable") : QString::number(info.movies);
}

void tell(QWidget* over, const QString& title, const QString& message) {
    AlertController::tell(over, title, message);
}

}  // namespace

BackupsDialog::BackupsDialog(MainWindow& window)
    : QDialog(&window),
      window_(window),
      list_(new QTreeWidget),
      restore_(new QPushButton("Restore...")),
      openFolder_(new QPushButton("Open Folder")) {
    setWindowTitle("Backups");
    auto* column = new QVBoxLayout(this);
    auto* intro =
        new QLabel("Copies of the catalogue, taken before anything replaced many movies at once.");
    intro->setWordWrap(true);
    column->addWidget(intro);
    list_->setHeaderLabels({"Taken", "Size", "Movies"});
    list_->setRootIsDecorated(false);
    list_->setAccessibleName("Backups");
    list_->header()->setSectionResizeMode(TakenColumn, QHeaderView::Stretch);
    column->addWidget(list_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->addButton(restore_, QDialogButtonBox::ActionRole);
    buttons->addButton(openFolder_, QDialogButtonBox::ActionRole);
    restore_->setAutoDefault(false);
    openFolder_->setAutoDefault(false);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(restore_, &QPushButton::clicked, this, &BackupsDialog::askToRestore);
    connect(openFolder_, &QPushButton::clicked, this, &BackupsDialog::openFolder);
    connect(list_, &QTreeWidget::currentItemChanged, this, &BackupsDialog::updateButtons);
    resize(520, 320);
    reload();
}

QStringList BackupsDialog::names() const {
    QStringList names;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        names << list_->topLevelItem(i)->data(TakenColumn, Qt::UserRole).toString();
    return names;
}

void BackupsDialog::reload() {
    list_->clear();
    const QString dataDir = window_.app().dataDir();
    // The window holds the catalogue's lock, so the folder is read directly.
    QStringList found = backups::list(dataDir);
    std::reverse(found.begin(), found.end());  // newest first
    for (const QString& name : found) {
        const backups::BackupInfo info = backups::describe(dataDir, name);
        auto* item = new QTreeWidgetItem(QStringList{
            takenText(info), QLocale().formattedDataSize(info.bytes), moviesText(info)});
        item->setData(TakenColumn, Qt::UserRole, name);
        item->setToolTip(TakenColumn, name);
        item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(MoviesColumn, Qt::AlignRight | Qt::AlignVCenter);
        list_->addTopLevelItem(item);
    }
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    updateButtons();
}

void BackupsDialog::updateButtons() {
    AppDelegate& app = window_.app();
    const bool writable = app.isStoreOpen() && !app.persistentContainer().isReadOnly();
    restore_->setEnabled(writable && list_->currentItem() != nullptr);
    openFolder_->setEnabled(app.isStoreOpen());
}

void BackupsDialog::askToRestore() {
    QTreeWidgetItem* item = list_->currentItem();
    if (!item) return;
    const QString name = item->data(TakenColumn, Qt::UserRole).toString();
    auto* ask = new AlertController(
        "Restore Backup?",
        QStringLiteral("The catalogue is replaced by the backup taken %1 (%2 movies). The "
                       "catalogue as it is now is backed up first.")
            .arg(item->text(TakenColumn), item->text(MoviesColumn)));
    ask->addAction({"Cancel", AlertController::Style::Cancel, {}});
    ask->addAction(
        {"Restore", AlertController::Style::Default, [this, name] { restoreChosen(name); }});
    ask->setParent(this, Qt::Dialog);
    ask->setWindowModality(Qt::WindowModal);
    ask->open();
}

void BackupsDialog::restoreChosen(const QString& name) {
    backups::SafetyCopy safety;
    const Status status = window_.restoreBackup(name, &safety);
    reload();
    if (!status) {
        diagnosticLog("restore: " + status.describe());
        tell(this, "Backup Not Restored", status.error);
        return;
    }
    QString message = QStringLiteral("The backup \"%1\" is the catalogue now.").arg(name);
    if (safety.unrestorable)
        message += QStringLiteral(
                       " The catalogue it replaced could not be read (%1); it was "
                       "copied as it was to \"%2\" in the Backups folder.")
                       .arg(safety.reason, safety.name);
    else if (!safety.name.isEmpty())
        message +=
            QStringLiteral(" The catalogue it replaced was backed up as \"%1\".").arg(safety.name);
    tell(this, "Backup Restored", message);
}

void BackupsDialog::openFolder() {
    AppDelegate& app = window_.app();
    if (!app.isStoreOpen()) return;
    const QString folder = backups::folder(app.dataDir());
    const QString shown = QDir(folder).exists() ? folder : app.dataDir();
    app.services().urls.openUrl(
        QUrl::fromLocalFile(shown), this, [this, shown](const ProgramResult& result) {
            if (result) return;
            diagnosticLog("open folder: " + result.reason);
            tell(this, "Folder Not Opened",
                 QStringLiteral("No program opened \"%1\".").arg(QDir::toNativeSeparators(shown)));
        });
}

void openBackupsDialog(MainWindow& window) {
    auto* dialog = new BackupsDialog(window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}

}  // namespace quillon
