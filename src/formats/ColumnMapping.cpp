#include "formats/ColumnMapping.h"

#include <QRegularExpression>

#include "formats/ExportFormat.h"

namespace quillon::exchange {
namespace {

using T = ColumnTarget;

constexpr ColumnTargetInfo kTargets[] = {
    {T::Ignore, "(ignore)", "ignore", std::nullopt},
    {T::Name, "Movie Name", "name", Attribute::name},
    {T::Year, "Year", "year", Attribute::year},
    {T::Actor1, "Leading Actor", "leadingActor1", Attribute::leadingActor1},
    {T::Actor2, "Second Actor", "leadingActor2", Attribute::leadingActor2},
    {T::Actress1, "Leading Actress", "leadingActress1", Attribute::leadingActress1},
    {T::Actress2, "Second Actress", "leadingActress2", Attribute::leadingActress2},
    {T::Director, "Director", "director", Attribute::director},
    {T::Producer, "Producer", "producer", Attribute::producer},
    {T::Writer, "Writer", "writer", Attribute::writer},
    {T::Rating, "Rating", "rating", Attribute::rating},
    {T::RunTime, "Run Time", "runTime", Attribute::runTime},
    {T::Genre, "Genre", "genre", Attribute::genre},
    {T::Notes, "Notes", "notes", Attribute::notes},
    {T::Color, "Color", "color_blackwhite", Attribute::color_blackwhite},
    {T::Cast, "Cast", "cast", std::nullopt},
    {T::Actresses, "Actresses", "actresses", std::nullopt},
    {T::FrontCover, "Front Cover", "frontImage", Attribute::frontImage},
    {T::BackCover, "Back Cover", "backImage", Attribute::backImage},
};

constexpr ColumnTarget kSpreadsheetColumns[] = {
    T::Name,     T::Year,   T::Actor1, T::Actor2,  T::Actress1, T::Actress2, T::Director,
    T::Producer, T::Writer, T::Rating, T::RunTime, T::Genre,    T::Notes,    T::Color,
};

struct KnownHeader {
    const char* header;  // lower case
    ColumnTarget target;
    bool listOfValues;
};

// Besides our own titles (kTargets), the headers other cataloguers' spreadsheets use.
constexpr KnownHeader kKnownHeaders[] = {
    {"title", T::Name, false},        {"name", T::Name, false},
    {"movie", T::Name, false},        {"production year", T::Year, false},
    {"release year", T::Year, false}, {"running time", T::RunTime, false},
    {"run time", T::RunTime, false},  {"runtime", T::RunTime, false},
    {"length", T::RunTime, false},    {"director(s)", T::Director, true},
    {"directors", T::Director, true}, {"producer(s)", T::Producer, true},
    {"producers", T::Producer, true}, {"writer(s)", T::Writer, true},
    {"writers", T::Writer, true},     {"genre(s)", T::Genre, true},
    {"genres", T::Genre, true},       {"certification", T::Rating, false},
    {"rated", T::Rating, false},      {"mpaa rating", T::Rating, false},
    {"actors", T::Cast, false},       {"starring", T::Cast, false},
    {"comments", T::Notes, false},    {"color mode", T::Color, false},
    {"colour", T::Color, false},      {"cover", T::FrontCover, false},
};

QStringList trimmedPieces(const QString& text, const QString& separator) {
    QStringList pieces;
    for (const QString& piece : text.split(separator)) {
        const QString trimmed = piece.trimmed();
        if (!trimmed.isEmpty()) pieces << trimmed;
    }
    return pieces;
}

// "Actor::Role" or "Actor:Role": a name and its role.
QStringList castRow(const QString& text) {
    const qsizetype doubled = text.indexOf(QStringLiteral("::"));
    const qsizetype colon = doubled >= 0 ? doubled : text.indexOf(u':');
    if (colon < 0) return {text};
    const QString role = text.mid(colon + (doubled >= 0 ? 2 : 1)).trimmed();
    QStringList row{text.left(colon).trimmed()};
    if (!role.isEmpty()) row << role;
    return row;
}

FieldRows castRows(const QString& cell) {
    QString separator = QStringLiteral(",");
    if (cell.contains(u'|'))
        separator = QStringLiteral("|");
    else if (cell.contains(u';'))
        separator = QStringLiteral(";");
    FieldRows rows;
    for (const QString& piece : trimmedPieces(cell, separator)) rows << castRow(piece);
    return rows;
}

}  // namespace

std::span<const ColumnTargetInfo> columnTargets() {
    return kTargets;
}

const ColumnTargetInfo& targetInfo(ColumnTarget target) {
    const ColumnTargetInfo& info = kTargets[size_t(target)];
    Q_ASSERT(info.target == target);
    return info;
}

std::optional<ColumnTarget> targetNamed(const QString& name) {
    const QString wanted = name.trimmed();
    for (const ColumnTargetInfo& info : kTargets) {
        if (wanted.compare(QLatin1String(info.title), Qt::CaseInsensitive) == 0 ||
            wanted.compare(QLatin1String(info.key), Qt::CaseInsensitive) == 0)
            return info.target;
    }
    return std::nullopt;
}

ColumnMapping knownColumn(const QString& header) {
    const QString wanted = header.trimmed().toLower();
    for (const ColumnTargetInfo& info : kTargets) {
        if (info.target != T::Ignore && wanted == QLatin1String(info.title).toString().toLower())
            return {info.target, false};
    }
    for (const KnownHeader& known : kKnownHeaders) {
        if (wanted == QLatin1String(known.header)) return {known.target, known.listOfValues};
    }
    return {};
}

std::span<const ColumnTarget> spreadsheetColumns() {
    return kSpreadsheetColumns;
}

FieldRows splitCell(const QString& cell, const ColumnMapping& mapping) {
    if (cell.isEmpty()) return {};
    if (mapping.target == T::Cast || mapping.target == T::Actresses) return castRows(cell);
    if (!mapping.listOfValues) return {{cell}};
    FieldRows rows;
    for (const QString& piece :
         trimmedPieces(cell, cell.contains(u';') ? QStringLiteral(";") : QStringLiteral(",")))
        rows << QStringList{piece};
    return rows;
}

QString ratingWithoutCountry(const QString& rating) {
    static const QRegularExpression country(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QString trimmed = QString(rating).remove(country);
    return trimmed.isEmpty() ? rating : trimmed;
}

std::optional<qint16> readRunTime(const QString& text) {
    static const QRegularExpression minutes(QStringLiteral("^(\\d+)\\s*(min|mins|minutes)?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression hours(QStringLiteral("^(\\d+):([0-5]\\d)$"));
    const QString trimmed = text.trimmed();
    if (const auto number = readNumber(trimmed.toUtf8())) return number;
    int total = -1;
    if (const auto m = minutes.match(trimmed); m.hasMatch()) {
        total = m.captured(1).size() <= 5 ? m.captured(1).toInt() : -1;
    } else if (const auto h = hours.match(trimmed); h.hasMatch()) {
        total = h.captured(1).size() <= 3 ? h.captured(1).toInt() * 60 + h.captured(2).toInt() : -1;
    }
    if (total < 0 || total > 32767) return std::nullopt;
    return qint16(total);
}

std::optional<qint16> readYear(const QString& text) {
    static const QRegularExpression dated(QStringLiteral("^(\\d{4})(?:[-/ (.].*)?$"));
    const QString trimmed = text.trimmed();
    if (const auto number = readNumber(trimmed.toUtf8())) return number;
    if (const auto m = dated.match(trimmed); m.hasMatch()) return qint16(m.captured(1).toInt());
    return std::nullopt;
}

}  // namespace quillon::exchange
