#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "formats/ColumnMapping.h"
#include "formats/CoverIntake.h"
#include "formats/MovieLine.h"

namespace quillon::exchange {

// Where a cover reference of a record leads: a picture file's path, an image of a collection.
using CoverLoader = std::function<CoverLoad(ColumnTarget side, const QString& reference)>;

// One record of another program's file (a spreadsheet row, a collection's entry), given field by
// field, made into the movie line the applier takes. Nothing is dropped without a word: a value
// that finds no attribute, one that does not read as its number, the values of a list beyond the
// first, a cast that holds more names than the slots or roles, all go into the notes as lines
// "Title: value"; a cover that cannot be loaded is told among the problems. A record without a
// year is keyed by year 0, as a movie without one is stored, so that importing the file again
// updates the movies it added.
class RecordBuilder {
public:
    // `unmappedInNotes`: whether fields without an attribute go into the notes.
    explicit RecordBuilder(bool unmappedInNotes) : unmappedInNotes_(unmappedInNotes) {}

    // Rows without text are passed over.
    void add(const QString& title, ColumnTarget target, FieldRows rows);

    struct Built {
        MovieLine line;
        QStringList problems;  // what the movie left out, told once it is in
        bool empty = true;     // nothing to apply: no value at all
    };
    // Thread-safe: reads only the fields given and what the loader gives.
    Built build(const CoverLoader& covers) const;

private:
    struct Field {
        QString title;
        ColumnTarget target;
        FieldRows rows;
    };
    bool unmappedInNotes_;
    std::vector<Field> fields_;
};

// "Cast: Sigourney Weaver (Ripley); Tom Skerritt (Dallas)"
QString notesLine(const QString& title, const FieldRows& rows);

}  // namespace quillon::exchange
