// Notes are read lazily; an export of every movie reads them all in one query, and each movie
// still gets its own, in every format.
#include "InterchangeTestUtil.h"

namespace quillon::test {
namespace {

using exchange::FileFormat;

// The export order (by name) is not the order of the rows, so notes given to the wrong row show.
struct Noted {
    const char* name;
    std::optional<QString> notes;
};
const Noted kNoted[] = {
    {"Zulu", QString("Notes of Zulu\nsecond line")},
    {"Absent", std::nullopt},
    {"Empty", QString("")},
    {"Middle", QString("Notes of \"Middle\"; with, separators")},
    {"Alpha", QString("Notes of Alpha")},
};

TEST(ExportNotes, EveryFormatReadsTheSavedNotesAtOnceAndGivesEachMovieItsOwn) {
    AppFixture source;
    for (const Noted& noted : kNoted) {
        insertMovie(source.context(), noted.name, 2000, "Ann")
            ->setText(Attribute::notes, noted.notes);
    }
    ASSERT_TRUE(source.context().save().ok);

    for (const FileFormat format : {FileFormat::Quillon, FileFormat::Csv, FileFormat::Tellico}) {
        SCOPED_TRACE(exchange::formatKey(format).toStdString());
        source.restart();  // the saved notes are unread again
        ManagedObjectContext& context = source.context();
        movieNamed(context, "Alpha")->setText(Attribute::notes, QString("Changed, not saved"));
        const int readsBefore = context.notesReadsForTesting();

        const Exported exported = exportAs(format, context);
        ASSERT_TRUE(exported.status.ok) << exported.status.describe().toStdString();
        EXPECT_EQ(context.notesReadsForTesting(), readsBefore + 1) << "one query for every movie";
        for (const Noted& noted : kNoted) {
            const OptionalText notes = movieNamed(context, noted.name)->text(Attribute::notes);
            if (QLatin1String(noted.name) == "Alpha")
                EXPECT_EQ(notes, QString("Changed, not saved"));
            else
                EXPECT_EQ(notes, noted.notes) << noted.name << ": absent and empty stay apart";
        }

        AppFixture target;
        ASSERT_TRUE(importWith(target.context(), exported.bytes).status.ok);
        for (const Noted& noted : kNoted) {
            const MoviePtr movie = movieNamed(target.context(), noted.name);
            ASSERT_TRUE(movie) << noted.name;
            const QString expected = QLatin1String(noted.name) == "Alpha"
                                         ? QString("Changed, not saved")
                                         : noted.notes.value_or(QString());
            EXPECT_EQ(movie->text(Attribute::notes).value_or(QString()), expected) << noted.name;
        }
    }
}

}  // namespace
}  // namespace quillon::test
