// Every file the program writes, against every kind of target: what must not be written over is
// left as it was, and what goes wrong is told with its cause.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QImage>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "app/CommandLine.h"
#include "exchange/ExportViewController.h"
#include "groups/BreakdownReport.h"
#include "platform/PhotoLibrary.h"
#include "store/Backups.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"

namespace quillon::test {
namespace {

QString cause(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// Made for each case: a catalogue with one drama, and a scratch folder that also holds the
// private temporary folder.
struct Rig {
    Rig() {
        auto movie = Movies::insertInto(app.context());
        movie->setName("Heat");
        movie->setText(Attribute::genre, "Drama");
        EXPECT_TRUE(app.context().save().ok);
        QDir().mkpath(path("out"));
    }
    QString path(const QString& name) const { return QDir(scratch.path()).filePath(name); }
    QString store() const { return QDir(app.dataDir()).filePath(CatalogueStore::kFileName); }

    AppHarness app;
    QTemporaryDir scratch;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", scratch.path()};
};

// What a writer made of its target: whether it says it wrote, and what it said.
struct Outcome {
    bool written;
    QString message;
};

// Runs a command in this process, its output and errors caught; the errors are its message.
Outcome runQuillon(AppHarness& app, const QStringList& arguments) {
    QTemporaryDir dir;
    const int streams[] = {STDOUT_FILENO, STDERR_FILENO};
    const QString paths[] = {dir.filePath("out"), dir.filePath("err")};
    int saved[2];
    for (int i : {0, 1}) {
        std::fflush(i ? stderr : stdout);
        saved[i] = ::dup(streams[i]);
        const int file = ::open(encoded(paths[i]).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(file, streams[i]);
        ::close(file);
    }
    const int status = runCommand(parseCommandLine(QStringList{"quillon"} + arguments), app.app());
    for (int i : {0, 1}) {
        std::fflush(i ? stderr : stdout);
        ::dup2(saved[i], streams[i]);
        ::close(saved[i]);
    }
    return {status == 0, QString::fromUtf8(contents(paths[1]))};
}

// How a writer treats what stands at its target.
enum class Policy {
    Follows,   // writes through a link to a regular file
    Private,   // its own file in the private folder: a link there is replaced, never followed
    NewNames,  // never replaces anything: a name in use is passed over for the next one
};

const QDateTime kTaken(QDate(2026, 3, 2), QTime(9, 0));

struct Writer {
    const char* name;
    Policy policy;
    // Where it writes; for the writers the user tells where, a file in a folder of the scratch.
    std::function<QString(Rig&)> target;
    std::function<Outcome(Rig&, const QString& target)> write;
};

const Writer kWriters[] = {
    {"report command", Policy::Follows, [](Rig& rig) { return rig.path("out/report.pdf"); },
     [](Rig& rig, const QString& target) {
         return runQuillon(rig.app, {"report", "genre", "Drama", target});
     }},
    {"report screen", Policy::Follows,
     [](Rig&) { return QDir(DataFolders::documentsDir()).filePath("MoviesFilteredByGenre.pdf"); },
     [](Rig& rig, const QString&) {
         QWidget anchor;
         anchor.show();
         shareBreakdownReport(GroupKind::Genre, rig.app.context().fetch<Movies>(),
                              rig.app.services(), &anchor);
         const QString alert = answerAlert();
         return Outcome{alert.isEmpty() && rig.app.devices().share.requests.size() == 1, alert};
     }},
    {"export command", Policy::Follows, [](Rig& rig) { return rig.path("out/Quillon.csv"); },
     [](Rig& rig, const QString& target) {
         return runQuillon(rig.app, {"export", target});
     }},
    {"export screen", Policy::Private, [](Rig&) { return ExportViewController::exportFilePath(); },
     [](Rig& rig, const QString&) {
         ExportViewController screen(rig.app.services());
         screen.viewDidLoad();
         screen.show();
         screen.DataString = "[QUILLON]\n";
         screen.SaveToFiles();
         const QString alert = answerAlert();
         return Outcome{alert.isEmpty() && rig.app.devices().share.requests.size() == 1, alert};
     }},
    {"share sheet save", Policy::Follows, [](Rig& rig) { return rig.path("out/Copy.csv"); },
     [](Rig& rig, const QString& target) {
         const QString source = rig.path("Quillon.csv");
         EXPECT_TRUE(writeBytes(source, "[QUILLON]\n"));
         RecordingMail mail;
         ScriptedHandoff handoff;
         handoff.savePath = target;
         QWidget anchor;
         anchor.show();
         DesktopShareSheet(mail, handoff, AlertController::tell)
             .perform(ShareActivity::SaveToFiles, ShareRequest{{source}, {}, {}, {}}, &anchor);
         const QString alert = answerAlert();
         return Outcome{alert.startsWith("File Saved / "), alert};
     }},
    {"screen picture", Policy::NewNames,
     [](Rig& rig) { return rig.path("Pictures/Quillon/Quillon 2026-03-02 09.00.00.png"); },
     [](Rig&, const QString& target) {
         DesktopPhotoLibrary library(QFileInfo(target).path(), [] { return kTaken; });
         QImage picture(8, 8, QImage::Format_RGB32);
         picture.fill(Qt::red);
         QString error;
         const QString added = library.addPicture(picture, &error);
         EXPECT_NE(added, target) << "never over what stands at a name";
         return Outcome{!added.isEmpty(), error};
     }},
};

// Mounts made by this program stay in a mount namespace of its own, taken before any thread
// starts: one killed half way leaves nothing mounted on the machine.
const bool kPrivateMounts = [] {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}();

// A small file system over a folder while alive (root only).
class Mount {
public:
    explicit Mount(const QString& folder)
        : folder_(encoded(folder)),
          mounted_(kPrivateMounts &&
                   ::mount("tmpfs", folder_.constData(), "tmpfs", 0, kOptions) == 0) {}
    ~Mount() {
        if (mounted_) ::umount2(folder_.constData(), MNT_DETACH);
    }
    explicit operator bool() const { return mounted_; }
    bool makeReadOnly() {
        return ::mount("tmpfs", folder_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, kOptions) ==
               0;
    }
    // Fills the file system: afterwards not one more byte can be written.
    void fill() {
        const int fd = ::open((folder_ + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
        const QByteArray chunk(4096, 'f');
        while (::write(fd, chunk.constData(), size_t(chunk.size())) > 0) {
        }
        while (::write(fd, chunk.constData(), 1) > 0) {
        }
        ::close(fd);
    }

private:
    static constexpr const char* kOptions = "size=1m,mode=0700";
    QByteArray folder_;
    bool mounted_;
};

// What a target is: its type and inode, and its bytes or entries.
struct Snapshot {
    mode_t type = 0;
    ino_t inode = 0;
    QByteArray bytes;
    QStringList entries;
    bool operator==(const Snapshot&) const = default;
};

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System);
}

Snapshot snapshot(const QString& path) {
    Snapshot taken;
    struct stat st;
    if (::lstat(encoded(path).constData(), &st) != 0) return taken;
    taken.type = st.st_mode & S_IFMT;
    taken.inode = st.st_ino;
    if (S_ISREG(st.st_mode)) taken.bytes = contents(path);
    if (S_ISDIR(st.st_mode)) taken.entries = entriesOf(path);
    return taken;
}

// A kind of target, made at `at`: the path the writer is given (`chosen` when the user tells
// where; else it must stand at `at`) and the victim that must stay as it was unless the writer
// may write there.
struct Planted {
    QString target;
    QString victim;
    QString skipped;  // why this case cannot run here
    std::shared_ptr<Mount> mount;
};

struct Kind {
    const char* name;
    QString cause;      // part of the refusal; empty: a target the writers write
    bool atTheFolder;   // the folder is the trouble, not what stands at the name
    bool followedLink;  // the victim is reached through a link at the target
    std::function<Planted(Rig&, const QString& at, bool chosen)> plant;
};

Planted plain(const QString& at) {
    return {at, at, {}, {}};
}

bool makeFile(const QString& path) {
    return writeBytes(path, "earlier");
}

// The store's own file `file`: given itself when the user tells where, else reached by a
// second name (a hard link) at the writer's own target.
Planted storeFile(const QString& file, const QString& at, bool chosen) {
    EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    if (chosen) return {file, file, {}, {}};
    EXPECT_EQ(::link(encoded(file).constData(), encoded(at).constData()), 0)
        << cause(errno).toStdString();
    return {at, file, {}, {}};
}

Planted onMountedFolder(const QString& at, bool readOnly) {
    if (::geteuid() != 0) return {at, at, "a file system of its own needs root", {}};
    if (!kPrivateMounts) return {at, at, "no mount namespace of its own could be had", {}};
    auto mount = std::make_shared<Mount>(QFileInfo(at).path());
    if (!*mount) return {at, at, "tmpfs cannot be mounted here: " + cause(errno), {}};
    makeFile(at);
    if (readOnly) {
        EXPECT_TRUE(mount->makeReadOnly()) << cause(errno).toStdString();
    } else {
        mount->fill();
    }
    return {at, at, {}, mount};
}

const QString kNotRegular = "is not a regular file (a device, a pipe or a folder)";
const QString kOfTheStore = "is one of the catalogue's own files";

const Kind kKinds[] = {
    {"regular file",
     {},
     false,
     false,
     [](Rig&, const QString& at, bool) {
         makeFile(at);
         return plain(at);
     }},
    {"link to a regular file",
     {},
     false,
     true,
     [](Rig& rig, const QString& at, bool) {
         makeFile(rig.path("elsewhere"));
         QFile::link(rig.path("elsewhere"), at);
         return Planted{at, rig.path("elsewhere"), {}, {}};
     }},
    {"FIFO", kNotRegular, false, false,
     [](Rig&, const QString& at, bool) {
         EXPECT_EQ(::mkfifo(encoded(at).constData(), 0600), 0);
         return plain(at);
     }},
    {"device node", kNotRegular, false, false,
     [](Rig&, const QString& at, bool) {
         // Like /dev/full: every write fails.
         if (::mknod(encoded(at).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
             return Planted{at, at, "device nodes need root: " + cause(errno), {}};
         return plain(at);
     }},
    {"folder", kNotRegular, false, false,
     [](Rig&, const QString& at, bool) {
         QDir().mkdir(at);
         return plain(at);
     }},
    {"link to a folder", kNotRegular, false, true,
     [](Rig& rig, const QString& at, bool) {
         QDir().mkdir(rig.path("folder"));
         QFile::link(rig.path("folder"), at);
         return Planted{at, rig.path("folder"), {}, {}};
     }},
    {"read-only folder", cause(EROFS), true, false,
     [](Rig&, const QString& at, bool) { return onMountedFolder(at, true); }},
    {"full disk", cause(ENOSPC), true, false,
     [](Rig&, const QString& at, bool) { return onMountedFolder(at, false); }},
    {"the store", kOfTheStore, false, false,
     [](Rig& rig, const QString& at, bool chosen) { return storeFile(rig.store(), at, chosen); }},
    {"the store's -wal", kOfTheStore, false, false,
     [](Rig& rig, const QString& at, bool chosen) {
         return storeFile(rig.store() + "-wal", at, chosen);
     }},
    {"link to the store", kOfTheStore, false, true,
     [](Rig& rig, const QString& at, bool) {
         QFile::link(rig.store(), at);
         return Planted{at, rig.store(), {}, {}};
     }},
    {"file in Backups/", kOfTheStore, false, false,
     [](Rig& rig, const QString& at, bool chosen) {
         QString name;
         EXPECT_TRUE(backups::make(rig.app.context(), &name).ok);
         return storeFile(QDir(backups::folder(rig.app.dataDir())).filePath(name), at, chosen);
     }},
};

TEST(OutputTargets, EveryWriterRefusesWhatItMustNotReplaceAndNamesTheCauseOfAFailure) {
    QStringList skipped;
    for (const Writer& writer : kWriters) {
        for (const Kind& kind : kKinds) {
            SCOPED_TRACE(std::string(writer.name) + ", " + kind.name);
            LogCapture log;
            Rig rig;
            const QString at = writer.target(rig);
            ASSERT_TRUE(QDir().mkpath(QFileInfo(at).path()));
            const bool chosen = at.startsWith(rig.path("out/"));
            const Planted planted = kind.plant(rig, at, chosen);
            if (!planted.skipped.isEmpty()) {
                skipped << QString(kind.name) + " (" + planted.skipped + ")";
                continue;
            }
            const QString folder = QFileInfo(planted.target).path();
            const Snapshot victim = snapshot(planted.victim);
            const QStringList beside = entriesOf(folder);

            const Outcome outcome = writer.write(rig, planted.target);

            const bool newNames = writer.policy == Policy::NewNames;
            const bool written = newNames ? !kind.atTheFolder : kind.cause.isEmpty();
            const bool kept =
                newNames || !written || (writer.policy == Policy::Private && kind.followedLink);
            EXPECT_EQ(outcome.written, written) << outcome.message.toStdString();
            EXPECT_EQ(snapshot(planted.victim) == victim, kept);
            if (written) continue;
            EXPECT_TRUE(outcome.message.contains(kind.cause)) << outcome.message.toStdString();
            EXPECT_EQ(entriesOf(folder), beside) << "nothing was left beside it";
        }
    }
    if (!skipped.isEmpty()) {
        skipped.removeDuplicates();
        GTEST_SKIP() << "not run: " << skipped.join(", ").toStdString();
    }
}

}  // namespace
}  // namespace quillon::test
