#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <optional>

#include "store/Records.h"

namespace quillon::exchange {

inline constexpr char kHeaderLine[] = "[QUILLON]";
inline constexpr char kFileName[] = "Quillon.csv";
inline constexpr char kSeparator = '^';
inline constexpr int kFieldCount = 16;
inline constexpr int kRunTimeField = 11;
inline constexpr int kYearField = 13;
inline constexpr int kNameField = 7;
inline constexpr int kDirectorField = 1;
inline constexpr int kFrontImageField = 14;
inline constexpr int kBackImageField = 15;
inline constexpr int kJpegQuality = 60;  // quality 0.6 on Qt's 0-100 scale
// The longest line an import reads. The largest cover is 12000 x 12000 pixels; at quality 60
// even noise takes 3.8 bits a pixel: 69 MB of JPEG, 91 MB of Base64, so two such covers make a
// line of about 183 MB. No export writes a longer line.
inline constexpr qsizetype kMaxLineBytes = qsizetype(256) << 20;

// The attribute behind each field index of a movie line. imdb never travels.
inline constexpr std::array<Attribute, kFieldCount> kFieldAttributes = {
    Attribute::color_blackwhite, Attribute::director,      Attribute::genre,
    Attribute::leadingActor1,    Attribute::leadingActor2, Attribute::leadingActress1,
    Attribute::leadingActress2,  Attribute::name,          Attribute::notes,
    Attribute::producer,         Attribute::rating,        Attribute::runTime,
    Attribute::writer,           Attribute::year,          Attribute::frontImage,
    Attribute::backImage,
};

// A text holding one of these would split its record.
bool needsEscaping(const QString& text);
// Backslash escapes: "\\" backslash, "\n" line feed, "\r" carriage return, "\c" caret. Only
// texts of an escaped line go through these; every other text is written as it is.
QString escapeText(const QString& text);
QString unescapeText(const QString& text);

// A field or line of a file read as UTF-8; a text that is not valid UTF-8 is read as Latin-1.
QString decodeText(QByteArrayView bytes);

// A number field as written: plain decimal, or with one leading zero when the line's texts are
// escaped ("0120", "00", "-07"). Readers of the plain format read both as the same number.
QByteArray numberField(qint16 value, bool escapedLine);
bool marksEscapedLine(QByteArrayView runTimeField);
// Optional "+" or "-", then decimal digits only, within -32768..32767.
std::optional<qint16> readNumber(QByteArrayView field);

// How results name a movie: "Alien (1979)".
QString movieLabel(const QString& name, const QString& year);

}  // namespace quillon::exchange
