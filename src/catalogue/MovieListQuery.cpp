#include "catalogue/MovieListQuery.h"

#include "catalogue/LabelPattern.h"
#include "handover/SelectionState.h"

namespace quillon {

namespace {
constexpr const char* kActorsLabel = "Actors: {leadingActor1}, {leadingActor2}";
constexpr const char* kActressesLabel = "Actress's: {leadingActress1}, {leadingActress2}";
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
    const MovieListKey* key = keyAt(index);
    return {key ? expandLabel(key->MovieNameLabel, movie) : QString(),
            key ? expandLabel(key->SecondLabel, movie) : QString(),
            expandLabel(kActorsLabel, movie), expandLabel(kActressesLabel, movie)};
}

QString MovieListQuery::deletedNotice(const ManagedObject& movie) const {
    const QString name = movie.text(Attribute::name).value_or(QString());
    if (name.isEmpty()) return QStringLiteral("Deleted a movie without a name");
    return QStringLiteral("Deleted \u201C%1\u201D").arg(name);
}

std::vector<MoviePtr> MovieListQuery::fetch() {
    std::vector<SortDescriptor> sort;
    const MovieListKey* key = keyAt(segmentIndex);
    if (SortAsc && key) {
        sort.push_back({key->attribute, *SortAsc});
        if (key->thenBy) sort.push_back({*key->thenBy, *SortAsc});
    }
    return context_.fetch<Movies>(std::nullopt, std::move(sort));
}

bool MovieListQuery::prepareNextKey() {
    for (const MovieListKey& key : kMovieListKeys) {
        std::vector<SortDescriptor> sort{{key.attribute, true}};
        if (key.thenBy) sort.push_back({*key.thenBy, true});
        if (context_.prepareSortedListing(Entity::Movies, sort)) return false;
    }
    return true;
}

QString MovieListQuery::loweredSearchField(const MoviePtr& movie) const {
    const Attribute attribute = keyAt(segmentIndex)->attribute;
    if (isNumberAttribute(attribute)) return QString::number(movie->number(attribute));
    const QString* field = movie->loweredTextIfPresent(attribute);
    return field ? *field : QString();
}

QString MovieListQuery::headerText() const {
    const QString total = QString::number(allRows().size());
    if (searchText().isEmpty()) return "# Movies = " + total;
    return "# Movies = " + QString::number(foundRows().size()) + " of " + total;
}

QStringList MovieListQuery::labelsOf(const MoviePtr& movie) const {
    const MovieRowTexts t = rowTexts(*movie, segmentIndex);
    return {t.MovieNameLabel, t.SecondLabel, t.ThirdLabel, t.FourthLabel};
}

QString MovieListQuery::readOutOf(const MoviePtr& movie) const {
    // The whole row: films of one name differ in the lines below the first.
    return readOutOfLines(labelsOf(movie));
}

void MovieListQuery::fillSelection(int row, SelectionState& s) const {
    if (row >= 0 && row < rowCount()) selectMovie(*rows()[size_t(row)], s);
}

}  // namespace quillon
