#include "app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/BuildInfo.h"

namespace quillon {

namespace {
QLabel* plainLabel(const QString& text, const QString& accessibleName) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setAccessibleName(accessibleName);
    return label;
}
}  // namespace

AboutDialog::AboutDialog(const QString& dataDir, QWidget* parent)
    : QDialog(parent),
      version_(plainLabel(QStringLiteral("Version %1").arg(QString::fromUtf8(build::kVersion)),
                          "Version")),
      licence_(plainLabel(QStringLiteral("Free software under the GNU General Public License, "
                                         "version 3 or later (%1).")
                              .arg(QLatin1String(kLicence)),
                          "Licence")),
      dataFolder_(
          plainLabel(QStringLiteral("Catalogue folder: %1").arg(QDir::toNativeSeparators(dataDir)),
                     "Catalogue folder")) {
    setWindowTitle("About Quillon");
    auto* column = new QVBoxLayout(this);
    auto* name = new QLabel("Quillon\nMy Movie Catalogue");
    QFont font = name->font();
    font.setPointSize(font.pointSize() + 4);
    font.setBold(true);
    name->setFont(font);
    column->addWidget(name);
    column->addWidget(version_);
    column->addWidget(licence_);
    column->addWidget(dataFolder_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    setMinimumWidth(360);
}

QString AboutDialog::versionText() const {
    return version_->text();
}

QString AboutDialog::licenceText() const {
    return licence_->text();
}

QString AboutDialog::dataFolderText() const {
    return dataFolder_->text();
}

void openAboutDialog(QWidget* window, const QString& dataDir) {
    auto* about = new AboutDialog(dataDir, window);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowModality(Qt::WindowModal);
    about->open();
}

}  // namespace quillon
