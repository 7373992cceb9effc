// Reading spreadsheet text: RFC 4180 quoting, line ends, byte-order marks, delimiters, encodings,
// the formula guard; what headers and cells mean.
#include <gtest/gtest.h>

#include "formats/ColumnMapping.h"
#include "formats/CsvText.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

using namespace exchange;

// Every record, cells joined by "|", with the line it began on and "(cut)" for one that ran into
// the end of the text inside quotes.
QStringList records(const QString& text, std::optional<QChar> delimiter = std::nullopt) {
    CsvReader reader(text, delimiter.value_or(guessDelimiter(text)));
    QStringList out;
    while (const auto record = reader.next()) {
        out << QString("%1:%2%3")
                   .arg(reader.line())
                   .arg(record->join(u'|'))
                   .arg(reader.endedInsideQuotes() ? " (cut)" : "");
    }
    return out;
}

TEST(CsvText, ReadsEveryQuotingCaseLineEndAndDelimiter) {
    const struct {
        const char* what;
        QString text;
        QStringList expected;
    } cases[] = {
        {"CR LF", "a,b\r\n1,2\r\n", {"1:a|b", "2:1|2"}},
        {"LF", "a,b\n1,2\n", {"1:a|b", "2:1|2"}},
        {"CR", "a,b\r1,2\r", {"1:a|b", "2:1|2"}},
        {"a last line without its end", "a,b\n1,2", {"1:a|b", "2:1|2"}},
        {"blank lines", "a\n\r\n\nb", {"1:a", "4:b"}},
        {"empty cells", ",,\n,", {"1:||", "2:|"}},
        {"a quoted delimiter", "\"x,y\",2", {"1:x,y|2"}},
        {"doubled quotes", "\"say \"\"hi\"\"\",\"\"\"\"", {"1:say \"hi\"|\""}},
        {"line breaks in quotes",
         "\"l1\nl2\",\"r1\r\nr2\",\"c1\rc2\"\nnext",
         {"1:l1\nl2|r1\r\nr2|c1\rc2", "5:next"}},
        {"a quote inside a plain cell", "ab\"c,d", {"1:ab\"c|d"}},
        {"text after a closing quote", "\"ab\"c,d", {"1:abc|d"}},
        {"a quoted empty cell at the end", "a,\"\"", {"1:a|"}},
        {"a file cut inside quotes", "a,b\n1,\"no end\n", {"1:a|b", "2:1|no end\n (cut)"}},
        {"semicolons", "a;b,c;d\n1;2", {"1:a|b,c|d", "2:1|2"}},
        {"tabs", "a\tb\tc,d\n1\t2", {"1:a|b|c,d", "2:1|2"}},
        {"bars", "a|b\n1|2", {"1:a|b", "2:1|2"}},
        {"quoted delimiters do not count", "\"a;b;c\",d,e\n", {"1:a;b;c|d|e"}},
        {"a tie goes to the comma", "a,b;c\n", {"1:a|b;c"}},
        {"one column", "Title\nAlien", {"1:Title", "2:Alien"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(records(c.text), c.expected) << c.what;
    }
    EXPECT_EQ(records("a;b,c", u','), QStringList{"1:a;b|c"}) << "a delimiter chosen";
}

TEST(CsvText, DecodesUtf8WithoutItsMarkOrWindows1252AsChosenOrAsTheBytesTell) {
    const QByteArray utf8 = "\xEF\xBB\xBFTitle\nAm\xC3\xA9lie \xE2\x82\xAC";
    const QByteArray windows = "Title\nAm\xE9lie \x80 \x93quoted\x94 \x81";
    const QString amelie = QString::fromUtf8("Title\nAm\xC3\xA9lie \xE2\x82\xAC");
    const struct {
        const char* what;
        QByteArray bytes;
        TextEncoding chosen;
        QString text;
        QString name;
    } cases[] = {
        {"UTF-8, its mark removed", utf8, TextEncoding::Automatic, amelie, "UTF-8"},
        {"not UTF-8: Windows-1252", windows, TextEncoding::Automatic,
         QString::fromUtf8("Title\nAm\xC3\xA9lie \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D ") +
             QChar(0x81),
         "Windows-1252"},
        {"Windows-1252 chosen", "caf\xC3\xA9", TextEncoding::Windows1252,
         QString::fromUtf8("caf\xC3\x83\xC2\xA9"), "Windows-1252"},
        {"UTF-8 chosen", "caf\xE9", TextEncoding::Utf8, QString("caf") + QChar(0xFFFD), "UTF-8"},
        {"UTF-16 by its mark",
         QByteArray("\xFF\xFE"
                    "A\0,\0B\0",
                    8),
         TextEncoding::Windows1252, "A,B", "UTF-16LE"},
    };
    for (const auto& c : cases) {
        const DecodedText decoded = decodeSpreadsheetText(c.bytes, c.chosen);
        EXPECT_EQ(decoded.text, c.text) << c.what;
        EXPECT_EQ(decoded.encodingName, c.name) << c.what;
    }
}

// A spreadsheet runs a cell beginning with =, +, -, @, tab or CR as a formula: such a cell gets an
// apostrophe in front, and our reader takes exactly that one away, whatever the text.
TEST(CsvText, TheFormulaGuardIsAddedWhereNeededAndTakenAwayExactly) {
    const struct {
        QString text;
        QString written;
    } cases[] = {
        {"=SUM(A1:A9)", "'=SUM(A1:A9)"},
        {"+1", "'+1"},
        {"-5", "'-5"},
        {"@home", "'@home"},
        {"\tindented", "'\tindented"},
        {"\rx", "'\rx"},
        {"'=x", "''=x"},
        {"''+", "'''+"},
        {"'quoted'", "'quoted'"},
        {"plain", "plain"},
        {"a=b", "a=b"},
        {"", ""},
        {"'", "'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(guardedCell(c.text), c.written) << c.text.toStdString();
        EXPECT_EQ(unguardedCell(guardedCell(c.text)), c.text) << c.text.toStdString();
    }
    EXPECT_EQ(csvCell("a,b", u','), "\"a,b\"");
    EXPECT_EQ(csvCell("a,b", u';'), "a,b");
    EXPECT_EQ(csvCell("say \"hi\"\nbye", u';'), "\"say \"\"hi\"\"\nbye\"");
}

TEST(ColumnMapping, HeadersCellsAndValuesReadAsOtherCataloguersWriteThem) {
    const struct {
        const char* header;
        ColumnTarget target;
        bool list;
    } headers[] = {
        {"Movie Name", ColumnTarget::Name, false},
        {" title ", ColumnTarget::Name, false},
        {"MOVIE", ColumnTarget::Name, false},
        {"Release Year", ColumnTarget::Year, false},
        {"Runtime", ColumnTarget::RunTime, false},
        {"Length", ColumnTarget::RunTime, false},
        {"Director(s)", ColumnTarget::Director, true},
        {"Director", ColumnTarget::Director, false},
        {"Genre(s)", ColumnTarget::Genre, true},
        {"MPAA Rating", ColumnTarget::Rating, false},
        {"Rated", ColumnTarget::Rating, false},
        {"Starring", ColumnTarget::Cast, false},
        {"Actresses", ColumnTarget::Actresses, false},
        {"Comments", ColumnTarget::Notes, false},
        {"Color Mode", ColumnTarget::Color, false},
        {"Second Actress", ColumnTarget::Actress2, false},
        {"Front Cover", ColumnTarget::FrontCover, false},
        {"Location", ColumnTarget::Ignore, false},
    };
    for (const auto& h : headers) {
        const ColumnMapping mapping = knownColumn(h.header);
        EXPECT_EQ(mapping.target, h.target) << h.header;
        EXPECT_EQ(mapping.listOfValues, h.list) << h.header;
    }
    const auto cells = [](const QString& cell, ColumnMapping mapping) {
        QStringList out;
        for (const QStringList& row : splitCell(cell, mapping)) out << row.join("=");
        return out.join(" / ");
    };
    const ColumnMapping cast{ColumnTarget::Cast, false}, list{ColumnTarget::Genre, true},
        whole{ColumnTarget::Director, false};
    EXPECT_EQ(cells("A:Ripley|B:Dallas | C", cast), "A=Ripley / B=Dallas / C");
    EXPECT_EQ(cells("A::Ripley; B::Dallas", cast), "A=Ripley / B=Dallas");
    EXPECT_EQ(cells("A, B,C", cast), "A / B / C");
    EXPECT_EQ(cells("Horror; Sci-Fi, Space", list), "Horror / Sci-Fi, Space");
    EXPECT_EQ(cells("Horror, Sci-Fi", list), "Horror / Sci-Fi");
    EXPECT_EQ(cells(" Smith, John; ", whole), " Smith, John; ") << "our own columns hold one value";

    EXPECT_EQ(readRunTime("117"), 117);
    EXPECT_EQ(readRunTime(" 1:57 "), 117);
    EXPECT_EQ(readRunTime("117 min"), 117);
    EXPECT_EQ(readRunTime("-5"), -5);
    EXPECT_EQ(readRunTime("1:75"), std::nullopt);
    EXPECT_EQ(readRunTime("about 2 hours"), std::nullopt);
    EXPECT_EQ(readYear("1979-05-25"), 1979);
    EXPECT_EQ(readYear("1979 (USA)"), 1979);
    EXPECT_EQ(readYear("-5"), -5);
    EXPECT_EQ(readYear("seventies"), std::nullopt);
    EXPECT_EQ(ratingWithoutCountry("PG-13 (USA)"), "PG-13");
    EXPECT_EQ(ratingWithoutCountry("(USA)"), "(USA)");
    EXPECT_EQ(targetNamed("runtime"), ColumnTarget::RunTime);
    EXPECT_EQ(targetNamed("Leading Actress"), ColumnTarget::Actress1);
    EXPECT_EQ(targetNamed("IGNORE"), ColumnTarget::Ignore);
    EXPECT_EQ(targetNamed("nonsense"), std::nullopt);
}

}  // namespace
}  // namespace quillon::test
