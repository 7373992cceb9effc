#include "formats/Base64.h"

#include <array>

namespace quillon::exchange {
namespace {

constexpr quint8 kInvalid = 0xFF;

constexpr std::array<quint8, 256> makeTable() {
    std::array<quint8, 256> table{};
    table.fill(kInvalid);
    constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i) table[quint8(alphabet[i])] = quint8(i);
    return table;
}
constexpr auto kTable = makeTable();

int paddingOf(QByteArrayView text) {
    if (text.endsWith("==")) return 2;
    return text.endsWith('=') ? 1 : 0;
}

}  // namespace

std::optional<QByteArray> decodeBase64(QByteArrayView text) {
    if (text.size() % 4 != 0) return std::nullopt;
    const int padding = paddingOf(text);
    QByteArray out(text.size() / 4 * 3 - padding, Qt::Uninitialized);
    auto* in = reinterpret_cast<const quint8*>(text.data());
    auto* dst = reinterpret_cast<quint8*>(out.data());
    const qsizetype fullQuads = text.size() / 4 - (padding ? 1 : 0);
    for (qsizetype q = 0; q < fullQuads; ++q, in += 4, dst += 3) {
        const quint32 a = kTable[in[0]], b = kTable[in[1]], c = kTable[in[2]], d = kTable[in[3]];
        if ((a | b | c | d) & 0x80) return std::nullopt;
        const quint32 bits = a << 18 | b << 12 | c << 6 | d;
        dst[0] = quint8(bits >> 16);
        dst[1] = quint8(bits >> 8);
        dst[2] = quint8(bits);
    }
    if (padding) {
        const quint32 a = kTable[in[0]], b = kTable[in[1]];
        const quint32 c = padding == 1 ? kTable[in[2]] : 0;
        if ((a | b | c) & 0x80) return std::nullopt;
        const quint32 bits = a << 18 | b << 12 | c << 6;
        dst[0] = quint8(bits >> 16);
        if (padding == 1) dst[1] = quint8(bits >> 8);
    }
    return out;
}

}  // namespace quillon::exchange
