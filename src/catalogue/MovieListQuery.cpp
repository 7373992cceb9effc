#include "catalogue/MovieListQuery.h"

#include <algorithm>

#include "handover/SelectionState.h"
#include "store/TextSearch.h"

namespace quillon {

namespace {

constexpr const char* kActorsLabel = "Actors: {leadingActor1}, {leadingActor2}";
constexpr const char* kActressesLabel = "Actress's: {leadingActress1}, {leadingActress2}";

QString orEmpty(const OptionalText& text) {
    return text.value_or(QString());
}

QString fieldText(const Movies& movie, Attribute attribute) {
    if (isNumberAttribute(attribute)) return QString::number(movie.number(attribute));
    return orEmpty(movie.text(attribute));
}

// What a search looks for the text in: null when the movie has no such text.
QString loweredField(const Movies& movie, Attribute attribute) {
    if (isNumberAttribute(attribute)) return fieldText(movie, attribute);
    const QString* field = movie.loweredTextIfPresent(attribute);
    return field ? *field : QString();
}

// The movie's values are not read as patterns again: a name holding braces stays as it is.
QString filledLabel(QLatin1String pattern, const Movies& movie) {
    QString label;
    qsizetype from = 0;
    for (qsizetype open; (open = pattern.indexOf(QLatin1Char('{'), from)) >= 0;) {
        const qsizetype close = pattern.indexOf(QLatin1Char('}'), open);
        const auto attribute = attributeNamed(pattern.sliced(open + 1, close - open - 1));
        Q_ASSERT(close > open && attribute);
        label += pattern.sliced(from, open - from);
        if (attribute) label += fieldText(movie, *attribute);
        from = close + 1;
    }
    return label + pattern.sliced(from);
}

}  // namespace

const MovieListKey* MovieListQuery::keyAt(int index) {
    return index >= 0 && index < kKeyCount ? &kMovieListKeys[index] : nullptr;
}

QString MovieListQuery::keyTitle(int index) {
    const MovieListKey* key = keyAt(index);
    return key ? QString::fromLatin1(key->title) : QString();
}

QString MovieListQuery::searchPlaceholder(int index) {
    const MovieListKey* key = keyAt(index);
    return key ? QString::fromLatin1(key->searchPlaceholder) : QString();
}

MovieRowTexts MovieListQuery::rowTexts(const Movies& movie, int index) {
    if (const MovieListKey* key = keyAt(index)) return rowTexts(movie, *key);
    return {{},
            {},
            filledLabel(QLatin1String(kActorsLabel), movie),
            filledLabel(QLatin1String(kActressesLabel), movie)};
}

MovieRowTexts MovieListQuery::rowTexts(const Movies& movie, const MovieListKey& key) {
    return {filledLabel(QLatin1String(key.MovieNameLabel), movie),
            filledLabel(QLatin1String(key.SecondLabel), movie),
            filledLabel(QLatin1String(kActorsLabel), movie),
            filledLabel(QLatin1String(kActressesLabel), movie)};
}

QString MovieListQuery::deletedNotice(const Movies& movie) {
    const QString name = orEmpty(movie.name());
    if (name.isEmpty()) return QStringLiteral("Deleted a movie without a name");
    return QStringLiteral("Deleted \u201C%1\u201D").arg(name);
}

void MovieListQuery::fetchMovies() {
    MovieList.clear();
    FilteredMovieList.clear();
    loweredFields_.clear();
    std::vector<SortDescriptor> sort;
    const MovieListKey* key = keyAt(segmentIndex);
    if (SortAsc && key) {
        sort.push_back({key->attribute, *SortAsc});
        if (key->thenBy) sort.push_back({*key->thenBy, *SortAsc});
    }
    MovieList = context_.fetch<Movies>(std::nullopt, std::move(sort));
    FilteredMovieList = MovieList;
    searchApplied_ = false;
}

bool MovieListQuery::prepareNextKey() {
    for (const MovieListKey& key : kMovieListKeys) {
        std::vector<SortDescriptor> sort{{key.attribute, true}};
        if (key.thenBy) sort.push_back({*key.thenBy, true});
        if (context_.prepareSortedListing(Entity::Movies, sort)) return false;
    }
    return true;
}

void MovieListQuery::refetchKeepingSearch() {
    const bool applied = searchApplied_;
    fetchMovies();
    if (applied) filterMovies(searchText_);
}

bool MovieListQuery::prepareSearch(size_t count) {
    const MovieListKey* key = keyAt(segmentIndex);
    if (!key) return true;
    if (loweredKey_ != segmentIndex) {
        loweredFields_.clear();
        loweredKey_ = segmentIndex;
    }
    loweredFields_.reserve(MovieList.size());
    const size_t end = std::min(MovieList.size(), loweredFields_.size() + count);
    for (size_t i = loweredFields_.size(); i < end; ++i)
        loweredFields_.push_back(loweredField(*MovieList[i], key->attribute));
    return loweredFields_.size() == MovieList.size();
}

void MovieListQuery::filterMovies(const QString& searchText) {
    searchText_ = searchText;
    searchApplied_ = false;
    if (searchText.isEmpty()) {
        FilteredMovieList = MovieList;
        return;
    }
    if (!keyAt(segmentIndex)) return;
    searchApplied_ = true;
    prepareSearch(MovieList.size());
    const QString needle = lowerCased(searchText);
    FilteredMovieList.clear();
    for (size_t i = 0; i < MovieList.size(); ++i) {
        const QString& field = loweredFields_[i];
        // An absent field never matches, not even an empty search.
        if (!field.isNull() && field.contains(needle)) FilteredMovieList.push_back(MovieList[i]);
    }
}

const std::vector<MoviePtr>& MovieListQuery::rows() const {
    return searchText_.isEmpty() ? MovieList : FilteredMovieList;
}

QString MovieListQuery::headerText() const {
    const QString total = QString::number(MovieList.size());
    if (searchText_.isEmpty()) return "# Movies = " + total;
    return "# Movies = " + QString::number(FilteredMovieList.size()) + " of " + total;
}

void MovieListQuery::removeRow(int row) {
    const auto& feeding = rows();
    if (row < 0 || row >= int(feeding.size())) return;
    const MoviePtr movie = feeding[row];
    const auto inFull = std::find(MovieList.begin(), MovieList.end(), movie);
    if (inFull != MovieList.end()) {
        const auto index = inFull - MovieList.begin();
        if (index < std::ptrdiff_t(loweredFields_.size()))
            loweredFields_.erase(loweredFields_.begin() + index);
        MovieList.erase(inFull);
    }
    std::erase(FilteredMovieList, movie);
}

int MovieListQuery::rowOf(const ManagedObject* movie) const {
    const auto& feeding = rows();
    for (size_t i = 0; i < feeding.size(); ++i)
        if (feeding[i].get() == movie) return int(i);
    return -1;
}

void MovieListQuery::fillSelection(int row, SelectionState& s) const {
    const auto& feeding = rows();
    if (row >= 0 && row < int(feeding.size())) selectMovie(*feeding[row], s);
}

}  // namespace quillon
