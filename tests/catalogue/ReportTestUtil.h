#pragma once

#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFormat>
#include <initializer_list>
#include <utility>

#include "store/CatalogueStore.h"
#include "support/TestSupport.h"

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

}  // namespace quillon::test
