#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractItemModel>
#include <QDir>
#include <QStringList>

#include "catalogue/ReferenceMember.h"
#include "toolkit/TableView.h"

namespace quillon::test {

// Inserts one entry per text and saves.
inline void addEntries(ManagedObjectContext& context, const ReferenceMember& member,
                       const QStringList& texts) {
    for (const QString& text : texts) member.insertInto(context)->setText(member.attribute, text);
    ASSERT_TRUE(context.save().ok);
}

// Every entry's text in the store's own order; an absent text reads "<absent>".
inline QStringList storedTexts(ManagedObjectContext& context, const ReferenceMember& member) {
    QStringList texts;
    for (const EntryPtr& entry : context.fetch(FetchRequest::all(member.entity)))
        texts << entry->text(member.attribute).value_or("<absent>");
    return texts;
}

// The texts a table model shows, top to bottom.
inline QStringList shownTexts(const QAbstractItemModel* model) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data(LabelTextsRole).toStringList().join("|");
    return texts;
}

}  // namespace quillon::test
