#pragma once

#include <QStringList>

#include "reference/ReferenceListQuery.h"
#include "reference/ReferenceMember.h"
#include "support/RefuseWrites.h"

class QAbstractItemModel;

namespace quillon::test {

// Inserts one entry per text and saves.
void addEntries(ManagedObjectContext& context, const ReferenceMember& member,
                const QStringList& texts);
// Every entry's text in the store's own order; an absent text reads "<absent>".
QStringList storedTexts(ManagedObjectContext& context, const ReferenceMember& member);
QStringList rowTexts(const ReferenceListQuery& query);
// The texts a table model shows, top to bottom.
QStringList shownTexts(const QAbstractItemModel* model);
// deleteLater() is not honoured by processEvents() outside a running event loop.
void flushDeletes();

}  // namespace quillon::test
