#pragma once

#include <QDialog>

class QLabel;

namespace quillon {

inline constexpr char kLicence[] = "GPL-3.0-or-later";

// "About Quillon": the version, the licence and the data folder in use.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(const QString& dataDir, QWidget* parent = nullptr);
    QString versionText() const;
    QString licenceText() const;
    QString dataFolderText() const;

private:
    QLabel* version_;
    QLabel* licence_;
    QLabel* dataFolder_;
};

// Opens it over the window, window-modal; it deletes itself when closed.
void openAboutDialog(QWidget* window, const QString& dataDir);

}  // namespace quillon
