#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <functional>

#include "platform/DataFolders.h"
#include "platform/MailService.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

// The entry's type and permission bits, a symlink's own; 0 when there is none.
unsigned modeAt(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// Gives the entry at `path` that mode, first making a folder there when there is nothing.
void setMode(const QString& path, int mode) {
    QDir().mkdir(path);
    ::chmod(QFile::encodeName(path).constData(), mode);
}

// A root with the runtime, cache and system temporary folders of one test, all pointed at.
struct Folders {
    Folders() {
        for (const char* name : {"cache", "tmp", "elsewhere", "bin"}) QDir().mkdir(path(name));
        setMode(path("runtime"), 0700);
        QDir().mkpath(QFileInfo(cacheFolder()).path());
    }
    QString path(const QString& name) const { return QDir(root.path()).filePath(name); }
    QString runtimeFolder() const { return path("runtime/Quillon"); }
    QString cacheFolder() const {
        return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/tmp";
    }

    QTemporaryDir root;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", path("runtime")}, cache{"XDG_CACHE_HOME", path("cache")},
        temp{"TMPDIR", path("tmp")};
};

TEST(PrivateTemporaryFolder, IsAFolderOfOursWithMode0700NeverOneReachedThroughASymlink) {
    using F = const Folders&;
    const struct {
        const char* planted;
        std::function<void(F)> plant;
        const char* used;  // "runtime", "cache" or "tmp"
    } cases[] = {
        {"nothing", [](F) {}, "runtime"},
        {"our folder left open", [](F f) { setMode(f.runtimeFolder(), 0755); }, "runtime"},
        {"a symlink", [](F f) { QFile::link(f.path("elsewhere"), f.runtimeFolder()); }, "cache"},
        {"a plain file", [](F f) { writeBytes(f.runtimeFolder(), "x"); }, "cache"},
        {"an open runtime folder", [](F f) { setMode(f.path("runtime"), 0777); }, "cache"},
        // Neither folder to be had: a fresh private one in the system temporary folder.
        {"symlinks at both",
         [](F f) {
             for (const QString& at : {f.runtimeFolder(), f.cacheFolder()})
                 QFile::link(f.path("elsewhere"), at);
         },
         "tmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.planted);
        Folders folders;
        c.plant(folders);
        const QString dir = DataFolders::tempDir(), used(c.used);
        const QString expected = used == "runtime" ? folders.runtimeFolder()
                                 : used == "cache" ? folders.cacheFolder()
                                                   : folders.path("tmp/quillon-");
        EXPECT_TRUE(dir.startsWith(expected)) << dir.toStdString();
        EXPECT_EQ(DataFolders::tempDir(), dir) << "the same one for the rest of the process";
        EXPECT_EQ(modeAt(dir), S_IFDIR | 0700);
        EXPECT_TRUE(QDir(folders.path("elsewhere")).isEmpty());
    }
}

TEST(PrivateTemporaryFolder, FilesAreMade0600AndNeverWrittenThroughAPlantedSymlink) {
    for (const bool whole : {false, true}) {
        SCOPED_TRACE(whole ? "writePrivateFile" : "createPrivateFile");
        const auto make = [whole](const QString& dir, const QString& name, const QByteArray& bytes,
                                  QString* error) {
            if (whole)
                return DataFolders::writePrivateFile(dir, name, bytes, error) ==
                       QDir(dir).filePath(name);
            const auto file = DataFolders::createPrivateFile(dir, name, error);
            return file && file->write(bytes) == bytes.size();
        };
        Folders folders;
        const QString dir = DataFolders::tempDir(), path = QDir(dir).filePath("Quillon.csv");
        const QString victim = folders.path("elsewhere/victim");
        writeBytes(victim, "precious");
        ASSERT_TRUE(QFile::link(victim, path));
        QString error;
        // A symlink planted at the name, then an older copy once readable: both are replaced.
        for (const QByteArray bytes : {"[QUILLON]\n", "second"}) {
            ASSERT_TRUE(make(dir, "Quillon.csv", bytes, &error)) << error.toStdString();
            EXPECT_EQ(modeAt(path), S_IFREG | 0600);
            EXPECT_EQ(contents(path), bytes);
            setMode(path, 0644);
        }
        EXPECT_EQ(contents(victim), "precious");

        // Refused, leaving nothing behind: a folder at the name, a name leaving the folder, a
        // folder others may enter, no folder.
        ASSERT_TRUE(QDir(dir).mkdir("taken"));
        error.clear();
        EXPECT_FALSE(make(dir, "taken", "x", &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(make(dir, "../escaped", "x", &error));
        setMode(folders.path("elsewhere"), 0755);
        EXPECT_FALSE(make(folders.path("elsewhere"), "Quillon.csv", "x", &error));
        EXPECT_FALSE(make({}, "Quillon.csv", "x", &error));
        EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList({"Quillon.csv", "taken"}));
        EXPECT_FALSE(QFile::exists(QDir(dir).filePath("../escaped")) ||
                     QFile::exists(folders.path("elsewhere/Quillon.csv")));
    }
}

// Attachments are handed over from a private folder; folders of messages a day old go.
TEST(PrivateTemporaryFolder, DesktopMailHandsItsAttachmentsOverFromAPrivateFolder) {
    Folders folders;
    const QString script = folders.path("bin/xdg-email");  // writes its arguments beside itself
    writeBytes(script, "#!/bin/sh\nfor a; do echo \"$a\"; done > \"$0.arguments\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString dir = DataFolders::tempDir();
    const QString stale = dir + "/mail-stale", recent = dir + "/mail-recent";
    for (const QString& folder : {stale, recent}) QDir().mkdir(folder);
    const timeval twoDaysAgo{::time(nullptr) - 2 * 86400, 0}, times[2] = {twoDaysAgo, twoDaysAgo};
    ::utimes(QFile::encodeName(stale).constData(), times);

    DesktopMailService mail;
    QStringList answers;
    const ProgramDone answered = [&](const ProgramResult& result) { answers << result.reason; };
    ScopedEnv noMailProgram("PATH", "/nonexistent");
    EXPECT_FALSE(mail.canSendMail());
    mail.compose({}, nullptr, answered);
    ScopedEnv withMailProgram("PATH", folders.path("bin"));
    EXPECT_TRUE(mail.canSendMail());
    mail.compose({{}, "A subject", "A body", false, {{"[QUILLON]\n", "csv", "Q.csv"}}}, nullptr,
                 answered);
    QStringList arguments;
    for (int i = 0; i < 200 && arguments.size() < 8; ++i, pumpEvents(10))  // 7 whole lines
        arguments = QString(contents(script + ".arguments")).split('\n');
    ASSERT_GE(arguments.size(), 8);
    EXPECT_EQ(arguments.mid(0, 6),
              QStringList({"--utf8", "--subject", "A subject", "--body", "A body", "--attach"}));
    const QFileInfo attached(arguments[6]);
    EXPECT_TRUE(attached.path().startsWith(dir + "/mail-") && attached.fileName() == "Q.csv");
    EXPECT_EQ(modeAt(attached.path()), S_IFDIR | 0700);
    EXPECT_EQ(modeAt(attached.filePath()), S_IFREG | 0600);
    EXPECT_EQ(contents(attached.filePath()), "[QUILLON]\n");
    for (int i = 0; i < 200 && answers.size() < 2; ++i) pumpEvents(10);
    EXPECT_EQ(answers, QStringList({"xdg-email is not installed", ""}));
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(recent));
}

}  // namespace
}  // namespace quillon::test
