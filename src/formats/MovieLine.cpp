#include "formats/MovieLine.h"

#include "formats/CoverCodec.h"
#include "formats/ExportFormat.h"

namespace quillon::exchange {
namespace {

std::vector<QByteArrayView> splitFields(QByteArrayView line) {
    std::vector<QByteArrayView> fields;
    qsizetype pos = 0;
    while (int(fields.size()) < kFieldCount) {
        const qsizetype caret = line.indexOf(kSeparator, pos);
        if (caret < 0) {
            fields.push_back(line.sliced(pos));
            break;
        }
        fields.push_back(line.sliced(pos, caret - pos));
        pos = caret + 1;
    }
    return fields;
}

QString textOf(QByteArrayView field, bool escaped) {
    const QString text = decodeText(field);
    return escaped ? unescapeText(text) : text;
}

std::optional<FieldChange> changeOf(Attribute a, QByteArrayView field, bool escaped,
                                    QStringList& coverProblems) {
    if (field.isEmpty()) return std::nullopt;
    if (isTextAttribute(a)) return FieldChange{a, textOf(field, escaped)};
    if (isNumberAttribute(a)) {
        const auto number = readNumber(field);
        return FieldChange{a, number.value_or(0), !number.has_value()};
    }
    // A cover that does not decode changes nothing: never lose a stored cover to a bad field.
    QString problem;
    if (auto bytes = decodeCoverField(field, &problem)) return FieldChange{a, std::move(*bytes)};
    const char* side = a == Attribute::frontImage ? "front" : "back";
    coverProblems << QLatin1String(side) +
                         QStringLiteral(" cover not imported, any stored one kept: ") + problem;
    return std::nullopt;
}

bool keyTextMatches(const OptionalText& stored, const QString& key) {
    return key.isEmpty() ? stored.value_or(QString()).isEmpty() : stored == key;
}

}  // namespace

MovieLine readMovieLine(QByteArrayView text) {
    const std::vector<QByteArrayView> fields = splitFields(text);
    const bool escaped =
        int(fields.size()) > kRunTimeField && marksEscapedLine(fields[kRunTimeField]);
    MovieLine line;
    for (int index = 0; index < int(fields.size()); ++index) {
        if (auto change =
                changeOf(kFieldAttributes[index], fields[index], escaped, line.coverProblems)) {
            line.changes.push_back(std::move(*change));
        }
    }
    if (int(fields.size()) > kNameField) line.name = textOf(fields[kNameField], escaped);
    if (int(fields.size()) > kDirectorField)
        line.director = textOf(fields[kDirectorField], escaped);
    if (int(fields.size()) > kYearField) line.year = readNumber(fields[kYearField]);
    return line;
}

std::vector<MoviePtr> findMatches(const ManagedObjectContext& context, const MovieLine& line) {
    if (!line.year) return {};
    std::vector<Predicate::Test> tests{{Attribute::year, QString::number(*line.year)}};
    if (!line.name.isEmpty()) tests.push_back({Attribute::name, line.name});
    if (!line.director.isEmpty()) tests.push_back({Attribute::director, line.director});
    std::vector<MoviePtr> found = context.fetch<Movies>(Predicate::all(std::move(tests)));
    if (line.name.isEmpty() || line.director.isEmpty()) {
        std::erase_if(found, [&](const MoviePtr& movie) {
            return !keyTextMatches(movie->name(), line.name) ||
                   !keyTextMatches(movie->director(), line.director);
        });
    }
    return found;
}

AppliedLine AppliedLine::apply(ManagedObjectContext& context, const MovieLine& line,
                               MoviePtr existing) {
    AppliedLine applied;
    applied.inserted_ = !existing;
    applied.movie_ = existing ? std::move(existing) : Movies::insertInto(context);
    for (const FieldChange& change : line.changes) {
        if (change.onlyOnExisting && applied.inserted_) continue;
        applied.change(change);
    }
    return applied;
}

void AppliedLine::change(const FieldChange& change) {
    Movies& movie = *movie_;
    const Attribute a = change.attribute;
    if (const auto* text = std::get_if<QString>(&change.value)) {
        movie.setText(a, *text);
    } else if (const auto* number = std::get_if<qint16>(&change.value)) {
        movie.setNumber(a, *number);
    } else {
        const QByteArray& bytes = std::get<QByteArray>(change.value);
        // Same bytes as stored: nothing to write again.
        if (movie.hasImage(a) && movie.imageSize(a) == bytes.size() && movie.image(a) == bytes)
            return;
        movie.setImage(a, bytes, change.small);
    }
}

}  // namespace quillon::exchange
