#include "movies/ListCommand.h"

#include <QTextStream>

#include "catalogue/MovieListQuery.h"
#include "commands/CommandParser.h"

namespace quillon {

int runListCommand(ManagedObjectContext& context, const CommandInput& input) {
    MovieListQuery query(context);
    // The choices of --key stand in the key selector's order.
    const int key = input.isSet("key") ? input.choiceIndex("key") : int(MovieListQuery::Movie);
    query.segmentIndex = key;
    query.SortAsc = !input.isSet("descending");
    query.fetchMovies();
    query.filterMovies(input.value("search"));

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    out << query.headerText() << '\n';
    for (const MoviePtr& movie : query.rows()) {
        const MovieRowTexts t = MovieListQuery::rowTexts(*movie, key);
        out << t.MovieNameLabel << '\t' << t.SecondLabel << '\t' << t.ThirdLabel << '\t'
            << t.FourthLabel << '\n';
    }
    out.flush();
    return 0;
}

}  // namespace quillon
