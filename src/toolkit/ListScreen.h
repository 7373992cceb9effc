#pragma once

#include <optional>
#include <utility>

#include "toolkit/RowsModel.h"
#include "toolkit/ViewController.h"

class QLabel;
class QToolButton;
class QVBoxLayout;

namespace quillon {

class SearchBar;
class TableView;
class UndoNotice;

enum class ListHeader {
    None,
    Counts,        // the list-header look (ListHeaderLabel)
    SectionTitle,  // plain, centred
};

// Everything in which the list screens differ beside their rows.
struct ListScreenLayout {
    int rowHeight;
    int thumbnailWidth;  // the box of the row pictures; 0 for rows without pictures
    ListHeader header;
    // Rows are deleted at once by the table's three routes, and taken back by the undo bar and
    // the undo key.
    bool deletes;
    bool readOutIsToolTip;
    bool sortButtonInNavigationBar;  // else the screen places it
    QString rowViewName;             // the row delegate's object name
    QString listName;                // what the table lists, as a screen reader names it
};

// A list screen: the search bar, the header, the table of rows, the sort button and, for a list
// that deletes, the undo bar. It wires them to its rows (see ListScreenOf): a change of the
// search text searches, the sort button flips the direction, a pick goes to rowPicked, and a
// delete is taken back by the undo bar or the undo key.
class ListScreen : public ViewController, protected ListRows {
    Q_OBJECT
public:
    SearchBar* searchBar() const { return searchBar_; }
    TableView* tableView() const { return table_; }
    // Null without a header.
    QLabel* headerLabel() const { return header_; }
    QToolButton* sortButton() const { return sortButton_; }
    // Null for a list that does not delete.
    UndoNotice* undoNotice() const { return undoNotice_; }
    bool DarkMode = false;

    // The search text changed: the rows are searched again.
    void updateSearchResults();
    // The sort button: flips the direction and sorts.
    void SortButtonTapped();
    // Picks the row, as a click on it does.
    void selectRow(int row);
    // Deletes the row's record and saves at once; a refused save leaves it listed (the alert
    // says why).
    void deleteRow(int row);
    // Brings back the last delete of this list since the program started (Ctrl+Z, the "Undo"
    // bar). False when there was nothing to take back.
    bool undoDelete();
    // The rows changed wholesale: the table and the header show them again.
    void reloadTable();

protected:
    ListScreen(ListScreenLayout layout, QWidget* parent);
    // Connects the search bar, the sort button, picks and deletes; starts ascending, loads the
    // rows (loadRows) and takes the appearance. A screen sets its placeholder before.
    void viewDidLoad() override;
    void attachModel();
    RowsModel& model() { return model_; }
    QVBoxLayout* column() const { return column_; }

    // What the screen does: its first load, a pick, and whatever follows a reload.
    virtual void loadRows() = 0;
    virtual void rowPicked(int row) = 0;
    virtual void tableReloaded() {}

    // What its rows do (ListScreenOf).
    virtual QString headerText() const = 0;
    virtual void searchRows(const QString& text) = 0;
    virtual void startAscending() = 0;
    // Flips the direction and sorts; true when ascending then.
    virtual bool flipSort() = 0;
    // Deletes and saves the row's record: the text of the undo bar, or nothing when the save
    // was refused (the rows are then fetched again).
    virtual std::optional<QString> deleteRecord(int row) = 0;
    virtual void removeShownRow(int row) = 0;
    struct Undone {
        bool tried = false;     // there was a delete to take back
        bool restored = false;  // and it was saved: the rows were fetched again
        int row = -1;           // the row showing it again
    };
    virtual Undone undoRecordDelete() = 0;

private:
    void showHeader();

    ListScreenLayout layout_;
    RowsModel model_;
    QVBoxLayout* column_;
    SearchBar* searchBar_;
    QLabel* header_ = nullptr;
    TableView* table_;
    QToolButton* sortButton_;
    UndoNotice* undoNotice_ = nullptr;
};

// A list screen over a list of the layer below, whatever its rows are. `List` offers rows(),
// rowCount(), rowLabels(row), rowReadOut(row), headerText(), filter(text), toggleSort(),
// SortAsc and removeRow(row); a list that deletes also deleteRecord(row) and undoDelete().
template <class List>
class ListScreenOf : public ListScreen {
public:
    const List& query() const { return list_; }

protected:
    template <class... Arguments>
    ListScreenOf(ListScreenLayout layout, QWidget* parent, Arguments&&... arguments)
        : ListScreen(std::move(layout), parent), list_(std::forward<Arguments>(arguments)...) {
        attachModel();
    }

    int rowCount() const override { return list_.rowCount(); }
    QStringList rowLabels(int row) const override { return list_.rowLabels(row); }
    QString rowReadOut(int row) const override { return list_.rowReadOut(row); }
    QString headerText() const override { return list_.headerText(); }
    void searchRows(const QString& text) override { list_.filter(text); }
    void startAscending() override { list_.SortAsc = true; }
    bool flipSort() override {
        list_.toggleSort();
        return list_.SortAsc.value_or(true);
    }
    std::optional<QString> deleteRecord(int row) override {
        if constexpr (requires { list_.deleteRecord(row); }) return list_.deleteRecord(row);
        return std::nullopt;
    }
    void removeShownRow(int row) override { list_.removeRow(row); }
    Undone undoRecordDelete() override {
        if constexpr (requires { list_.undoDelete(); }) {
            const auto undone = list_.undoDelete();
            return {undone.tried, undone.restored, undone.row};
        }
        return {};
    }

    List list_;
};

}  // namespace quillon
