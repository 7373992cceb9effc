#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace quillon::exchange {

// How the bytes of a spreadsheet file become text. Automatic reads UTF-8, and Windows-1252 when
// the bytes are not valid UTF-8; a UTF-16 or UTF-32 byte-order mark wins over any choice.
enum class TextEncoding { Automatic, Utf8, Windows1252 };

struct DecodedText {
    QString text;  // without its byte-order mark
    TextEncoding used = TextEncoding::Utf8;
    QString encodingName;  // "UTF-8", "Windows-1252", "UTF-16"...
};
DecodedText decodeSpreadsheetText(QByteArrayView bytes, TextEncoding encoding);
QString windows1252ToString(QByteArrayView bytes);

// The delimiters a header line is tried with, in the order that breaks a tie.
inline constexpr char16_t kCsvDelimiters[] = {u',', u';', u'\t', u'|'};
// The one of kCsvDelimiters that occurs most often outside quotes in the first line of `text`; a
// comma when none does.
QChar guessDelimiter(QStringView text);

// The records of RFC 4180 text: cells split at the delimiter outside quotes, records at CR LF,
// LF or CR outside quotes; a quoted cell keeps delimiters, line breaks and doubled quotes (read
// as one). A quote inside an unquoted cell, or after a quoted cell's closing quote, is kept as
// text. Blank lines are passed over. The last record needs no line end. The text must outlive
// the reader.
class CsvReader {
public:
    CsvReader(QStringView text, QChar delimiter);

    // The next record; nullopt at the end of the text.
    std::optional<QStringList> next();
    // The line the record that next() returned began on, from 1.
    int line() const { return recordLine_; }
    // True when that record ran into the end of the text inside a quoted cell: a file cut short.
    bool endedInsideQuotes() const { return openQuote_; }
    // Where the reading stands, in characters of the text.
    qsizetype position() const { return pos_; }

private:
    void skipLineEnd();
    QString quotedCell();
    QString plainCell();

    QStringView text_;
    QChar delimiter_;
    qsizetype pos_ = 0;
    int line_ = 1;
    int recordLine_ = 0;
    bool openQuote_ = false;
};

// A cell that a spreadsheet would run as a formula (it begins with =, +, -, @, tab or CR), or
// one that looks so after leading apostrophes, is written with one more apostrophe in front;
// the reader takes exactly that one away again. Together they give back every text.
QString guardedCell(const QString& text);
QString unguardedCell(const QString& cell);

// One cell as RFC 4180 writes it: quoted when it holds the delimiter, a quote, CR or LF, its
// quotes doubled.
QString csvCell(const QString& text, QChar delimiter);
// csvCell(guardedCell(text)) appended to `row` without copies: an export writes millions.
void appendGuardedCsvCell(QString& row, const QString& text, QChar delimiter);

}  // namespace quillon::exchange
