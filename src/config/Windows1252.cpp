#include "config/Windows1252.h"

#include <array>

namespace config::windows1252 {

namespace {

// Bytes 80..9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
    0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };

} // namespace

QString decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
    return text;
}

std::optional<QByteArray> encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += static_cast<char>(u);
            continue;
        }
        int found = -1;
        for (int i = 0; i < int(kHigh.size()); ++i) {
            if (kHigh[i] == u) {
                found = i;
                break;
            }
        }
        if (found < 0)
            return std::nullopt;
        bytes += static_cast<char>(0x80 + found);
    }
    return bytes;
}

} // namespace config::windows1252
