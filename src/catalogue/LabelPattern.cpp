#include "catalogue/LabelPattern.h"

namespace quillon {

namespace {

QString valueText(const Movies& movie, Attribute attribute) {
    if (isNumberAttribute(attribute)) return QString::number(movie.number(attribute));
    const QString* text = movie.textIfPresent(attribute);
    return text ? *text : QString();
}

}  // namespace

QString expandLabel(const char* pattern, const Movies& movie) {
    const QLatin1String text(pattern);
    QString label;
    qsizetype from = 0;
    for (qsizetype open; (open = text.indexOf(QLatin1Char('{'), from)) >= 0;) {
        const qsizetype close = text.indexOf(QLatin1Char('}'), open);
        if (close < 0) break;
        const auto attribute = attributeNamed(text.sliced(open + 1, close - open - 1));
        Q_ASSERT(attribute);  // the patterns are the tables' own
        label += text.sliced(from, open - from);
        if (attribute) label += valueText(movie, *attribute);
        from = close + 1;
    }
    return label + text.sliced(from);
}

QString readOutOfLines(const QStringList& lines) {
    QStringList sentences;
    for (const QString& line : lines) {
        QString sentence = line.trimmed();
        while (sentence.endsWith(QLatin1Char(','))) sentence = sentence.chopped(1).trimmed();
        // A caption whose values are all absent says nothing.
        if (sentence.isEmpty() || sentence.endsWith(QLatin1Char(':'))) continue;
        if (!sentence.endsWith(QLatin1Char('.'))) sentence += QLatin1Char('.');
        sentences << sentence;
    }
    return sentences.join(QLatin1Char(' '));
}

}  // namespace quillon
