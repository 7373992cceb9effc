#include "ReferenceTestUtil.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCoreApplication>

#include "support/TestSupport.h"
#include "toolkit/TableView.h"

namespace quillon::test {

void addEntries(ManagedObjectContext& context, const ReferenceMember& member,
                const QStringList& texts) {
    for (const QString& text : texts) member.insertInto(context)->setText(member.attribute, text);
    const Status status = context.save();
    ASSERT_TRUE(status.ok) << status.describe().toStdString();
}

QStringList storedTexts(ManagedObjectContext& context, const ReferenceMember& member) {
    QStringList texts;
    for (const EntryPtr& entry : context.fetch(FetchRequest::all(member.entity)))
        texts << entry->text(member.attribute).value_or("<absent>");
    return texts;
}

QStringList rowTexts(const ReferenceListQuery& query) {
    QStringList texts;
    for (int row = 0; row < int(query.rows().size()); ++row) texts << query.rowText(row);
    return texts;
}

QStringList shownTexts(const QAbstractItemModel* model) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data(LabelTextsRole).toStringList().join("|");
    return texts;
}

void flushDeletes() {
    pumpEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace quillon::test
