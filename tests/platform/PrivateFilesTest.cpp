#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

#include "platform/DataFolders.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

struct Entry {
    bool exists = false, symlink = false, folder = false;
    int mode = 0;
};

Entry entryAt(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {true, S_ISLNK(st.st_mode), S_ISDIR(st.st_mode), int(st.st_mode & 07777)};
}

void chmodTo(const QString& path, int mode) {
    ::chmod(QFile::encodeName(path).constData(), mode);
}

// A root with the runtime, cache and system temporary folders of one test, all pointed at.
class Folders {
public:
    Folders()
        : runtime_("XDG_RUNTIME_DIR", path("runtime")),
          cache_("XDG_CACHE_HOME", path("cache")),
          temp_("TMPDIR", path("tmp")) {
        for (const char* name : {"runtime", "cache", "tmp", "elsewhere"})
            QDir(root.path()).mkdir(name);
        chmodTo(path("runtime"), 0700);
    }
    QString path(const QString& name) const { return QDir(root.path()).filePath(name); }
    QString runtimeFolder() const { return path("runtime/Quillon"); }
    QString cacheFolder() const {
        return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/tmp";
    }

    QTemporaryDir root;

private:
    ScopedEnv runtime_, cache_, temp_;
};

TEST(PrivateTemporaryFolder, IsAFolderOfOursWithMode0700NeverOneReachedThroughASymlink) {
    const struct {
        const char* planted;
        std::function<void(const Folders&)> plant;
        const char* used;  // "runtime", "cache" or "tmp"
    } cases[] = {
        {"nothing", [](const Folders&) {}, "runtime"},
        {"our folder left open",
         [](const Folders& f) {
             QDir().mkdir(f.runtimeFolder());
             chmodTo(f.runtimeFolder(), 0755);
         },
         "runtime"},
        {"a symlink", [](const Folders& f) { QFile::link(f.path("elsewhere"), f.runtimeFolder()); },
         "cache"},
        {"a plain file", [](const Folders& f) { writeBytes(f.runtimeFolder(), "x"); }, "cache"},
        {"an open runtime folder", [](const Folders& f) { chmodTo(f.path("runtime"), 0777); },
         "cache"},
        // Neither folder to be had: a fresh private one in the system temporary folder.
        {"symlinks at both",
         [](const Folders& f) {
             QFile::link(f.path("elsewhere"), f.runtimeFolder());
             QDir().mkpath(QFileInfo(f.cacheFolder()).path());
             QFile::link(f.path("elsewhere"), f.cacheFolder());
         },
         "tmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.planted);
        Folders folders;
        c.plant(folders);
        const QString dir = DataFolders::tempDir();
        if (c.used == std::string("tmp")) {
            EXPECT_EQ(QFileInfo(dir).path(), folders.path("tmp"));
            EXPECT_TRUE(
                QFileInfo(dir).fileName().startsWith(QString("quillon-%1-").arg(::geteuid())));
            EXPECT_EQ(DataFolders::tempDir(), dir) << "the same one for the rest of the process";
        } else {
            EXPECT_EQ(dir, c.used == std::string("runtime") ? folders.runtimeFolder()
                                                            : folders.cacheFolder());
        }
        const Entry entry = entryAt(dir);
        EXPECT_TRUE(entry.folder && !entry.symlink);
        EXPECT_EQ(entry.mode, 0700);
        EXPECT_TRUE(QDir(folders.path("elsewhere")).isEmpty());
    }
}

TEST(PrivateTemporaryFolder, FilesAreMade0600AndNeverWrittenThroughAPlantedSymlink) {
    using Make = std::function<bool(const QString&, const QString&, const QByteArray&, QString*)>;
    const std::pair<const char*, Make> ways[] = {
        {"createPrivateFile",
         [](auto& dir, auto& name, auto& bytes, QString* error) {
             auto file = DataFolders::createPrivateFile(dir, name, error);
             return file && file->write(bytes) == bytes.size();
         }},
        {"writePrivateFile",
         [](auto& dir, auto& name, auto& bytes, QString* error) {
             return DataFolders::writePrivateFile(dir, name, bytes, error) ==
                    QDir(dir).filePath(name);
         }},
    };
    for (const auto& [way, make] : ways) {
        SCOPED_TRACE(way);
        Folders folders;
        const QString dir = DataFolders::tempDir();
        const QString path = QDir(dir).filePath("Quillon.csv");
        const QString victim = folders.path("elsewhere/victim");
        writeBytes(victim, "precious");
        QString error;

        ASSERT_TRUE(QFile::link(victim, path));
        ASSERT_TRUE(make(dir, "Quillon.csv", "[QUILLON]\n", &error)) << error.toStdString();
        EXPECT_EQ(contents(victim), "precious");
        Entry made = entryAt(path);
        EXPECT_TRUE(made.exists && !made.symlink && !made.folder);
        EXPECT_EQ(made.mode, 0600);
        EXPECT_EQ(contents(path), "[QUILLON]\n");

        chmodTo(path, 0644);  // an older copy, once readable
        ASSERT_TRUE(make(dir, "Quillon.csv", "second", &error));
        EXPECT_EQ(entryAt(path).mode, 0600);
        EXPECT_EQ(contents(path), "second");

        // Refused: a folder at the name, a name leaving the folder, a folder others may enter.
        ASSERT_TRUE(QDir(dir).mkdir("taken"));
        error.clear();
        EXPECT_FALSE(make(dir, "taken", "x", &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList({"Quillon.csv", "taken"}));
        EXPECT_FALSE(make(dir, "../escaped", "x", &error));
        EXPECT_FALSE(QFile::exists(QDir(dir).filePath("../escaped")));
        const QString open = folders.path("elsewhere");
        chmodTo(open, 0755);
        EXPECT_FALSE(make(open, "Quillon.csv", "x", &error));
        EXPECT_FALSE(make({}, "Quillon.csv", "x", &error));
        EXPECT_FALSE(QFile::exists(QDir(open).filePath("Quillon.csv")));
    }
}

TEST(PrivateTemporaryFolder, DesktopMailHandsItsAttachmentsOverFromAPrivateFolder) {
    Folders folders;
    QTemporaryDir bin;
    const QString record = bin.filePath("arguments");
    const QString script = bin.filePath("xdg-email");
    writeBytes(script,
               ("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + record + "'\n").toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A folder of a message sent two days ago goes; one of a message just sent stays.
    const QString dir = DataFolders::tempDir();
    const QString stale = dir + "/mail-stale", recent = dir + "/mail-recent";
    QDir().mkdir(stale);
    QDir().mkdir(recent);
    const timeval twoDaysAgo{::time(nullptr) - 2 * 86400, 0}, times[2] = {twoDaysAgo, twoDaysAgo};
    ::utimes(QFile::encodeName(stale).constData(), times);

    DesktopMailService mail;
    {
        ScopedEnv path("PATH", "/nonexistent");
        EXPECT_FALSE(mail.canSendMail());
        EXPECT_FALSE(mail.compose({}));
    }
    MailMessage message;
    message.subject = "Quillon Update Text File";
    message.body = "Attachment: Quillon Text File";
    message.attachments = {{"[QUILLON]\n", "csv", "Quillon.csv"}};
    {
        ScopedEnv path("PATH", bin.path());
        EXPECT_TRUE(mail.canSendMail());
        EXPECT_TRUE(mail.compose(message));
    }

    QStringList arguments;
    for (int i = 0; i < 200 && arguments.size() < 7; ++i, pumpEvents(10))
        arguments = QString(contents(record)).split('\n');
    ASSERT_GE(arguments.size(), 7);
    EXPECT_EQ(arguments.mid(0, 6),
              QStringList({"--utf8", "--subject", "Quillon Update Text File", "--body",
                           "Attachment: Quillon Text File", "--attach"}));
    const QFileInfo attached(arguments[6]);
    EXPECT_EQ(attached.fileName(), "Quillon.csv");
    EXPECT_EQ(QFileInfo(attached.path()).path(), dir);
    EXPECT_TRUE(QFileInfo(attached.path()).fileName().startsWith("mail-"));
    EXPECT_EQ(entryAt(attached.path()).mode, 0700);
    EXPECT_EQ(entryAt(attached.filePath()).mode, 0600);
    EXPECT_EQ(contents(attached.filePath()), "[QUILLON]\n");
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(recent));
}

}  // namespace
}  // namespace quillon::test
