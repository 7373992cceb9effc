#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <functional>

#include "store/CatalogueStore.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

constexpr uid_t kNobody = 65534;

// A lock file as QLockFile writes it, naming a process of this test program.
QByteArray lockNaming(qint64 pid, const QByteArray& bootId = {}) {
    const QByteArray program =
        QFileInfo(QFile::symLinkTarget("/proc/self/exe")).fileName().toUtf8();
    const QByteArray text = QByteArray::number(pid) + "\n" + program + "\n" +
                            QSysInfo::machineHostName().toUtf8() + "\n";
    return bootId.isEmpty() ? text : text + "machine\n" + bootId + "\n";
}

pid_t endedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// Who held the lock is judged by its content, its age and whether its process lives.
TEST(StoreLockTest, ALockWhoseOwnerIsGoneIsTakenOverAndALiveOneNever) {
    const struct {
        const char* what;
        QByteArray content;
        int ageSeconds;
        bool ownedByNobody;
        bool takenOver;
    } cases[] = {
        {"empty, left by a kill", "", 60, false, true},
        {"garbled", "\x01\x02 not a pid\n", 60, false, true},
        {"of an ended process", lockNaming(endedProcess()), 0, false, true},
        {"of an ended process of another user", lockNaming(endedProcess()), 0, true, true},
        {"of an earlier boot", lockNaming(::getpid(), "not-this-boot"), 0, false, true},
        {"empty, being written now", "", 0, false, false},
        {"of a live process", lockNaming(::getpid()), 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString lock = dir.filePath(CatalogueStore::kLockFileName);
        ASSERT_TRUE(test::writeBytes(lock, c.content));
        if (c.ownedByNobody) {
            if (::geteuid() != 0) continue;  // only root can give a file away
            ASSERT_EQ(::chown(QFile::encodeName(lock).constData(), kNobody, kNobody), 0);
        }
        const struct timeval then[2] = {{::time(nullptr) - c.ageSeconds, 0},
                                        {::time(nullptr) - c.ageSeconds, 0}};
        ASSERT_EQ(::utimes(QFile::encodeName(lock).constData(), then), 0);
        Status status;
        const auto store = CatalogueStore::open(dir.path(), &status, {.lockWaitMs = 0});
        EXPECT_EQ(bool(store), c.takenOver) << status.describe().toStdString();
        EXPECT_TRUE(store || status.code == Status::Busy);
    }
}

void addMovies(const QString& dir, const QStringList& names) {
    Status status;
    auto store = CatalogueStore::open(dir, &status);
    ASSERT_TRUE(store) << status.describe().toStdString();
    for (const QString& name : names) Movies::insertInto(store->viewContext())->setName(name);
    ASSERT_TRUE(store->viewContext().save());
}

// A process that saves movies and keeps the store open (its -wal unchecked-in) until `release`
// is written to, or dies at once without closing anything.
pid_t writerProcess(const QString& dir, const QStringList& names, bool staysAlive, int release) {
    int saved[2];
    if (::pipe(saved) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        Status status;
        auto store = CatalogueStore::open(dir, &status);
        for (const QString& name : names) Movies::insertInto(store->viewContext())->setName(name);
        if (!store || !store->viewContext().save()) _exit(1);
        if (::write(saved[1], "s", 1) != 1) _exit(1);
        char go;
        if (staysAlive && ::read(release, &go, 1) != 1) _exit(1);
        _exit(0);  // no destructor runs: nothing is checked in
    }
    char done = 0;
    ::close(saved[1]);
    if (::read(saved[0], &done, 1) != 1) done = 0;
    ::close(saved[0]);
    return done == 's' ? child : -1;
}

// The number of movies a reader sees where the data folder cannot be written: as root, a child
// process of user nobody; otherwise here, with the folder made read-only. 200 and above: the
// store did not open read-only.
int moviesSeenWithoutWriteAccess(const QString& dir) {
    const auto count = [&] {
        Status status;
        const auto store = CatalogueStore::open(dir, &status);
        if (!store) {
            return 200;
        }
        return store->isReadOnly() ? store->viewContext().count(Entity::Movies) : 201;
    };
    const QByteArray path = QFile::encodeName(dir);
    if (::geteuid() != 0) {
        ::chmod(path.constData(), 0555);
        const int seen = count();
        ::chmod(path.constData(), 0755);
        return seen;
    }
    ::chmod(path.constData(), 0755);
    const pid_t child = fork();
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) _exit(202);
        _exit(count());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 203;
}

// Committed changes still in the -wal are read: beside a live writer, after a writer died, and
// when only the -wal is left.
TEST(ReadOnlyStoreTest, EveryCommittedMovieIsSeenWhereTheFolderCannotBeWritten) {
    for (const auto& [what, staysAlive, removeIndex] :
         {std::tuple{"beside a live writer", true, false},
          {"after the writer died", false, false},
          {"with only the -wal left", false, true}}) {
        SCOPED_TRACE(what);
        QTemporaryDir dir;
        addMovies(dir.path(), {"One", "Two"});
        int release[2];
        ASSERT_EQ(::pipe(release), 0);
        const pid_t writer =
            writerProcess(dir.path(), {"Three", "Four", "Five"}, staysAlive, release[0]);
        ASSERT_GT(writer, 0);
        if (!staysAlive) waitpid(writer, nullptr, 0);
        const QString store = dir.filePath(CatalogueStore::kFileName);
        ASSERT_GT(QFileInfo(store + "-wal").size(), 0) << "the movies wait in the -wal";
        ASSERT_TRUE(!removeIndex || QFile::remove(store + "-shm"));

        EXPECT_EQ(moviesSeenWithoutWriteAccess(dir.path()), 5);
        if (staysAlive) {
            ASSERT_EQ(::write(release[1], "g", 1), 1);
            waitpid(writer, nullptr, 0);
        }
        ::close(release[0]);
        ::close(release[1]);
    }
}

}  // namespace
