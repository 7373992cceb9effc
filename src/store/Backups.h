#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "store/CatalogueStore.h"
#include "store/Status.h"

namespace quillon::backups {

// Copies of the store in Backups/ of its data folder, named by date and time
// ("Quillon 2026-12-06 19-30-00.sqlite"), taken before anything overwrites many records at
// once. The newest kKept are kept.
constexpr int kKept = 3;

QString folder(const QString& dataDir);
// Backup names, oldest first.
QStringList list(const QString& dataDir);
// Copies the saved store into a new backup and drops the oldest beyond kKept. name receives
// the new backup's name.
Status make(const ManagedObjectContext& store, QString* name = nullptr,
            const QDateTime& now = QDateTime::currentDateTime());
// Puts backup `name` (one of list()) back as the store's content, after a backup of the
// current content. The store's context no longer matches the device afterwards: close the
// store and open it again before reading it.
Status restore(CatalogueStore& store, const QString& name, QString* safetyName = nullptr,
               const QDateTime& now = QDateTime::currentDateTime());

}  // namespace quillon::backups
