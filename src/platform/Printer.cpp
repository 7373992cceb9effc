#include "platform/Printer.h"

#include <sys/statvfs.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/DataFolders.h"
#include "store/OutputTarget.h"

namespace quillon {
namespace {

// A PDF written to its end: its last lines give the offset of the cross-reference table, which
// must be there, then "%%EOF".
bool isWholePdf(const QByteArray& pdf) {
    const QByteArray tail = pdf.right(64).trimmed();
    const qsizetype mark = tail.lastIndexOf("startxref");
    if (!tail.endsWith("%%EOF") || mark < 0) return false;
    const qsizetype from = mark + qsizetype(sizeof("startxref")) - 1;
    bool ok = false;
    const qint64 offset = tail.mid(from, tail.size() - 5 - from).trimmed().toLongLong(&ok);
    return ok && offset >= 0 && pdf.mid(offset, 4) == "xref";
}

QString cutShort(const QString& folder) {
    QString text = QStringLiteral("The print job could not be written in full");
    struct statvfs disk;
    if (::statvfs(QFile::encodeName(folder).constData(), &disk) == 0 && disk.f_bavail == 0)
        text += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(ENOSPC));
    return text;
}

Status printThroughFile(QPrinter& printer, const QTextDocument& document, const QString& target,
                        const QString& dataDir) {
    const QString folder = DataFolders::tempDir();
    const QString name = QStringLiteral("Print %1.pdf").arg(QCoreApplication::applicationPid());
    QString error;
    std::unique_ptr<QFile> scratch = DataFolders::createPrivateFile(folder, name, &error);
    if (!scratch) return Status::failure(Status::Io, error);
    scratch->close();
    const QString scratchPath = QDir(folder).filePath(name);
    printer.setOutputFileName(scratchPath);
    document.print(&printer);
    printer.setOutputFileName(target);
    QFile printed(scratchPath);
    QByteArray pdf;
    if (printed.open(QIODevice::ReadOnly)) pdf = printed.readAll();
    printed.remove();
    if (!isWholePdf(pdf)) return Status::failure(Status::Io, cutShort(folder));
    return writeOutputFile(target, dataDir, pdf);
}

}  // namespace

Status printDocument(QPrinter& printer, const QTextDocument& document, const QString& dataDir) {
    const QString target = printer.outputFileName();
    if (!target.isEmpty()) {
        // Before anything is printed: a pipe at the target would never be read.
        if (Status checked = checkOutputTarget(target, dataDir); !checked) return checked;
        return printThroughFile(printer, document, target, dataDir);
    }
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error)
        return Status::failure(Status::Io, QStringLiteral("The printer reported an error."));
    return Status::success();
}

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
        const Status printed = printDocument(*printer, *copy, DataFolders::dataDir());
        done(printed.ok, printed.error);
    });
    dialog->open();
}

}  // namespace quillon
