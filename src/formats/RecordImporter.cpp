#include "formats/RecordImporter.h"

#include <QSet>
#include <algorithm>

#include "formats/ExportFormat.h"
#include "store/Backups.h"

namespace quillon::exchange {
namespace {

// Covers pending in one batch at the most: a batch holds its records' covers until it saves.
constexpr qint64 kBatchCoverBytes = qint64(32) << 20;

QString keyOf(const QString& name, qint16 year, const QString& director) {
    return QString::number(name.size()) + u':' + name + QString::number(year) + u':' + director;
}

qint64 coverBytes(const MovieLine& line) {
    qint64 bytes = 0;
    for (const FieldChange& change : line.changes) {
        if (const auto* cover = std::get_if<QByteArray>(&change.value)) bytes += cover->size();
    }
    return bytes;
}

}  // namespace

QString ImportCounts::summary() const {
    return QString("%1 added, %2 updated, %3 skipped, %4 failed")
        .arg(added)
        .arg(updated)
        .arg(skipped)
        .arg(failed);
}

QString recordLabel(const MovieLine& line) {
    return movieLabel(line.name, line.year ? QString::number(*line.year) : QString("?"));
}

RecordImporter::RecordImporter(ManagedObjectContext& context) : context_(context) {}

bool RecordImporter::apply(MovieLine line, QStringList problems) {
    if (!status_) return false;
    if (dryRun_) return countDryRun(line, problems);
    const std::vector<MoviePtr> matches = findMatches(context_, line);
    if (matches.size() <= 1 && !readyToChange()) return false;
    Pending record{std::move(line), std::move(problems), Outcome::Skipped, MoviePtr()};
    applyToContext(record, matches);
    pendingCoverBytes_ += coverBytes(record.line);
    pending_.push_back(std::move(record));
    if (int(pending_.size()) >= batchSize_ || pendingCoverBytes_ >= kBatchCoverBytes)
        return flush();
    return true;
}

void RecordImporter::fail(const QString& problem) {
    Pending record{MovieLine(), {problem}, Outcome::Unread, MoviePtr()};
    if (pending_.empty())
        count(record);
    else
        pending_.push_back(std::move(record));
}

bool RecordImporter::readyToChange() {
    if (context_.isReadOnly()) {
        status_ = Status::failure(Status::ReadOnly,
                                  "The catalogue is read-only, so nothing was imported");
        return false;
    }
    if (dryRun_ || !backsUpFirst_ || backedUp_) return true;
    if (const Status backup = backups::make(context_, &backupName_); !backup) {
        status_ = Status::failure(
            Status::Refused,
            "The catalogue could not be backed up, so nothing was imported: " + backup.describe());
        return false;
    }
    backedUp_ = true;
    return true;
}

void RecordImporter::applyToContext(Pending& record, const std::vector<MoviePtr>& matches) {
    if (matches.size() > 1) {
        record.outcome = Outcome::Skipped;
        record.movie.reset();
        return;
    }
    AppliedLine applied =
        AppliedLine::apply(context_, record.line, matches.empty() ? nullptr : matches.front());
    record.outcome = applied.inserted() ? Outcome::Added : Outcome::Updated;
    record.movie = applied.movie();
}

// From an index of the movies' keys: a fetch a record would cost the preview of a large file
// against a large catalogue too much.
bool RecordImporter::countDryRun(const MovieLine& line, const QStringList& problems) {
    if (!dryRunKeysMade_) {
        for (const MoviePtr& movie : context_.fetch<Movies>()) {
            ++dryRunKeys_[keyOf(movie->name().value_or(QString()), movie->year(),
                                movie->director().value_or(QString()))];
        }
        dryRunKeysMade_ = true;
    }
    Outcome outcome = Outcome::Added;
    if (line.year) {
        int& movies = dryRunKeys_[keyOf(line.name, *line.year, line.director)];
        outcome = movies == 0 ? Outcome::Added : movies == 1 ? Outcome::Updated : Outcome::Skipped;
        if (movies == 0) movies = 1;
    }
    if (outcome != Outcome::Skipped && !readyToChange()) return false;
    count({line, problems, outcome, MoviePtr()});
    return true;
}

bool RecordImporter::flush() {
    if (pending_.empty()) return status_.ok;
    std::vector<Pending> records = std::move(pending_);
    pending_.clear();
    pendingCoverBytes_ = 0;
    const bool changes = std::any_of(records.begin(), records.end(), [](const Pending& r) {
        return r.outcome != Outcome::Skipped;
    });
    const Status saved = changes ? context_.save() : Status::success();
    if (saved) {
        for (const Pending& record : records) count(record);
        return status_.ok;
    }
    takeBack(records);
    if (records.size() == 1) {
        failRecord(records.front(), saved);
    } else {
        saveOneByOne(std::move(records));
    }
    return status_.ok;
}

void RecordImporter::count(const Pending& record) {
    switch (record.outcome) {
        case Outcome::Skipped:
            ++counts_.skipped;
            return;
        case Outcome::Unread:
            ++counts_.failed;
            problems_ << record.problems;
            return;
        case Outcome::Added:
            ++counts_.added;
            break;
        case Outcome::Updated:
            ++counts_.updated;
            break;
    }
    // The movie is in; what it left out is worth a word.
    const QString label = recordLabel(record.line);
    for (const QString& problem : record.problems) problems_ << label + ": " + problem;
}

// Each movie once, newest change first: a second refresh of a movie this batch inserted would
// bring it back.
void RecordImporter::takeBack(const std::vector<Pending>& records) {
    QSet<quint64> done;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (!it->movie || done.contains(it->movie->objectId())) continue;
        done.insert(it->movie->objectId());
        context_.refreshObject(it->movie);
    }
}

void RecordImporter::saveOneByOne(std::vector<Pending> records) {
    for (Pending& record : records) {
        if (record.outcome == Outcome::Unread) {
            count(record);
            continue;
        }
        applyToContext(record, findMatches(context_, record.line));
        const Status saved =
            record.outcome == Outcome::Skipped ? Status::success() : context_.save();
        if (saved) {
            count(record);
            continue;
        }
        takeBack({record});
        failRecord(record, saved);
    }
}

void RecordImporter::failRecord(const Pending& record, const Status& saved) {
    if (failureLog_) failureLog_(saved.describe());
    ++counts_.failed;
    problems_ << recordLabel(record.line) + ": " + saved.describe();
}

}  // namespace quillon::exchange
