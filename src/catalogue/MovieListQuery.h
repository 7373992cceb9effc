#pragma once

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "store/CatalogueStore.h"

namespace quillon {

struct SelectionState;

// The four label texts of one movie-list row.
struct MovieRowTexts {
    QString MovieNameLabel;
    QString SecondLabel;
    QString ThirdLabel;
    QString FourthLabel;
};

// One key of the movie list: everything in which the five keys differ. In the two label patterns
// {attribute} stands for the movie's value (an absent text reads empty, a number in decimal).
struct MovieListKey {
    const char* title;  // the key selector's item
    const char* searchPlaceholder;
    Attribute attribute;              // searched, and sorted by first
    std::optional<Attribute> thenBy;  // orders movies of equal attribute
    const char* MovieNameLabel;
    const char* SecondLabel;
};

// What the movie list shows, without widgets: the fetched catalogue (MovieList), the rows that
// match the search text (FilteredMovieList), the header and row texts. The screen and
// `quillon list` both drive it.
class MovieListQuery {
public:
    // Indexes kMovieListKeys, in the key selector's order.
    enum Key { Movie = 0, Genre = 1, Year = 2, Director = 3, Producer = 4 };
    static constexpr int kKeyCount = 5;

    explicit MovieListQuery(ManagedObjectContext& context) : context_(context) {}

    // The key at a key selector index; null outside 0 to kKeyCount - 1.
    static const MovieListKey* keyAt(int index);
    // The key's texts at a key selector index; empty texts outside the keys.
    static QString keyTitle(int index);
    static QString searchPlaceholder(int index);
    static MovieRowTexts rowTexts(const Movies& movie, int index);
    static MovieRowTexts rowTexts(const Movies& movie, const MovieListKey& key);
    // What the undo bar says after the movie was deleted.
    static QString deletedNotice(const Movies& movie);

    // The key selector's index (a Key). The order follows it at the next fetch, the search at
    // once.
    int segmentIndex = Movie;
    std::optional<bool> SortAsc;
    std::vector<MoviePtr> MovieList;
    std::vector<MoviePtr> FilteredMovieList;

    // Refetches the whole catalogue in the key's order; the filter is reset to everything.
    void fetchMovies();
    // Refetches and applies the search text again if it was applied: the rows stay those the
    // user searched for (after a delete taken back or an undo).
    void refetchKeepingSearch();
    // Applies a new search text to MovieList (an empty text shows everything).
    void filterMovies(const QString& searchText);
    // The text in the search bar; it may be present while not applied (after a key switch).
    const QString& searchText() const { return searchText_; }
    void setSearchTextWithoutFiltering(const QString& text) { searchText_ = text; }

    // Lower-cases the search field of up to `count` more movies ahead of the first search, so
    // that the first keystroke does not pay for the whole catalogue. True when all are ready.
    bool prepareSearch(size_t count);
    // Sorts the catalogue by one more key the list does not show yet, so that switching to it,
    // or flipping its direction, finds the order ready in the store. True when every key is.
    bool prepareNextKey();

    // The array that feeds the rows: MovieList while the search text is empty.
    const std::vector<MoviePtr>& rows() const;
    QString headerText() const;
    // Removes the row's movie from both arrays (the record itself is deleted by the caller), so
    // that a later change of the search text cannot bring it back.
    void removeRow(int row);
    // The movie's row in the feeding array, -1 when it is not shown.
    int rowOf(const ManagedObject* movie) const;
    // Copies the row's movie into the hand-over state.
    void fillSelection(int row, SelectionState& selection) const;

private:
    ManagedObjectContext& context_;
    QString searchText_;
    bool searchApplied_ = false;  // FilteredMovieList holds the matches of searchText_
    // Lower-cased search field of the first MovieList entries (all of them once the first
    // search ran); an absent field is a null string.
    std::vector<QString> loweredFields_;
    int loweredKey_ = Movie;  // the segmentIndex whose field loweredFields_ holds
};

inline constexpr std::array<MovieListKey, MovieListQuery::kKeyCount> kMovieListKeys{{
    {"Movie", "Search by Movie Name", Attribute::name, std::nullopt, "Movie: {name}",
     "Year: {year}   Run Time: {runTime}"},
    {"Genre", "Search by Genre", Attribute::genre, Attribute::name, "Genre: {genre}",
     "Movie: {name}   Year: {year}  Run Time: {runTime}"},
    {"Year", "Search by Year", Attribute::year, Attribute::name, "Year: {year}",
     "Movie: {name}   Genre: {genre}"},
    {"Director", "Search by Director", Attribute::director, Attribute::name, "Director: {director}",
     "Movie: {name}   Year: {year}  Run Time: {runTime}"},
    {"Producer", "Search by Producer", Attribute::producer, Attribute::name, "Producer: {producer}",
     "Movie: {name}   Year: {year}  Run Time: {runTime}"},
}};

}  // namespace quillon
