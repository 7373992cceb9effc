#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>

#include "store/Records.h"

namespace quillon::exchange {

// Where a column of a spreadsheet, or a field of another program's collection, goes.
enum class ColumnTarget {
    Ignore,  // no field: kept in the notes as "Title: value" unless told otherwise
    Name,
    Year,
    Actor1,
    Actor2,
    Actress1,
    Actress2,
    Director,
    Producer,
    Writer,
    Rating,
    RunTime,
    Genre,
    Notes,
    Color,
    Cast,       // names (and roles) filling the two actor slots
    Actresses,  // names filling the two actress slots
    FrontCover,
    BackCover,
};

struct ColumnTargetInfo {
    ColumnTarget target;
    const char* title;  // as the preview offers it; our spreadsheet's header for the attribute
    const char* key;    // for --map: the attribute's name, or a word of its own
    std::optional<Attribute> attribute;
};

// Every target in the order the preview offers them, "(ignore)" first.
std::span<const ColumnTargetInfo> columnTargets();
const ColumnTargetInfo& targetInfo(ColumnTarget target);
// A target by its title or key, case-insensitive ("Run Time", "runTime", "ignore").
std::optional<ColumnTarget> targetNamed(const QString& name);

// What a column means, as its header names it.
struct ColumnMapping {
    ColumnTarget target = ColumnTarget::Ignore;
    // The cell may hold several values ("a; b", "a, b"): the attribute takes the first, the
    // notes the whole list. Our own columns hold one value each, however it reads.
    bool listOfValues = false;
};
// By the header, trimmed and in any case: our own headers and those of other cataloguers.
ColumnMapping knownColumn(const QString& header);

// The columns of our spreadsheet, in order: the form's entries, then the colour mark.
std::span<const ColumnTarget> spreadsheetColumns();

// The values of one cell or field: one row per value, one column per part (a cast row: name,
// role).
using FieldRows = QList<QStringList>;
// A cell as its target reads it. A cast holds rows "Actor:Role|Actor:Role", "Actor::Role; ...",
// or names "a; b" / "a, b"; a list splits at semicolons, or at commas when there are none;
// anything else is one value, untouched.
FieldRows splitCell(const QString& cell, const ColumnMapping& mapping);

// "PG-13 (USA)" -> "PG-13": a rating without the country that some collections add.
QString ratingWithoutCountry(const QString& rating);
// Minutes ("117", "117 min") or hours and minutes ("1:57"); nullopt for anything else.
std::optional<qint16> readRunTime(const QString& text);
// A year alone ("1979", "-5"), or at the start of a date ("1979-05-25", "1979 (USA)").
std::optional<qint16> readYear(const QString& text);

}  // namespace quillon::exchange
