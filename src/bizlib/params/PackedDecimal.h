#pragma once

#include "bizlib/Decimal.h"

#include <optional>

namespace bizlib::params {

// DECIMAL(d,p) values as parameter records carry them: packed decimal in d/2+1 bytes.
// The value is scaled by 10^p and written as one decimal digit per half-byte, most significant
// first and right-aligned, followed by a sign in the low half of the last byte: 0x0 for a positive
// value or zero, 0xD for a negative one. Unused leading half-bytes are 0, so a block of zero bytes
// reads as zero. Reading also takes 0xB as negative and 0xA, 0xC, 0xE, 0xF as positive.
// Example: DECIMAL(5,2) -12.34 is the three bytes 01 23 4D.
namespace PackedDecimal {

constexpr int kPositive = 0x0;
constexpr int kNegative = 0xD;

constexpr int byteSize(int digits)
{
    return digits / 2 + 1;
}

// Writes `value`, rounded half away from zero to `places`, into byteSize(digits) bytes at `out`.
// Returns false and leaves `out` untouched when the rounded value has more than `digits` digits.
bool encode(const Decimal &value, int digits, int places, char *out);

// Reads the bytes at `in` as a value with `places` decimals; nullopt when a digit half-byte is
// above 9 or the value has more than `digits` digits.
std::optional<Decimal> decode(const char *in, int digits, int places);

} // namespace PackedDecimal

} // namespace bizlib::params
