#include "formats/RecordBuilder.h"

#include <algorithm>
#include <map>

namespace quillon::exchange {
namespace {

using T = ColumnTarget;

// What a record sets so far.
struct Draft {
    std::map<Attribute, QString> texts;
    std::optional<qint16> year;
    std::optional<qint16> runTime;
    CoverLoad front;
    CoverLoad back;
    QStringList notesTexts;  // the notes given as notes, first
    QStringList notes;       // then the lines of what found no attribute
    QStringList slotted;     // the names that took an actor or actress slot
    QStringList problems;
};

QString rowText(const QStringList& row) {
    const QStringList rest = row.mid(1);
    const bool hasRest =
        std::any_of(rest.begin(), rest.end(), [](const QString& part) { return !part.isEmpty(); });
    return hasRest ? row.front() + " (" + rest.join(", ") + ")" : row.front();
}

bool hasRoles(const FieldRows& rows) {
    return std::any_of(rows.begin(), rows.end(),
                       [](const QStringList& row) { return row.size() > 1 && !row[1].isEmpty(); });
}

void setText(Draft& d, const QString& title, Attribute a, const QString& value,
             const FieldRows& rows) {
    if (d.texts.contains(a)) {
        d.notes << notesLine(title, rows);  // another column set it first
        return;
    }
    d.texts[a] = value;
    if (a == Attribute::leadingActor1 || a == Attribute::leadingActor2 ||
        a == Attribute::leadingActress1 || a == Attribute::leadingActress2)
        d.slotted << value;
    if (rows.size() > 1 || rows.front().size() > 1) d.notes << notesLine(title, rows);
}

void setNumber(Draft& d, const QString& title, std::optional<qint16>& number,
               std::optional<qint16> value, const FieldRows& rows) {
    if (!value || number) {
        d.notes << notesLine(title, rows);
        return;
    }
    number = value;
    if (rows.size() > 1) d.notes << notesLine(title, rows);
}

void setCover(Draft& d, ColumnTarget side, const QString& reference, const CoverLoader& covers) {
    const char* name = side == T::FrontCover ? "front cover" : "back cover";
    CoverLoad& cover = side == T::FrontCover ? d.front : d.back;
    const auto told = [&](const QString& why) {
        d.problems << QLatin1String(name) + QStringLiteral(" not imported, any stored one kept: ") +
                          why;
    };
    if (!cover.bytes.isEmpty())
        return told(QString("\"%1\": a cover was given before").arg(reference));
    CoverLoad load = covers ? covers(side, reference) : CoverLoad{};
    if (load.bytes.isEmpty())
        return told(load.problem.isEmpty() ? QString("\"%1\" was not found").arg(reference)
                                           : load.problem);
    cover = std::move(load);
}

// Names go into the free slots in order; a name in `elsewhere` has its place in other slots.
void fillSlots(Draft& d, const FieldRows& rows, std::initializer_list<Attribute> places,
               const QStringList& elsewhere) {
    for (const QStringList& row : rows) {
        if (elsewhere.contains(row.front())) continue;
        for (Attribute a : places) {
            if (d.texts.contains(a)) continue;
            d.texts[a] = row.front();
            d.slotted << row.front();
            break;
        }
    }
}

bool allSlotted(const Draft& d, const FieldRows& rows) {
    return std::all_of(rows.begin(), rows.end(),
                       [&](const QStringList& row) { return d.slotted.contains(row.front()); });
}

MovieLine lineOf(const Draft& d) {
    MovieLine line;
    for (const auto& [a, text] : d.texts) line.changes.push_back({a, text});
    if (d.year) line.changes.push_back({Attribute::year, *d.year});
    if (d.runTime) line.changes.push_back({Attribute::runTime, *d.runTime});
    for (const auto& [a, cover] :
         {std::pair{Attribute::frontImage, &d.front}, std::pair{Attribute::backImage, &d.back}}) {
        if (!cover->bytes.isEmpty()) line.changes.push_back({a, cover->bytes, false, cover->small});
    }
    if (const QStringList notes = d.notesTexts + d.notes; !notes.isEmpty())
        line.changes.push_back({Attribute::notes, notes.join(u'\n')});
    const auto text = [&](Attribute a) {
        const auto it = d.texts.find(a);
        return it == d.texts.end() ? QString() : it->second;
    };
    line.name = text(Attribute::name);
    line.director = text(Attribute::director);
    line.year = d.year.value_or(0);  // a movie without a year holds 0
    return line;
}

}  // namespace

QString notesLine(const QString& title, const FieldRows& rows) {
    QStringList values;
    for (const QStringList& row : rows) values << rowText(row);
    return title + ": " + values.join("; ");
}

void RecordBuilder::add(const QString& title, ColumnTarget target, FieldRows rows) {
    FieldRows kept;
    for (QStringList& row : rows) {
        while (!row.isEmpty() && row.back().trimmed().isEmpty()) row.removeLast();
        if (!row.isEmpty() && !row.front().trimmed().isEmpty()) kept << std::move(row);
    }
    if (!kept.isEmpty()) fields_.push_back({title, target, std::move(kept)});
}

RecordBuilder::Built RecordBuilder::build(const CoverLoader& covers) const {
    Draft d;
    QStringList actresses;
    for (const Field& f : fields_) {
        switch (f.target) {
            case T::Cast:
                break;  // after the slots the columns fill themselves, and the actresses
            case T::Actresses:
                for (const QStringList& row : f.rows) actresses << row.front();
                break;
            case T::Ignore:
                if (unmappedInNotes_) d.notes << notesLine(f.title, f.rows);
                break;
            case T::Notes: {
                QStringList texts;
                for (const QStringList& row : f.rows) texts << rowText(row);
                d.notesTexts << texts.join(u'\n');
                break;
            }
            case T::Year:
                setNumber(d, f.title, d.year, readYear(f.rows.front().front()), f.rows);
                break;
            case T::RunTime:
                setNumber(d, f.title, d.runTime, readRunTime(f.rows.front().front()), f.rows);
                break;
            case T::FrontCover:
            case T::BackCover:
                setCover(d, f.target, f.rows.front().front().trimmed(), covers);
                break;
            case T::Rating:
                setText(d, f.title, Attribute::rating, ratingWithoutCountry(f.rows.front().front()),
                        f.rows);
                break;
            default:
                setText(d, f.title, *targetInfo(f.target).attribute, f.rows.front().front(),
                        f.rows);
        }
    }
    for (const Field& f : fields_) {
        if (f.target == T::Actresses)
            fillSlots(d, f.rows, {Attribute::leadingActress1, Attribute::leadingActress2}, {});
    }
    for (const Field& f : fields_) {
        if (f.target == T::Cast)
            fillSlots(d, f.rows, {Attribute::leadingActor1, Attribute::leadingActor2}, actresses);
    }
    for (const Field& f : fields_) {
        const bool slotted = f.target == T::Cast || f.target == T::Actresses;
        if (slotted && (!allSlotted(d, f.rows) || hasRoles(f.rows)))
            d.notes << notesLine(f.title, f.rows);
    }
    Built built{lineOf(d), std::move(d.problems), false};
    built.empty = built.line.changes.empty() && built.problems.isEmpty();
    return built;
}

}  // namespace quillon::exchange
