#include <gtest/gtest.h>

#include "movies/MovieForm.h"
#include "store/TextTrim.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

FormTexts filled(std::initializer_list<std::pair<FormField, QString>> values) {
    FormTexts texts;
    for (const auto& [field, text] : values) texts[size_t(field)] = text;
    return texts;
}

// Every required field of the add form, filled.
FormTexts addRequired() {
    using enum FormField;
    return filled({{MovieName, "Heat"},
                   {Year, "1995"},
                   {Actor1, "Pacino"},
                   {Actor3, "Judd"},
                   {Director, "Mann"},
                   {Producer, "Art"},
                   {Genre, "Crime"}});
}

TEST(MovieFormRules, SixteenBitNumbersAndTheNumericEntryCheck) {
    const std::pair<QString, std::optional<qint16>> numbers[] = {
        {"0", 0},      {"0042", 42},         {"32767", 32767}, {"-32768", -32768},
        {"32768", {}}, {"-32769", {}},       {"99999999", {}}, {"", {}},
        {"-", {}},     {"+5", {}},           {"12.5", {}},     {"1 2", {}},
        {"--1", {}},   {"\u0661\u0662", {}},  // Arabic-Indic digits: digits, but not 0-9
    };
    for (const auto& [text, number] : numbers)
        EXPECT_EQ(readNumber16(text), number) << text.toStdString();

    const struct {
        FieldInput input;
        QString replacement;
        bool accepted;
    } edits[] = {
        {FieldInput::Digits, "1999", true},   {FieldInput::Digits, "", true},
        {FieldInput::Digits, "\u0661", true}, {FieldInput::Digits, "19a", false},
        {FieldInput::Digits, ".", false},     {FieldInput::Digits, "-1", false},
        {FieldInput::Decimal, "1.5", true},   {FieldInput::Decimal, "\u0661", false},
        {FieldInput::Decimal, "-", false},    {FieldInput::Text, "<b>x</b>", true},
    };
    for (const auto& e : edits)
        EXPECT_EQ(acceptsReplacement(e.input, e.replacement), e.accepted)
            << e.replacement.toStdString();

    EXPECT_EQ(trimmedEntryText("\u00A0\t a  b \u2003"), "a  b");
    EXPECT_EQ(trimmedEntryText(" notes \n"), "notes \n") << "line breaks stay, also at the ends";
}

// Required fields in the table's order, then numbers; the add form names no field, the edit form
// names the empty one; text that is not a 16-bit number is refused naming its field.
TEST(MovieFormRules, SaveRefusesWhatCannotBeStored) {
    using enum FormField;
    const auto with = [](FormTexts texts, FormField field, const QString& text) {
        texts[size_t(field)] = text;
        return texts;
    };
    const QString notEntered = kRequiredFieldsMessage;
    const QString notANumber = " Must Be a Whole Number from -32768 to 32767";
    const struct {
        const MovieFormMember& member;
        FormTexts texts;
        QString message;  // empty: saved
    } cases[] = {
        {kAddMovieForm, addRequired(), ""},
        {kAddMovieForm, with(addRequired(), Actor3, ""), notEntered},
        {kAddMovieForm, with(addRequired(), Genre, ""), notEntered},
        {kAddMovieForm, with(addRequired(), MovieName, "   "), ""},
        {kAddMovieForm, with(addRequired(), Year, "40000"), ""},  // read as 4000
        {kAddMovieForm, with(addRequired(), Year, "1.99"), "Year" + notANumber},
        {kAddMovieForm, with(addRequired(), RunTime, "40000"), "Run Time" + notANumber},
        {kEditMovieForm, filled({{MovieName, "Heat"}, {Year, "1995"}}), ""},
        {kEditMovieForm, filled({{Year, "1995"}}), "Movie Name Not Entered"},
        {kEditMovieForm, filled({{MovieName, "Heat"}}), "Year Not Entered"},
        {kEditMovieForm, filled({{MovieName, "Heat"}, {Year, "40000"}}), "Year" + notANumber},
    };
    for (const auto& c : cases) {
        const FormCheck check = checkForSave(c.member, c.texts);
        EXPECT_EQ(check.ok, c.message.isEmpty())
            << c.member.title << " " << c.message.toStdString();
        EXPECT_EQ(check.message, c.message);
    }
}

// The two mapping tables: what each form writes for a filled and for an empty entry.
TEST(MovieFormRules, EachFormAppliesItsMappingTable) {
    using enum FormField;
    test::AppFixture app;
    auto added = Movies::insertInto(app.context());
    FormTexts texts = addRequired();
    texts[size_t(MovieName)] = "\u00A0 Heat\t";
    texts[size_t(Year)] = "19999";
    texts[size_t(Director)] = "  ";
    texts[size_t(Notes)] = "  as typed \n";
    ASSERT_TRUE(applyToMovie(kAddMovieForm, texts, *added));
    EXPECT_EQ(added->name(), "Heat");
    EXPECT_EQ(added->year(), 1999);
    EXPECT_EQ(added->director(), "");
    EXPECT_EQ(added->rating(), "G");
    EXPECT_EQ(added->notes(), "  as typed \n");
    EXPECT_FALSE(added->leadingActor2() || added->leadingActress2() || added->writer());
    EXPECT_EQ(added->runTime(), 0);

    auto edited = Movies::insertInto(app.context());
    for (Attribute a : {Attribute::leadingActor2, Attribute::genre, Attribute::rating,
                        Attribute::notes, Attribute::director})
        edited->setText(a, "old");
    edited->setRunTime(120);
    texts = filled({{MovieName, " Heat "}, {Year, "19999"}, {Director, " Mann "}, {Notes, ""}});
    ASSERT_TRUE(applyToMovie(kEditMovieForm, texts, *edited));
    EXPECT_EQ((QStringList{*edited->name(), *edited->director(), *edited->leadingActor2(),
                           *edited->genre(), *edited->rating(), *edited->notes()}),
              (QStringList{"Heat", "Mann", "old", "old", "", ""}));
    EXPECT_EQ(edited->year(), 19999) << "the edit form reads the whole year";
    EXPECT_EQ(edited->runTime(), 120);
    texts[size_t(Notes)] = " trimmed \t";
    ASSERT_TRUE(applyToMovie(kEditMovieForm, texts, *edited));
    EXPECT_EQ(edited->notes(), "trimmed");

    app.context().deleteObject(edited);
    EXPECT_FALSE(applyToMovie(kEditMovieForm, texts, *edited)) << "a deleted movie takes nothing";
}

// A run time below 1 shows as none; Save returns by the opener, or the form stays.
TEST(MovieFormRules, StoredMoviesShowAndFormsReturnToTheirOpeners) {
    test::AppFixture app;
    auto movie = Movies::insertInto(app.context());
    movie->setYear(1995);
    for (auto [runTime, shown] : {std::pair{0, ""}, {-5, ""}, {1, "1"}}) {
        movie->setRunTime(qint16(runTime));
        const FormTexts texts = textsOf(*movie);
        EXPECT_EQ(texts[size_t(FormField::RunTime)] + "|" + texts[size_t(FormField::Year)] + "|" +
                      texts[size_t(FormField::MovieName)],
                  QString(shown) + "|1995|");
    }
    EXPECT_STREQ(returnPointFor(kAddMovieForm, "Menu"), "unwindToMenu");
    EXPECT_STREQ(returnPointFor(kAddMovieForm, "Master"), nullptr);
    EXPECT_STREQ(returnPointFor(kEditMovieForm, "DirectorBreakdown"), "unwindToDirectorTableView");
    EXPECT_STREQ(returnPointFor(kEditMovieForm, "MainList"), nullptr);
}

}  // namespace
