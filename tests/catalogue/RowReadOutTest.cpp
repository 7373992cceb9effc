#include <gtest/gtest.h>

#include "catalogue/LabelPattern.h"
#include "support/TestSupport.h"

namespace quillon {
namespace {

// A row is read as sentences, one a line, without the separators and captions that absent
// values leave behind.
TEST(RowReadOutTest, ReadsEveryLineAndNothingOfAbsentValues) {
    struct Case {
        QStringList lines;
        QString readOut;
    };
    const Case cases[] = {
        {{"Movie: Angel", "Year: 1937   Run Time: 91", "Actors: Herbert Marshall, ",
          "Actress's: , "},
         "Movie: Angel. Year: 1937   Run Time: 91. Actors: Herbert Marshall."},
        {{"Genre: Drama", " Angel   Year: 2007  Run Time: 119 min.", "Actors: A, B"},
         "Genre: Drama. Angel   Year: 2007  Run Time: 119 min. Actors: A, B."},
        {{"", "  "}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readOutOfLines(c.lines), c.readOut) << c.lines.join('|').toStdString();
}

}  // namespace
}  // namespace quillon
