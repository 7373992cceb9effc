#pragma once

#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <vector>

#include "store/TextSearch.h"

namespace quillon {

// A list screen's rows without widgets: every row of the last load (the screen's MovieList,
// ValueList or ListOfGenre), the rows whose search field matches the search text (its Filtered
// list), the search text and the sort direction. The screen and the commands both drive it.
// A family states only what differs: how it loads, what it searches, whether a load searches
// again, how a sort treats a search, its header and row texts.
template <class Row>
class SearchableList {
public:
    virtual ~SearchableList() = default;

    // Absent until the screen loads; then true for ascending.
    std::optional<bool> SortAsc;

    const std::vector<Row>& allRows() const { return all_; }
    const std::vector<Row>& foundRows() const { return found_; }
    // The rows shown, counted, picked and deleted: every row while the search text is empty,
    // else the found ones.
    const std::vector<Row>& rows() const { return searchText_.isEmpty() ? all_ : found_; }
    // The text in the search bar; it may be present while not applied (after a key switch).
    const QString& searchText() const { return searchText_; }
    void setSearchTextWithoutFiltering(const QString& text) { searchText_ = text; }
    // After every flip of the direction, `shared` takes it too.
    void shareSortDirection(bool& shared) { sharedSortAsc_ = &shared; }

    // Loads every row afresh. The found rows become every row and the search text waits for its
    // next change, unless the family searches again after a load.
    void load() {
        all_ = fetch();
        loweredFields_.clear();
        if (searchesAgainAfterLoad()) {
            filter(searchText_);
        } else {
            found_ = all_;
            searchApplied_ = false;
        }
    }
    // Loads afresh and applies the search text again if it was applied: the rows stay those the
    // user searched for (after a delete taken back or an undo).
    void refetchKeepingSearch() {
        const bool applied = searchApplied_;
        load();
        if (applied) filter(searchText_);
    }
    // The search rule of every list: the rows whose search field, lower-cased, contains the
    // lower-cased text, in list order; every row while the text is empty. A row without the
    // field never matches. With no field to search, the found rows stay as they were.
    void filter(const QString& searchText) {
        searchText_ = searchText;
        searchApplied_ = false;
        if (searchText.isEmpty()) {
            found_ = all_;
            return;
        }
        if (searchField() < 0) return;
        searchApplied_ = true;
        prepareSearch(all_.size());
        const QString needle = lowerCased(searchText);
        found_.clear();
        for (size_t i = 0; i < all_.size(); ++i)
            if (matchesSearch(loweredFields_[i], needle)) found_.push_back(all_[i]);
    }
    // The sort button: flips the direction (nothing while it is absent), then loads again; a
    // family that sorts the found rows alone while a search text is present sorts only those.
    void toggleSort() {
        if (!SortAsc) return;
        SortAsc = !*SortAsc;
        if (sharedSortAsc_) *sharedSortAsc_ = *SortAsc;
        if (searchText_.isEmpty() || !sortFoundRows(found_, *SortAsc)) load();
    }

    // Removes the row shown from both lists (the record itself is deleted by the caller), so
    // that no later search text brings it back.
    void removeRow(int row) {
        const auto& shown = rows();
        if (row < 0 || row >= int(shown.size())) return;
        const Row removed = shown[size_t(row)];
        const auto inAll = std::find(all_.begin(), all_.end(), removed);
        if (inAll != all_.end()) {
            const auto index = inAll - all_.begin();
            if (index < std::ptrdiff_t(loweredFields_.size()))
                loweredFields_.erase(loweredFields_.begin() + index);
            all_.erase(inAll);
        }
        std::erase(found_, removed);
    }
    // The row shown that equals `row`, -1 when it is not shown.
    template <class Other>
    int rowOf(const Other& row) const {
        const auto& shown = rows();
        const auto at = std::find_if(shown.begin(), shown.end(),
                                     [&](const Row& candidate) { return candidate == row; });
        return at == shown.end() ? -1 : int(at - shown.begin());
    }

    // Lower-cases the search field of up to `count` more rows ahead of the first search, so that
    // the first keystroke does not pay for the whole list. True when all are ready.
    bool prepareSearch(size_t count) {
        if (searchField() < 0) return true;
        if (searchField() != loweredField_) {
            loweredFields_.clear();
            loweredField_ = searchField();
        }
        loweredFields_.reserve(all_.size());
        const size_t end = std::min(all_.size(), loweredFields_.size() + count);
        for (size_t i = loweredFields_.size(); i < end; ++i)
            loweredFields_.push_back(loweredSearchField(all_[i]));
        return loweredFields_.size() == all_.size();
    }

    // What the screens and the commands show: the header, each row's labels and the text read
    // out for a row.
    virtual QString headerText() const { return {}; }
    virtual QStringList labelsOf(const Row& row) const = 0;
    virtual QString readOutOf(const Row& row) const = 0;
    QStringList rowLabels(int row) const { return labelsOf(rows()[size_t(row)]); }
    QString rowReadOut(int row) const { return readOutOf(rows()[size_t(row)]); }
    int rowCount() const { return int(rows().size()); }

protected:
    // Every row, in the SortAsc direction; the list before this load is allRows().
    virtual std::vector<Row> fetch() = 0;
    // Which field a search looks in (the rows' lowered fields are kept while it stays the
    // same); negative when there is none.
    virtual int searchField() const { return 0; }
    // The row's search field in lower case; a null string when the row has none.
    virtual QString loweredSearchField(const Row& row) const = 0;
    virtual bool searchesAgainAfterLoad() const { return false; }
    // Sorts the found rows in the direction and says true, for a family that sorts only those
    // while a search text is present; false to load again instead.
    virtual bool sortFoundRows(std::vector<Row>& found, bool ascending) const {
        Q_UNUSED(found);
        Q_UNUSED(ascending);
        return false;
    }

private:
    std::vector<Row> all_;
    std::vector<Row> found_;
    QString searchText_;
    bool searchApplied_ = false;  // found_ holds the matches of searchText_
    bool* sharedSortAsc_ = nullptr;
    // The lowered search field of the first rows of all_ (all of them once a search ran).
    std::vector<QString> loweredFields_;
    int loweredField_ = 0;  // the searchField() that loweredFields_ holds
};

}  // namespace quillon
