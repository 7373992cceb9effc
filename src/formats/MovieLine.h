#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

#include "store/CatalogueStore.h"
#include "store/Records.h"

namespace quillon::exchange {

// What one field of a line sets. A number field that does not read clears the number of an
// existing movie and leaves a new one alone (onlyOnExisting).
struct FieldChange {
    Attribute attribute;
    std::variant<QString, qint16, QByteArray> value;
    bool onlyOnExisting = false;
    std::optional<SmallCover> small = std::nullopt;  // of a cover, when made ahead
};

// One movie line, read: its duplicate key and the changes of its non-empty fields. Fields past
// the sixteenth are ignored; a short line makes the changes of the fields it has.
struct MovieLine {
    QString name;
    QString director;
    std::optional<qint16> year;  // nullopt when absent or unreadable: then nothing matches
    std::vector<FieldChange> changes;
    // Why a cover field was left out (the stored cover is kept): "front cover: reason".
    QStringList coverProblems;
};
MovieLine readMovieLine(QByteArrayView line);

// The movies with the line's name, year and director. An empty key text also matches a movie
// whose text is absent, so a movie exported without a director finds itself again.
std::vector<MoviePtr> findMatches(const ManagedObjectContext& context, const MovieLine& line);

// One line applied to one movie, so that it can be taken back after a failed save.
class AppliedLine {
public:
    // Inserts a new movie when `existing` is null. Values equal to the stored ones are left
    // alone, so a file imported twice changes nothing the second time.
    static AppliedLine apply(ManagedObjectContext& context, const MovieLine& line,
                             MoviePtr existing);
    bool inserted() const { return inserted_; }
    const MoviePtr& movie() const { return movie_; }
    // Restores the saved values, or removes the movie this line inserted.
    void undo(ManagedObjectContext& context) { context.refreshObject(movie_); }

private:
    void change(const FieldChange& change);

    MoviePtr movie_;
    bool inserted_ = false;
};

}  // namespace quillon::exchange
