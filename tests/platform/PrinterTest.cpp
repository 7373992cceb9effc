#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <csignal>
#include <functional>

#include "platform/Printer.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

// Files may grow only to `bytes` while alive; a write past that fails (EFBIG) as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        const rlimit limited{bytes, previous_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    void (*previousHandler_)(int);
    rlimit previous_;
};

// A job into a file is told as failed when the file could not be written whole, or was no file
// to write; what stood there is kept.
TEST(PrintToFile, AJobThatCouldNotBeWrittenWholeIsToldAndLeavesTheTargetAsItWas) {
    QTextDocument document;
    QString text;
    for (int line = 0; line < 3000; ++line) text += "A line of a long report\n";
    document.setPlainText(text);
    QTemporaryDir dir;
    const QString dataDir = dir.filePath("data");
    ASSERT_TRUE(QDir().mkpath(dataDir));
    ASSERT_TRUE(writeBytes(QDir(dataDir).filePath("Quillon.sqlite"), "the catalogue"));
    const struct {
        const char* name;
        std::function<bool(const QString& at)> plant;  // false: cannot be made here
        bool limited;
        QString told;  // empty: printed
    } cases[] = {
        {"regular file", [](const QString& at) { return writeBytes(at, "earlier"); }, false, {}},
        {"a size limit", [](const QString& at) { return writeBytes(at, "earlier"); }, true,
         "The print job could not be written in full"},
        {"device node like /dev/full",
         [](const QString& at) {
             return ::mknod(QFile::encodeName(at).constData(), S_IFCHR | 0666, makedev(1, 7)) == 0;
         },
         false, "is not a regular file"},
        {"link to the store",
         [&](const QString& at) {
             return QFile::link(QDir(dataDir).filePath("Quillon.sqlite"), at);
         },
         false, "is one of the catalogue's own files"},
    };
    QStringList skipped;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString target = dir.filePath(QString::number(&c - cases) + ".pdf");
        if (!c.plant(target)) {
            skipped << c.name;
            continue;
        }
        struct stat before;
        ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &before), 0);
        const QByteArray earlier = S_ISREG(before.st_mode) ? contents(target) : QByteArray();
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);

        std::optional<FileSizeLimit> limit;
        if (c.limited) limit.emplace(16 * 1024);
        const Status printed = printDocument(printer, document, dataDir);
        limit.reset();

        EXPECT_EQ(printed.ok, c.told.isEmpty()) << printed.error.toStdString();
        EXPECT_TRUE(printed.error.contains(c.told)) << printed.error.toStdString();
        struct stat after;
        ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &after), 0);
        EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        if (!S_ISREG(after.st_mode)) continue;
        const QByteArray now = contents(target);
        if (printed.ok)
            EXPECT_TRUE(now.startsWith("%PDF-") && now.trimmed().endsWith("%%EOF"));
        else
            EXPECT_EQ(now, earlier);
    }
    if (!skipped.isEmpty())
        GTEST_SKIP() << "not run without root: " << skipped.join(", ").toStdString();
}

}  // namespace
}  // namespace quillon::test
