#include "platform/Printer.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <memory>

namespace quillon {
namespace {

// QTextDocument::print says nothing when the output file cannot be opened; try it first, without
// truncating what is there.
QString outputFileProblem(const QPrinter& printer) {
    const QString path = printer.outputFileName();
    if (path.isEmpty()) return {};
    const bool existed = QFile::exists(path);
    QFile probe(path);
    if (!probe.open(QIODevice::Append))
        return QStringLiteral("%1: %2").arg(path, probe.errorString());
    probe.close();
    if (!existed) probe.remove();
    return {};
}

}  // namespace

void DesktopPrinter::print(QWidget* parent, const QTextDocument& document,
                           std::function<void(bool, QString)> done) {
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    std::shared_ptr<QTextDocument> copy(document.clone());
    auto* dialog = new QPrintDialog(printer.get(), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Print"));
    QObject::connect(dialog, &QDialog::finished, dialog, [printer, copy, done](int result) {
        if (result != QDialog::Accepted) {
            done(false, QString());
            return;
        }
        if (const QString problem = outputFileProblem(*printer); !problem.isEmpty()) {
            done(false, problem);
            return;
        }
        copy->print(printer.get());
        if (printer->printerState() == QPrinter::Error) {
            done(false, QStringLiteral("The printer reported an error."));
            return;
        }
        done(true, QString());
    });
    dialog->open();
}

}  // namespace quillon
