#include "store/Backups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "store/Sqlite.h"

namespace quillon::backups {

namespace {

const QString kPrefix = QStringLiteral("Quillon ");
const QString kSuffix = QStringLiteral(".sqlite");

QString freshName(const QString& dir, const QDateTime& now) {
    const QString stamp = now.toString("yyyy-MM-dd HH-mm-ss");
    QString name = kPrefix + stamp + kSuffix;
    // Two backups within one second keep both; '_' sorts after '.', so names stay in order.
    for (int n = 2; QFileInfo::exists(QDir(dir).filePath(name)); ++n)
        name = kPrefix + stamp + QStringLiteral("_%1").arg(n, 2, 10, QLatin1Char('0')) + kSuffix;
    return name;
}

void dropOldest(const QString& dataDir) {
    const QStringList names = list(dataDir);
    for (qsizetype i = 0; i + kKept < names.size(); ++i)
        QFile::remove(QDir(folder(dataDir)).filePath(names[i]));
}

Status copyWithoutPruning(const ManagedObjectContext& store, QString* name, const QDateTime& now) {
    const QString dir = folder(store.dataDir());
    if (!QDir().mkpath(dir))
        return Status::failure("The backup folder could not be created",
                               QStringLiteral("{path = %1}").arg(dir));
    const QString fresh = freshName(dir, now);
    if (Status s = store.backupTo(QDir(dir).filePath(fresh)); !s) return s;
    if (name) *name = fresh;
    return Status::success();
}

}  // namespace

QString folder(const QString& dataDir) {
    return QDir(dataDir).filePath("Backups");
}

QStringList list(const QString& dataDir) {
    QStringList names =
        QDir(folder(dataDir)).entryList({kPrefix + "*" + kSuffix}, QDir::Files, QDir::Name);
    return names;
}

Status make(const ManagedObjectContext& store, QString* name, const QDateTime& now) {
    Status s = copyWithoutPruning(store, name, now);
    if (s) dropOldest(store.dataDir());
    return s;
}

Status restore(CatalogueStore& store, const QString& name, QString* safetyName,
               const QDateTime& now) {
    if (!list(store.dataDir()).contains(name))
        return Status::failure("There is no backup of that name", name);
    if (store.isReadOnly()) return Status::failure("The catalogue is read-only", store.filePath());
    sqlite::Database source;
    const QString path = QDir(folder(store.dataDir())).filePath(name);
    if (Status s = source.open(path, /*readOnly=*/true); !s) return s;
    // The chosen backup is read before pruning could remove it.
    if (Status s = copyWithoutPruning(store.viewContext(), safetyName, now); !s) return s;
    if (Status s = store.restoreFrom(source.handle()); !s) return s;
    dropOldest(store.dataDir());
    return Status::success();
}

}  // namespace quillon::backups
