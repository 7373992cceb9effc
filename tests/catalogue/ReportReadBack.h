#pragma once
// What the report tests that read a written PDF file back share.

#include <gtest/gtest.h>

#include <QPdfDocument>
#include <QRegularExpression>
#include <vector>

#include "catalogue/ReportTestUtil.h"
#include "support/TestSupport.h"

namespace quillon::test {

// What a reader finds in a PDF file.
struct ReadBack {
    QList<QSizeF> pages;
    QStringList lines;  // every page's text lines, in order
    int outside = 0;    // pieces of text not within their page
    QList<int> imageWidths;
};

inline ReadBack readBack(const QString& path) {
    ReadBack found;
    QPdfDocument pdf;
    pdf.load(path);
    for (int page = 0; page < pdf.pageCount(); ++page) {
        found.pages << pdf.pagePointSize(page);
        const QPdfSelection text = pdf.getAllText(page);
        found.lines << text.text().split(QRegularExpression("[\r\n]+"), Qt::SkipEmptyParts);
        const QRectF inside = QRectF(QPointF(), found.pages.last()).adjusted(-.5, -.5, .5, .5);
        for (const QPolygonF& piece : text.bounds())
            found.outside += !inside.contains(piece.boundingRect());
    }
    static const QRegularExpression image(R"(/Subtype\s*/Image\s*/Width\s+(\d+))");
    for (const auto& match : image.globalMatch(QString::fromLatin1(test::contents(path))))
        found.imageWidths << match.captured(1).toInt();
    return found;
}

// Saved movies of Mann, each with both covers and a note of two lines.
inline std::vector<MoviePtr> addMannMovies(AppFixture& fixture, int count) {
    std::vector<MoviePtr> movies;
    for (int i = 0; i < count; ++i) {
        movies.push_back(addMovie(fixture.context(),
                                  {{Attribute::name, QString("Movie %1").arg(i)},
                                   {Attribute::director, "Mann"},
                                   {Attribute::leadingActor1, "Ann"},
                                   {Attribute::notes, "First line\nsecond line"}},
                                  qint16(1950 + i), 100));
        for (Attribute side : {Attribute::frontImage, Attribute::backImage})
            movies.back()->setImage(side, jpegOf({400, 600}, QColor::fromHsv(i, 99, 99)));
    }
    EXPECT_TRUE(fixture.saveContext());
    return movies;
}

// The lines of the breakdown report of those movies, as a reader finds them.
inline QStringList mannReportLines(const std::vector<MoviePtr>& movies) {
    QStringList lines{"Movies Filtered by Director: Mann"};
    for (const MoviePtr& movie : movies)
        lines << "Director: Mann"
              << "Actor: Ann"
              << "Movie Name: " + *movie->name() << QString("Year: %1").arg(movie->year())
              << "Run Time: 100"
              << "Notes: First line"
              << "second line";
    return lines;
}

}  // namespace quillon::test
