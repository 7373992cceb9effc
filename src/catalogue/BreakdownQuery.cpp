#include "catalogue/BreakdownQuery.h"

#include <algorithm>

#include "catalogue/GroupTabQuery.h"
#include "store/TextSearch.h"

namespace quillon {

static_assert(
    [] {
        for (size_t i = 0; i < kBreakdowns.size(); ++i)
            if (kBreakdowns[i].kind != kGroupKinds[i]) return false;
        return true;
    }(),
    "the breakdowns are listed in the order of the kinds");

const Breakdown& breakdownOf(GroupKind kind) {
    return kBreakdowns[size_t(kind)];
}

QString expandLabel(const char* pattern, const Movies& movie) {
    const QString text = QString::fromUtf8(pattern);
    QString out;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('{'), at);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('}'), open);
        if (close < 0) {
            out += QStringView(text).mid(at);
            break;
        }
        out += QStringView(text).mid(at, open - at);
        const auto attribute = attributeNamed(text.mid(open + 1, close - open - 1));
        Q_ASSERT(attribute);  // the patterns are the tables' own
        if (attribute && isNumberAttribute(*attribute))
            out += QString::number(movie.number(*attribute));
        else if (attribute)
            out += movie.text(*attribute).value_or(QString());
        at = close + 1;
    }
    return out;
}

void BreakdownQuery::keepValue(const SelectionState& selection) {
    const QString SelectionState::*fields[] = {member_.value, member_.secondValue,
                                               member_.pickedName};
    for (size_t i = 0; i < kept_.size(); ++i)
        kept_[i] = fields[i] ? selection.*fields[i] : QString();
}

void BreakdownQuery::writeKeptValue(SelectionState& selection) const {
    QString SelectionState::*fields[] = {member_.value, member_.secondValue, member_.pickedName};
    for (size_t i = 0; i < kept_.size(); ++i)
        if (fields[i]) selection.*fields[i] = kept_[i];
}

void BreakdownQuery::openFor(const QString& value, bool descending, const QString& search) {
    SelectionState picked;
    writePickedValue(groupTab(member_.kind), value, picked);
    keepValue(picked);
    SortAsc = !descending;
    searchText_ = search;
    loadBreakdown();
}

void BreakdownQuery::loadBreakdown() {
    MovieList.clear();
    MovieCount = 0;
    std::vector<Predicate::Test> tests{{member_.attribute, kept_[0]}};
    if (member_.secondAttribute) tests.push_back({*member_.secondAttribute, kept_[1]});
    // One test alone is answered from the store's equality index.
    MovieList = context_.fetch<Movies>(
        tests.size() == 1 ? Predicate::all(std::move(tests)) : Predicate::any(std::move(tests)),
        {{Attribute::name, SortAsc.value_or(true)}});
    MovieCount = int(MovieList.size());
    filterBreakdown(searchText_);
}

void BreakdownQuery::filterBreakdown(const QString& searchText) {
    searchText_ = searchText;
    if (searchText.isEmpty()) {
        FilteredMovieList = MovieList;
        return;
    }
    const QString needle = lowerCased(searchText);
    FilteredMovieList.clear();
    for (const MoviePtr& movie : MovieList)
        if (matchesSearch(movie->textIfPresent(Attribute::name), needle))
            FilteredMovieList.push_back(movie);
}

void BreakdownQuery::toggleSort(bool& sharedSortAsc) {
    if (!SortAsc) return;
    SortAsc = !*SortAsc;
    sharedSortAsc = *SortAsc;
    if (searchText_.isEmpty()) {
        loadBreakdown();
        return;
    }
    const bool ascending = *SortAsc;
    std::stable_sort(FilteredMovieList.begin(), FilteredMovieList.end(),
                     [ascending](const MoviePtr& a, const MoviePtr& b) {
                         const int order = compareTexts(a->textIfPresent(Attribute::name),
                                                        b->textIfPresent(Attribute::name));
                         return ascending ? order < 0 : order > 0;
                     });
}

const std::vector<MoviePtr>& BreakdownQuery::rows() const {
    return searchText_.isEmpty() ? MovieList : FilteredMovieList;
}

QString BreakdownQuery::sectionTitle() const {
    const size_t count = searchText_.isEmpty() ? size_t(MovieCount) : FilteredMovieList.size();
    return QStringLiteral("# of Movies: ") + QString::number(count);
}

QStringList BreakdownQuery::rowTexts(const Movies& movie) const {
    const char* second = !searchText_.isEmpty() && member_.SecondLabelWhileSearching
                             ? member_.SecondLabelWhileSearching
                             : member_.SecondLabel;
    return {expandLabel(member_.firstLabel, movie), expandLabel(second, movie),
            expandLabel(member_.ThirdLabel, movie)};
}

std::vector<MoviePtr> breakdownRowsFor(ManagedObjectContext& context, GroupKind kind,
                                       const QString& value, bool descending,
                                       const QString& search) {
    BreakdownQuery query(breakdownOf(kind), context);
    query.openFor(value, descending, search);
    return query.rows();
}

}  // namespace quillon
