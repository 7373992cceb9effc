#include "store/TextTrim.h"

namespace quillon {

namespace {
bool isHorizontalSpace(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}
}  // namespace

QString trimmedEntryText(const QString& text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && isHorizontalSpace(text.at(first))) ++first;
    while (end > first && isHorizontalSpace(text.at(end - 1))) --end;
    return text.mid(first, end - first);
}

}  // namespace quillon
