#include "formats/CsvText.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace quillon::exchange {
namespace {

// 0x80 to 0x9F; the five bytes Windows-1252 leaves undefined read as the C1 controls, as
// Latin-1 reads them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr QLatin1StringView kFormulaStarts("=+-@\t\r");

bool isLineEnd(QChar c) {
    return c == u'\n' || c == u'\r';
}

qsizetype leadingApostrophes(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'') ++i;
    return i;
}

bool startsLikeFormulaAt(const QString& text, qsizetype at) {
    return at < text.size() && kFormulaStarts.contains(text[at]);
}

bool needsQuotes(QStringView text, QChar delimiter) {
    return std::any_of(text.begin(), text.end(), [delimiter](QChar c) {
        return c == delimiter || c == u'"' || isLineEnd(c);
    });
}

void appendQuotesDoubled(QString& out, QStringView text) {
    qsizetype from = 0;
    for (qsizetype quote; (quote = text.indexOf(u'"', from)) >= 0; from = quote + 1) {
        out += text.sliced(from, quote + 1 - from);
        out += u'"';
    }
    out += text.sliced(from);
}

}  // namespace

QString windows1252ToString(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto b = quint8(byte);
        *out++ = b >= 0x80 && b < 0xA0 ? QChar(kWindows1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

DecodedText decodeSpreadsheetText(QByteArrayView bytes, TextEncoding encoding) {
    const auto marked = QStringConverter::encodingForData(bytes);
    if (marked && *marked != QStringConverter::Utf8) {
        QStringDecoder wide(*marked);  // drops the byte-order mark
        return {wide.decode(bytes), TextEncoding::Utf8, QString::fromLatin1(wide.name())};
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
    if (encoding != TextEncoding::Windows1252) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError() || encoding == TextEncoding::Utf8)
            return {std::move(text), TextEncoding::Utf8, "UTF-8"};
    }
    return {windows1252ToString(bytes), TextEncoding::Windows1252, "Windows-1252"};
}

QChar guessDelimiter(QStringView text) {
    std::array<int, std::size(kCsvDelimiters)> counts{};
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"') quoted = !quoted;
        if (quoted) continue;
        if (isLineEnd(c)) break;
        for (size_t i = 0; i < counts.size(); ++i) {
            if (c == kCsvDelimiters[i]) ++counts[i];
        }
    }
    size_t best = 0;
    for (size_t i = 1; i < counts.size(); ++i) {
        if (counts[i] > counts[best]) best = i;
    }
    return QChar(kCsvDelimiters[best]);
}

CsvReader::CsvReader(QStringView text, QChar delimiter) : text_(text), delimiter_(delimiter) {}

void CsvReader::skipLineEnd() {
    if (text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n') ++pos_;
    ++pos_;
    ++line_;
}

std::optional<QStringList> CsvReader::next() {
    while (pos_ < text_.size() && isLineEnd(text_[pos_])) skipLineEnd();
    if (pos_ >= text_.size()) return std::nullopt;
    recordLine_ = line_;
    openQuote_ = false;
    QStringList cells;
    while (true) {
        const bool quoted = pos_ < text_.size() && text_[pos_] == u'"';
        cells << (quoted ? quotedCell() : plainCell());
        if (pos_ >= text_.size()) break;
        if (text_[pos_] == delimiter_) {
            ++pos_;
            continue;
        }
        skipLineEnd();
        break;
    }
    return cells;
}

QString CsvReader::quotedCell() {
    QString cell;
    ++pos_;  // the opening quote
    while (true) {
        const qsizetype quote = text_.indexOf(u'"', pos_);
        const QStringView piece = text_.mid(pos_, (quote < 0 ? text_.size() : quote) - pos_);
        for (qsizetype i = 0; i < piece.size(); ++i) {
            if (piece[i] == u'\n' ||
                (piece[i] == u'\r' && (i + 1 == piece.size() || piece[i + 1] != u'\n')))
                ++line_;
        }
        cell += piece;
        if (quote < 0) {
            pos_ = text_.size();
            openQuote_ = true;
            return cell;
        }
        pos_ = quote + 1;
        if (pos_ < text_.size() && text_[pos_] == u'"') {
            cell += u'"';
            ++pos_;
            continue;
        }
        return cell + plainCell();  // anything between the closing quote and the delimiter
    }
}

QString CsvReader::plainCell() {
    const qsizetype start = pos_;
    while (pos_ < text_.size() && text_[pos_] != delimiter_ && !isLineEnd(text_[pos_])) ++pos_;
    return text_.mid(start, pos_ - start).toString();
}

QString guardedCell(const QString& text) {
    return startsLikeFormulaAt(text, leadingApostrophes(text)) ? u'\'' + text : text;
}

QString unguardedCell(const QString& cell) {
    const qsizetype apostrophes = leadingApostrophes(cell);
    return apostrophes > 0 && startsLikeFormulaAt(cell, apostrophes) ? cell.mid(1) : cell;
}

QString csvCell(const QString& text, QChar delimiter) {
    if (!needsQuotes(text, delimiter)) return text;
    QString quoted(u'"');
    appendQuotesDoubled(quoted, text);
    return quoted + u'"';
}

void appendGuardedCsvCell(QString& row, const QString& text, QChar delimiter) {
    const bool guarded = startsLikeFormulaAt(text, leadingApostrophes(text));
    if (!needsQuotes(text, delimiter)) {
        if (guarded) row += u'\'';
        row += text;
        return;
    }
    row += guarded ? QStringView(u"\"'") : QStringView(u"\"");
    appendQuotesDoubled(row, text);
    row += u'"';
}

}  // namespace quillon::exchange
