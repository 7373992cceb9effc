#pragma once

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "catalogue/RecordList.h"
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
// {attribute} stands for the movie's value (see expandLabel).
struct MovieListKey {
    const char* title;  // the key selector's item
    const char* searchPlaceholder;
    Attribute attribute;              // searched, and sorted by first
    std::optional<Attribute> thenBy;  // orders movies of equal attribute
    const char* MovieNameLabel;
    const char* SecondLabel;
};

// What the movie list shows: the whole catalogue in the key's order (MovieList) and the movies
// whose key field contains the search text (FilteredMovieList). A fetch shows every movie again
// while the search text waits for its next change. The screen and `quillon list` both drive it.
class MovieListQuery : public RecordList<MoviePtr> {
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

    // The key selector's index (a Key). The order follows it at the next fetch, the search at
    // once.
    int segmentIndex = Movie;

    void fetchMovies() { load(); }
    void filterMovies(const QString& searchText) { filter(searchText); }
    // Prepares the order of one more key the list does not show yet (a large catalogue's on a
    // worker), so that switching to it, or flipping it, finds it ready. True when every key is.
    bool prepareNextKey();
    // Copies the row's movie into the hand-over state.
    void fillSelection(int row, SelectionState& selection) const;

    QString headerText() const override;
    QStringList labelsOf(const MoviePtr& movie) const override;
    QString readOutOf(const MoviePtr& movie) const override;

protected:
    std::vector<MoviePtr> fetch() override;
    int searchField() const override { return keyAt(segmentIndex) ? segmentIndex : -1; }
    QString loweredSearchField(const MoviePtr& movie) const override;
    Entity entity() const override { return Entity::Movies; }
    QString deletedNotice(const ManagedObject& movie) const override;

private:
    ManagedObjectContext& context_;
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
