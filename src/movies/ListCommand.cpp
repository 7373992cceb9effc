#include "movies/ListCommand.h"

#include <QTextStream>
#include <cstdio>

#include "catalogue/MovieListQuery.h"

namespace quillon {

namespace {
void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}
}  // namespace

int runListCommand(ManagedObjectContext& context, const QStringList& arguments,
                   const QString& usage) {
    static const QStringList keys = {"movie", "genre", "year", "director", "producer"};
    int key = MovieListQuery::Movie;
    bool ascending = true;
    QString search;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == "--key" && i + 1 < arguments.size() && keys.contains(arguments[i + 1])) {
            key = int(keys.indexOf(arguments[++i]));
        } else if (arg == "--descending") {
            ascending = false;
        } else if (arg == "--search" && i + 1 < arguments.size()) {
            search = arguments[++i];
        } else {
            printError("list: unexpected argument " + arg);
            printError(usage);
            return 2;
        }
    }
    MovieListQuery query(context);
    query.segmentIndex = key;
    query.SortAsc = ascending;
    query.fetchMovies();
    query.filterMovies(search);

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
