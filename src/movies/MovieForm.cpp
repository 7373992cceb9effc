#include "movies/MovieForm.h"

#include <QList>

#include "store/TextTrim.h"

namespace quillon {

namespace {

constexpr QLatin1String kDecimalCharacters(".0123456789");

// The text Save reads as the number; the add form keeps only the first four characters of a
// year.
QString numberText(const MovieFormMember& member, const MovieFormField& f, const QString& text) {
    if (f.conversion == Conversion::Year && member.yearFirstFourCharacters) return text.left(4);
    return text;
}

bool isNumber(const MovieFormField& f) {
    return f.conversion == Conversion::Year || f.conversion == Conversion::Number16;
}

}  // namespace

const MovieFormField& formField(FormField field) {
    const MovieFormField& f = kMovieFormFields[size_t(field)];
    Q_ASSERT(f.field == field);
    return f;
}

bool isRequired(const MovieFormMember& member, FormField field) {
    const MovieFormField& f = formField(field);
    return member.requiredAsOnAdd ? f.requiredOnAdd : f.requiredOnEdit;
}

std::optional<qint16> readNumber16(const QString& text) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QStringView digits = QStringView(text).mid(negative ? 1 : 0);
    if (digits.isEmpty()) return std::nullopt;
    int value = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > 32768) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 32767) return std::nullopt;
    return qint16(value);
}

bool acceptsReplacement(FieldInput input, const QString& replacement) {
    switch (input) {
        case FieldInput::Digits:
            // Whole code points: the digit class has digits beyond the 16-bit range too.
            for (const char32_t c : replacement.toUcs4())
                if (!QChar::isDigit(c)) return false;
            return true;
        case FieldInput::Decimal:
            for (const QChar c : replacement)
                if (!kDecimalCharacters.contains(c)) return false;
            return true;
        default:
            return true;
    }
}

FormCheck checkForSave(const MovieFormMember& member, const FormTexts& texts) {
    for (const MovieFormField& f : kMovieFormFields) {
        if (!isRequired(member, f.field) || !texts[size_t(f.field)].isEmpty()) continue;
        // The add form names no field: its labels in red say which.
        if (member.requiredAsOnAdd) return {false, kRequiredFieldsMessage};
        return {false, QStringLiteral("%1 Not Entered").arg(QLatin1String(f.caption))};
    }
    for (const MovieFormField& f : kMovieFormFields) {
        const QString& text = texts[size_t(f.field)];
        if (!isNumber(f) || text.isEmpty() || readNumber16(numberText(member, f, text))) continue;
        return {false, QStringLiteral("%1 Must Be a Whole Number from -32768 to 32767")
                           .arg(QLatin1String(f.caption))};
    }
    return {};
}

bool applyToMovie(const MovieFormMember& member, const FormTexts& texts, Movies& movie) {
    bool applied = true;
    for (const MovieFormField& f : kMovieFormFields) {
        const QString& text = texts[size_t(f.field)];
        if (text.isEmpty()) {
            if (f.field == FormField::Rating)
                applied &= movie.setText(f.attribute, QString::fromLatin1(member.emptyRating));
            else if (f.field == FormField::Notes && member.emptyNotesClears)
                applied &= movie.setText(f.attribute, QString(""));
            continue;  // anything else empty is not written
        }
        switch (f.conversion) {
            case Conversion::Trimmed:
                applied &= movie.setText(f.attribute, trimmedEntryText(text));
                break;
            case Conversion::Notes:
                applied &=
                    movie.setText(f.attribute, member.notesTrimmed ? trimmedEntryText(text) : text);
                break;
            case Conversion::Year:
            case Conversion::Number16: {
                const std::optional<qint16> number = readNumber16(numberText(member, f, text));
                Q_ASSERT(number);  // checkForSave refused the text otherwise
                applied &= movie.setNumber(f.attribute, number.value_or(0));
                break;
            }
        }
    }
    return applied;
}

FormTexts textsOf(const Movies& movie) {
    FormTexts texts;
    for (const MovieFormField& f : kMovieFormFields) {
        QString& text = texts[size_t(f.field)];
        if (f.attribute == Attribute::year) {
            text = QString::number(movie.year());
        } else if (f.attribute == Attribute::runTime) {
            // A run time below 1 is shown as none.
            if (movie.runTime() >= 1) text = QString::number(movie.runTime());
        } else {
            text = movie.text(f.attribute).value_or(QString());
        }
    }
    return texts;
}

const char* returnPointFor(const MovieFormMember& member, const QString& openedFrom) {
    for (const FormReturn& r : member.returns)
        if (openedFrom == QLatin1String(r.openedFrom)) return r.returnPoint;
    return nullptr;
}

}  // namespace quillon
