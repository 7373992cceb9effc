#pragma once

#include <QString>
#include <array>
#include <optional>
#include <span>

#include "catalogue/GroupKind.h"
#include "handover/ReturnPoints.h"
#include "movies/MovieSegues.h"
#include "store/Records.h"

namespace quillon {

// The entries of the add and edit forms, in the order Save applies them.
enum class FormField {
    MovieName,
    Year,
    Actor1,
    Actor2,
    Actor3,
    Actor4,
    Director,
    Producer,
    Writer,
    Rating,
    RunTime,
    Genre,
    Notes,
};
constexpr int kFormFieldCount = int(FormField::Notes) + 1;

// How an entry takes its text.
enum class FieldInput {
    Text,
    Digits,       // the digit class only
    Decimal,      // ".0123456789" only
    GenreWheel,   // the wheel marked 1
    RatingWheel,  // the wheel marked 2
    Notes,        // filled from the notes screen, editable
};

// How Save turns a non-empty entry into its attribute.
enum class Conversion {
    Trimmed,
    Year,      // a signed 16-bit decimal, cut to four characters where the member says
    Number16,  // the whole text as a signed 16-bit decimal
    Notes,     // as typed or trimmed, as the member says
};

struct MovieFormField {
    FormField field;
    const char* entryName;  // the object name; the notes entry's is the member's
    const char* caption;    // its label, and its name in messages
    Attribute attribute;
    bool requiredOnAdd;
    bool requiredOnEdit;
    Conversion conversion;
    FieldInput input;
};

inline constexpr std::array<MovieFormField, kFormFieldCount> kMovieFormFields{{
    {FormField::MovieName, "MovieNameTextField", "Movie Name", Attribute::name, true, true,
     Conversion::Trimmed, FieldInput::Text},
    {FormField::Year, "YearTextField", "Year", Attribute::year, true, true, Conversion::Year,
     FieldInput::Digits},
    {FormField::Actor1, "Actor1TextField", "Leading Actor", Attribute::leadingActor1, true, false,
     Conversion::Trimmed, FieldInput::Text},
    {FormField::Actor2, "Actor2TextField", "Second Actor", Attribute::leadingActor2, false, false,
     Conversion::Trimmed, FieldInput::Text},
    {FormField::Actor3, "Actor3TextField", "Leading Actress", Attribute::leadingActress1, true,
     false, Conversion::Trimmed, FieldInput::Text},
    {FormField::Actor4, "Actor4TextField", "Second Actress", Attribute::leadingActress2, false,
     false, Conversion::Trimmed, FieldInput::Text},
    {FormField::Director, "DirectorTextField", "Director", Attribute::director, true, false,
     Conversion::Trimmed, FieldInput::Text},
    {FormField::Producer, "ProducerTextField", "Producer", Attribute::producer, true, false,
     Conversion::Trimmed, FieldInput::Text},
    {FormField::Writer, "WriterTextField", "Writer", Attribute::writer, false, false,
     Conversion::Trimmed, FieldInput::Text},
    {FormField::Rating, "RatingTextField", "Rating", Attribute::rating, false, false,
     Conversion::Trimmed, FieldInput::RatingWheel},
    {FormField::RunTime, "RunTimeTextField", "Run Time", Attribute::runTime, false, false,
     Conversion::Number16, FieldInput::Decimal},
    {FormField::Genre, "GenreTextField", "Genre", Attribute::genre, true, false,
     Conversion::Trimmed, FieldInput::GenreWheel},
    {FormField::Notes, nullptr, "Notes", Attribute::notes, false, false, Conversion::Notes,
     FieldInput::Notes},
}};

// Where Save returns to, by the screen that opened the form.
struct FormReturn {
    const char* openedFrom;
    const char* returnPoint;
};

// Everything in which the add and the edit form differ.
struct MovieFormMember {
    const char* title;
    const char* callingScreen;  // what the form puts into CallingScreen as it opens
    const char* notesEntryName;
    const char* notesButtonName;
    const char* backPasteButtonName;
    const char* notesReturnPoint;  // offered to the notes screen
    bool requiredAsOnAdd;          // the add form's required fields, else the edit form's
    bool yearFirstFourCharacters;
    bool notesTrimmed;
    const char* emptyRating;  // what an empty rating entry stores
    bool emptyNotesClears;    // an empty notes entry stores the empty text (else nothing)
    bool removesCovers;       // Remove buttons for the stored covers
    std::span<const FormReturn> returns;
};

inline constexpr std::array<FormReturn, 2> kAddFormReturns{{
    {"MainList", kUnwindToList},
    {"Menu", kUnwindToMenu},
}};

// The movie list's, then each breakdown's.
inline constexpr auto kEditFormReturns = [] {
    std::array<FormReturn, 1 + kGroupKindTable.size()> returns{{{"Master", kUnwindToList}}};
    for (size_t i = 0; i < kGroupKindTable.size(); ++i)
        returns[i + 1] = {kGroupKindTable[i].breakdown.CallingScreen,
                          kGroupKindTable[i].breakdown.returnPoint};
    return returns;
}();

inline constexpr MovieFormMember kAddMovieForm{
    .title = "Add Movie",
    .callingScreen = "Add",
    .notesEntryName = "OverviewTextField",
    .notesButtonName = "OverviewButton",
    .backPasteButtonName = "BackPasteButton",
    .notesReturnPoint = kUnwindToAdd,
    .requiredAsOnAdd = true,
    .yearFirstFourCharacters = true,
    .notesTrimmed = false,
    .emptyRating = "G",
    .emptyNotesClears = false,
    .removesCovers = false,
    .returns = kAddFormReturns,
};

inline constexpr MovieFormMember kEditMovieForm{
    .title = "Edit Movie",
    .callingScreen = "Edit",
    .notesEntryName = "NotesTextField",
    .notesButtonName = "NotesButton",
    .backPasteButtonName = "RearPasteButton",
    .notesReturnPoint = kUnwindToEdit,
    .requiredAsOnAdd = false,
    .yearFirstFourCharacters = false,
    .notesTrimmed = true,
    .emptyRating = "",
    .emptyNotesClears = true,
    .removesCovers = true,
    .returns = kEditFormReturns,
};

// The two covers of a form: the view, its buttons and the attribute they stand for. The back
// cover's Paste button is named by the member.
struct FormCover {
    const char* caption;
    const char* viewName;
    Attribute attribute;
    const char* pasteName;
    const char* folderName;
    const char* cameraName;
    const char* removeName;
    const char* removeTitle;
};

inline constexpr std::array<FormCover, 2> kFormCovers{{
    {"Front Cover", "FrontCoverImage", Attribute::frontImage, "FrontPasteButton",
     "FrontCoverButton", "FrontCameraButton", "FrontRemoveButton", "Remove Front Movie Image"},
    {"Back Cover", "BackCoverImage", Attribute::backImage, nullptr, "BackCoverButton",
     "BackCameraButton", "BackRemoveButton", "Remove Back Movie Image"},
}};

inline constexpr const char* kMovieNotSavedTitle = "Movie Not Saved";
inline constexpr const char* kRequiredFieldsMessage = "Required Fields Labeled in RED Not Entered";

// The entries' texts, indexed by FormField.
using FormTexts = std::array<QString, kFormFieldCount>;

const MovieFormField& formField(FormField field);
bool isRequired(const MovieFormMember& member, FormField field);

// A signed 16-bit decimal: ASCII digits with an optional leading '-', from -32768 to 32767.
std::optional<qint16> readNumber16(const QString& text);

// The numeric entry check: whether an edit that puts `replacement` into the entry is allowed.
// A deletion (empty replacement) always is.
bool acceptsReplacement(FieldInput input, const QString& replacement);

// What refuses a Save; the message goes under kMovieNotSavedTitle. ok when nothing does.
struct FormCheck {
    bool ok = true;
    QString message;
};
// The required entries in the table's order, then the numbers.
FormCheck checkForSave(const MovieFormMember& member, const FormTexts& texts);

// Writes the checked texts into the movie by the table. False when the movie took none of it
// (it was deleted).
bool applyToMovie(const MovieFormMember& member, const FormTexts& texts, Movies& movie);

// What the entries show for a stored movie. The notes entry reads empty for absent notes; the
// caller leaves it unchanged then.
FormTexts textsOf(const Movies& movie);

// The return point for the form's opener; null when the form stays.
const char* returnPointFor(const MovieFormMember& member, const QString& openedFrom);

}  // namespace quillon
