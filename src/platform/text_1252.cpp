#include "text_1252.h"

#include <array>

namespace brisola {

namespace {

// 0x80..0x9F; the rest of Windows-1252 coincides with Latin-1.
// The five unassigned bytes map to themselves, as the system's converter does.
constexpr std::array<char16_t, 32> zona_80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString des_de_1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        text += QChar(b >= 0x80 && b < 0xA0 ? zona_80[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray a_1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += char(u);
            continue;
        }
        char b = '?';
        for (size_t i = 0; i < zona_80.size(); ++i)
            if (zona_80[i] == u) b = char(0x80 + i);
        bytes += b;
    }
    return bytes;
}

} // namespace brisola
