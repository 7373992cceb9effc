#include "formats/DisplayText.h"

#include <QStringConverter>

#include "formats/CoverCodec.h"
#include "formats/ExportFormat.h"

namespace quillon::exchange {
namespace {

// Shorter cover fields are shown as they are: a marker would hide nothing worth hiding.
constexpr qsizetype kShortestMarkedCover = 64;

qsizetype fieldStart(QByteArrayView line, int index) {
    qsizetype pos = 0;
    for (int i = 0; i < index; ++i) {
        pos = line.indexOf(kSeparator, pos);
        if (pos < 0) return -1;
        ++pos;
    }
    return pos;
}

}  // namespace

QString displayLine(QByteArrayView line) {
    const qsizetype coversStart = fieldStart(line, kFrontImageField);
    if (coversStart < 0) return decodeText(line);
    QString shown = decodeText(line.first(coversStart));
    qsizetype pos = coversStart;
    for (int index = kFrontImageField; pos <= line.size(); ++index) {
        qsizetype end = line.indexOf(kSeparator, pos);
        if (end < 0) end = line.size();
        const QByteArrayView field = line.sliced(pos, end - pos);
        const bool isCover = index <= kBackImageField && field.size() >= kShortestMarkedCover;
        shown += isCover ? coverMarker(index, field.size()) : decodeText(field);
        if (end == line.size()) break;
        shown += QChar(kSeparator);
        pos = end + 1;
    }
    return shown;
}

QString displayText(const QByteArray& fileBytes) {
    QByteArray bytes = fileBytes;  // implicitly shared: no copy unless converted
    if (const auto encoding = QStringConverter::encodingForData(bytes);
        encoding && *encoding != QStringConverter::Utf8) {
        bytes = QString(QStringDecoder(*encoding).decode(bytes)).toUtf8();
    }
    const QByteArrayView text(bytes);
    QString shown;
    qsizetype pos = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0) end = text.size();
        QByteArrayView line = text.sliced(pos, end - pos);
        if (line.endsWith('\r')) line.chop(1);
        shown += displayLine(line);
        if (end < text.size()) shown += u'\n';
        pos = end + 1;
    }
    return shown;
}

QString shortList(const QStringList& lines, int shown) {
    QString text = lines.mid(0, shown).join(u'\n');
    if (lines.size() > shown) text += QString("\n... and %1 more").arg(lines.size() - shown);
    return text;
}

}  // namespace quillon::exchange
