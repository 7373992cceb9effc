#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "store/FetchRequest.h"
#include "store/Records.h"
#include "store/Status.h"

namespace quillon {

// The one main context. Every record of the store is held here once the store opens (covers
// excepted), so fetches are evaluated in memory and always see pending changes: a pending
// insert is found, a pending delete is not. save() writes every pending change in one SQLite
// transaction; when it fails, nothing is written and every change stays pending for the next
// save. Main thread only.
class ManagedObjectContext {
public:
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext&) = delete;
    ManagedObjectContext& operator=(const ManagedObjectContext&) = delete;

    std::vector<std::shared_ptr<ManagedObject>> fetch(const FetchRequest& request) const;
    template <class T>
    std::vector<std::shared_ptr<T>> fetch(std::optional<Predicate> predicate = std::nullopt,
                                          std::vector<SortDescriptor> sort = {}) const {
        std::vector<std::shared_ptr<T>> typed;
        auto objects = fetch(FetchRequest{EntityOf<T>::value, std::move(predicate),
                                          std::move(sort)});
        typed.reserve(objects.size());
        for (auto& o : objects) typed.push_back(std::static_pointer_cast<T>(std::move(o)));
        return typed;
    }
    int count(Entity entity) const;  // records not deleted, pending ones included

    void deleteObject(const std::shared_ptr<ManagedObject>& object);
    // Forgets the record's pending changes: a new record leaves the context (it then reads as
    // deleted), a changed one gets its saved values back, a deleted one comes back.
    void refreshObject(const std::shared_ptr<ManagedObject>& object);
    bool hasChanges() const;
    Status save();

    // Test seam: called inside the save transaction after each written row (the row's index).
    void setSaveProgressHookForTesting(std::function<void(int)> hook);

private:
    friend class CatalogueStore;
    friend class Movies;
    friend class GenreList;
    friend class RatingList;
    explicit ManagedObjectContext(std::shared_ptr<ContextState> state);
    void insert(const std::shared_ptr<ManagedObject>& object);
    Status load();
    Status writePendingChanges(std::vector<std::pair<ManagedObject*, qint64>>& newRowIds);
    void acceptSavedChanges(const std::vector<std::pair<ManagedObject*, qint64>>& newRowIds);

    std::shared_ptr<ContextState> state_;
};

// The store container "Quillon": the SQLite file Quillon.sqlite in a data folder, with its
// main context. Opening reads every record's texts and numbers (never the covers).
class CatalogueStore {
public:
    static constexpr const char* kFileName = "Quillon.sqlite";
    static constexpr int kSchemaVersion = 1;

    // Opens or creates the store in dataDir (created when missing).
    static std::unique_ptr<CatalogueStore> open(const QString& dataDir, Status* status);
    ~CatalogueStore();

    ManagedObjectContext& viewContext() { return *context_; }
    QString filePath() const;

private:
    CatalogueStore() = default;
    std::unique_ptr<ManagedObjectContext> context_;
};

}  // namespace quillon
