#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidget;

namespace quillon {

class MainWindow;

// "Backups": the copies of the catalogue in Backups/, newest first, with when each was taken,
// its size and its number of movies. Restore puts the chosen one back after asking (the
// catalogue is backed up first); Open Folder shows the folder in the desktop's file manager.
class BackupsDialog : public QDialog {
    Q_OBJECT
public:
    explicit BackupsDialog(MainWindow& window);

    QTreeWidget* list() const { return list_; }
    QPushButton* restoreButton() const { return restore_; }
    QPushButton* openFolderButton() const { return openFolder_; }
    // The backup names, as listed.
    QStringList names() const;
    void reload();

private:
    void askToRestore();
    void restoreChosen(const QString& name);
    void openFolder();
    void updateButtons();

    MainWindow& window_;
    QTreeWidget* list_;
    QPushButton* restore_;
    QPushButton* openFolder_;
};

// Opens it over the window, window-modal; it deletes itself when closed.
void openBackupsDialog(MainWindow& window);

}  // namespace quillon
