#include "store/TextSearch.h"

namespace quillon {

namespace {

// Latin-1 capitals lower-case by adding 0x20 (0xD7, the multiplication sign, is no letter).
inline bool isLatin1Capital(char16_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

}  // namespace

QString lowerCased(const QString& text) {
    const char16_t* data = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    bool hasCapital = false;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i];
        if (c > 0xFF) return text.toLower();
        hasCapital = hasCapital || isLatin1Capital(c);
    }
    if (!hasCapital) return text;  // shares the data, no copy
    QString lowered(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(lowered.data());
    for (qsizetype i = 0; i < size; ++i)
        out[i] = isLatin1Capital(data[i]) ? char16_t(data[i] + 0x20) : data[i];
    return lowered;
}

}  // namespace quillon
