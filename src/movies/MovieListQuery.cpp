#include "movies/MovieListQuery.h"

#include <QImage>
#include <algorithm>

#include "platform/CoverImage.h"
#include "toolkit/SelectionState.h"
#include "store/TextSearch.h"

namespace quillon {

namespace {

QString orEmpty(const OptionalText& text) {
    return text.value_or(QString());
}

Attribute sortAttribute(int k) {
    switch (k) {
        case MovieListQuery::Genre:
            return Attribute::genre;
        case MovieListQuery::Year:
            return Attribute::year;
        case MovieListQuery::Director:
            return Attribute::director;
        case MovieListQuery::Producer:
            return Attribute::producer;
        default:
            return Attribute::name;
    }
}

}  // namespace

QString MovieListQuery::keyTitle(int k) {
    static const char* titles[] = {"Movie", "Genre", "Year", "Director", "Producer"};
    return k >= 0 && k < kKeyCount ? QString::fromLatin1(titles[k]) : QString();
}

QString MovieListQuery::searchPlaceholder(int k) {
    static const char* placeholders[] = {"Search by Movie Name", "Search by Genre",
                                         "Search by Year", "Search by Director",
                                         "Search by Producer"};
    return k >= 0 && k < kKeyCount ? QString::fromLatin1(placeholders[k]) : QString();
}

MovieRowTexts MovieListQuery::rowTexts(const Movies& m, int k) {
    const QString name = orEmpty(m.name());
    const QString year = QString::number(m.year());
    const QString runTime = QString::number(m.runTime());
    MovieRowTexts t;
    switch (k) {
        case Movie:
            t.MovieNameLabel = "Movie: " + name;
            t.SecondLabel = "Year: " + year + "   Run Time: " + runTime;
            break;
        case Genre:
            t.MovieNameLabel = "Genre: " + orEmpty(m.genre());
            t.SecondLabel = "Movie: " + name + "   Year: " + year + "  Run Time: " + runTime;
            break;
        case Year:
            t.MovieNameLabel = "Year: " + year;
            t.SecondLabel = "Movie: " + name + "   Genre: " + orEmpty(m.genre());
            break;
        case Director:
            t.MovieNameLabel = "Director: " + orEmpty(m.director());
            t.SecondLabel = "Movie: " + name + "   Year: " + year + "  Run Time: " + runTime;
            break;
        case Producer:
            t.MovieNameLabel = "Producer: " + orEmpty(m.producer());
            t.SecondLabel = "Movie: " + name + "   Year: " + year + "  Run Time: " + runTime;
            break;
        default:
            break;
    }
    t.ThirdLabel = "Actors: " + orEmpty(m.leadingActor1()) + ", " + orEmpty(m.leadingActor2());
    t.FourthLabel =
        "Actress's: " + orEmpty(m.leadingActress1()) + ", " + orEmpty(m.leadingActress2());
    return t;
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
    if (SortAsc && segmentIndex >= 0 && segmentIndex < kKeyCount) {
        sort.push_back({sortAttribute(segmentIndex), *SortAsc});
        if (segmentIndex != Movie) sort.push_back({Attribute::name, *SortAsc});
    }
    MovieList = context_.fetch<Movies>(std::nullopt, std::move(sort));
    FilteredMovieList = MovieList;
    searchApplied_ = false;
}

void MovieListQuery::refetchKeepingSearch() {
    const bool applied = searchApplied_;
    fetchMovies();
    if (applied) filterMovies(searchText_);
}

QString MovieListQuery::searchFieldText(const Movies& movie) const {
    if (segmentIndex == Year) return QString::number(movie.year());
    const QString* field = movie.loweredTextIfPresent(sortAttribute(segmentIndex));
    return field ? *field : QString();
}

bool MovieListQuery::prepareSearch(size_t count) {
    if (segmentIndex < 0 || segmentIndex >= kKeyCount) return true;
    loweredFields_.reserve(MovieList.size());
    const size_t end = std::min(MovieList.size(), loweredFields_.size() + count);
    for (size_t i = loweredFields_.size(); i < end; ++i)
        loweredFields_.push_back(searchFieldText(*MovieList[i]));
    return loweredFields_.size() == MovieList.size();
}

void MovieListQuery::filterMovies(const QString& searchText) {
    searchText_ = searchText;
    searchApplied_ = false;
    if (searchText.isEmpty()) {
        FilteredMovieList = MovieList;
        return;
    }
    if (segmentIndex < 0 || segmentIndex >= kKeyCount) return;
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
    if (row < 0 || row >= int(feeding.size())) return;
    const Movies& m = *feeding[row];
    const OptionalBytes front = m.frontImage();
    const OptionalBytes back = m.hasImage(Attribute::backImage) ? m.backImage() : std::nullopt;
    s.SelectedImages.clear();
    if (front) {
        s.SelectedImages.append(decodeCover(*front).image);
        if (back) s.SelectedImages.append(decodeCover(*back).image);
    }
    s.SelectedName = orEmpty(m.name());
    s.SelectedYear = m.year();
    s.SelectedActor1 = orEmpty(m.leadingActor1());
    s.SelectedActor2 = orEmpty(m.leadingActor2());
    s.SelectedActress1 = orEmpty(m.leadingActress1());
    s.SelectedActress2 = orEmpty(m.leadingActress2());
    s.SelectedDirector = orEmpty(m.director());
    s.SelectedProducer = orEmpty(m.producer());
    s.SelectedGenre = orEmpty(m.genre());
    s.SelectedFrontImage = front;
    s.SelectedBackImage = back;
    s.SelectedNotes = orEmpty(m.notes());
}

}  // namespace quillon
