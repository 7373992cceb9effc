#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "store/CatalogueStore.h"
#include "support/TestSupport.h"  // readable QString failures

namespace quillon::test {

// A store in a fresh folder; reopen() closes and opens it again, as a restart would.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override { reopen(); }
    void reopen() {
        store_.reset();
        Status status;
        store_ = CatalogueStore::open(dataDir(), &status);
        ASSERT_TRUE(store_) << status.describe().toStdString();
    }
    QString dataDir() const { return dir_.path(); }
    ManagedObjectContext& ctx() { return store_->viewContext(); }
    MoviePtr movie(const QString& name, qint16 year = 2000, OptionalText director = {}) {
        auto m = Movies::insertInto(ctx());
        m->setName(name);
        m->setYear(year);
        m->setText(Attribute::director, std::move(director));
        return m;
    }
    // Every movie's name, in the store's own order or the given one.
    QStringList names(std::vector<SortDescriptor> sort = {}) {
        QStringList out;
        for (const auto& m : ctx().fetch<Movies>(std::nullopt, std::move(sort)))
            out << m->name().value_or("<absent>");
        return out;
    }

    QTemporaryDir dir_;
    std::unique_ptr<CatalogueStore> store_;
};

}  // namespace quillon::test
