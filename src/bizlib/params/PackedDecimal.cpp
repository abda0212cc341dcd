#include "bizlib/params/PackedDecimal.h"

#include <cstring>

namespace bizlib::params::PackedDecimal {

bool encode(const Decimal &value, int digits, int places, char *out)
{
    const Decimal scaled = value.rescaled(places);
    if (!scaled.fits(digits, places))
        return false;
    const int bytes = byteSize(digits);
    // fits() bounds the magnitude below 10^18, so the negation cannot overflow.
    quint64 magnitude = scaled.units() < 0 ? quint64(-scaled.units()) : quint64(scaled.units());
    const int sign = scaled.units() < 0 ? kNegative : kPositive;

    unsigned char packed[byteSize(18)] = {};
    // Half-byte 2*bytes-1 is the sign; digits run leftwards from half-byte 2*bytes-2.
    packed[bytes - 1] = static_cast<unsigned char>(sign);
    for (int nibble = 2 * bytes - 2; nibble >= 0 && magnitude > 0; --nibble) {
        const auto digit = static_cast<unsigned char>(magnitude % 10);
        magnitude /= 10;
        packed[nibble / 2] |= nibble % 2 == 0 ? static_cast<unsigned char>(digit << 4) : digit;
    }
    std::memcpy(out, packed, static_cast<size_t>(bytes));
    return true;
}

std::optional<Decimal> decode(const char *in, int digits, int places)
{
    const int bytes = byteSize(digits);
    const auto *p = reinterpret_cast<const unsigned char *>(in);
    quint64 magnitude = 0;
    for (int nibble = 0; nibble < 2 * bytes - 1; ++nibble) {
        const int digit = nibble % 2 == 0 ? p[nibble / 2] >> 4 : p[nibble / 2] & 0x0F;
        if (digit > 9)
            return std::nullopt;
        magnitude = magnitude * 10 + static_cast<quint64>(digit);
    }
    const int sign = p[bytes - 1] & 0x0F;
    if ((sign >= 1 && sign <= 9) || magnitude >= 1'000'000'000'000'000'000ULL)
        return std::nullopt;
    const bool negative = sign == 0xB || sign == 0xD;
    const Decimal result(negative ? -qint64(magnitude) : qint64(magnitude), places);
    if (!result.fits(digits, places))
        return std::nullopt;
    return result;
}

} // namespace bizlib::params::PackedDecimal
