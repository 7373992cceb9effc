#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPdfDocument>
#include <QRegularExpression>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFormat>
#include <initializer_list>
#include <utility>
#include <vector>

#include "store/CatalogueStore.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"

namespace quillon::test {

// A movie with the given texts (others absent), year and run time; pending until saved.
inline MoviePtr addMovie(ManagedObjectContext& context,
                         std::initializer_list<std::pair<Attribute, QString>> texts,
                         qint16 year = 0, qint16 runTime = 0) {
    MoviePtr movie = Movies::insertInto(context);
    for (const auto& [attribute, text] : texts) movie->setText(attribute, text);
    movie->setYear(year);
    movie->setRunTime(runTime);
    return movie;
}

inline QByteArray jpegOf(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

// The document's text, one entry per paragraph; an inline picture reads "[W x H]" (its format's
// size, rounded).
inline QStringList paragraphsOf(const QTextDocument& document) {
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString text;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat()) {
                const QTextImageFormat image = fragment.charFormat().toImageFormat();
                text += QString("[%1 x %2]").arg(qRound(image.width())).arg(qRound(image.height()));
            } else {
                text += fragment.text();
            }
        }
        paragraphs << text;
    }
    return paragraphs;
}

// The alerts on screen, "title / message" each.
inline QStringList alertTexts() {
    QStringList texts;
    for (AlertController* alert : AlertController::presentedAlerts())
        texts << alert->title() + " / " + alert->message();
    return texts;
}

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
