#include "formats/ExportFormat.h"

#include <QStringConverter>

namespace quillon::exchange {

bool needsEscaping(const QString& text) {
    for (QChar c : text) {
        if (c == u'\n' || c == u'\r' || c == u'^') return true;
    }
    return false;
}

QString escapeText(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
            case u'\\':
                out += u"\\\\";
                break;
            case u'\n':
                out += u"\\n";
                break;
            case u'\r':
                out += u"\\r";
                break;
            case u'^':
                out += u"\\c";
                break;
            default:
                out += c;
        }
    }
    return out;
}

QString unescapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        switch (text[i + 1].unicode()) {
            case u'\\':
                out += u'\\';
                break;
            case u'n':
                out += u'\n';
                break;
            case u'r':
                out += u'\r';
                break;
            case u'c':
                out += u'^';
                break;
            default:
                out += c;
                continue;  // not an escape: keep the backslash as text
        }
        ++i;
    }
    return out;
}

QString decodeText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}

QByteArray numberField(qint16 value, bool escapedLine) {
    QByteArray digits = QByteArray::number(qAbs(int(value)));
    if (escapedLine) digits.prepend('0');
    return value < 0 ? '-' + digits : digits;
}

// The sign stays on for the range check: "-032768" is in range, "032768" is not.
bool marksEscapedLine(QByteArrayView field) {
    const QByteArrayView digits = field.startsWith('-') ? field.sliced(1) : field;
    return digits.size() >= 2 && digits.front() == '0' && readNumber(field).has_value();
}

std::optional<qint16> readNumber(QByteArrayView field) {
    bool negative = false;
    if (!field.isEmpty() && (field.front() == '+' || field.front() == '-')) {
        negative = field.front() == '-';
        field = field.sliced(1);
    }
    if (field.isEmpty()) return std::nullopt;
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 32768) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 32767) return std::nullopt;
    return qint16(value);
}

QString movieLabel(const QString& name, const QString& year) {
    return QString("%1 (%2)").arg(name.isEmpty() ? QString("A movie without a name") : name, year);
}

}  // namespace quillon::exchange
