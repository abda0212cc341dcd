#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace bizlib::security {

// Log-on credentials as the Users table stores them. The password itself is never stored.
//
// USR:PasswordSalt holds 16 random bytes (from the system's random source) as 32 lower-case
// hexadecimal digits. USR:PasswordHash holds
//     "pbkdf2-sha256$<iterations>$<64 lower-case hexadecimal digits>"
// where the digits are the 32-byte PBKDF2-HMAC-SHA256 key (RFC 8018) derived from the password's
// UTF-8 bytes with the salt text's bytes as the salt. The iteration count is stored with the hash,
// so raising kDefaultIterations later leaves the existing credentials readable.
// A slow, salted derivation means that a copy of the Users table gives neither the passwords nor a
// quick way to try guesses against them, and two users with the same password store different hashes.
class PasswordHasher
{
public:
    static constexpr int kDefaultIterations = 100000;
    // Iteration counts a stored hash may name; anything else is refused as damaged.
    static constexpr int kMaxIterations = 10000000;
    static constexpr int kSaltBytes = 16;
    static constexpr int kKeyBytes = 32;

    struct Credential
    {
        QString salt;
        QString hash;
    };

    // A new random salt and the hash of `password` with it. `iterations` below 1 count as 1.
    static Credential create(const QString &password, int iterations = kDefaultIterations);
    // The stored hash text of `password` with `salt`.
    static QString hash(const QString &password, const QString &salt, int iterations = kDefaultIterations);
    // True when `stored` is the hash of `password` with `salt`. A stored text that is empty, in
    // another format or with an iteration count outside 1..kMaxIterations never matches.
    // The derived key is compared in constant time.
    static bool verify(const QString &password, const QString &salt, const QString &stored);
    // The iteration count named by a stored hash, 0 when the text is not a hash of this format.
    static int iterationsOf(const QString &stored);

    // PBKDF2 with HMAC-SHA256 as the pseudo-random function; `length` bytes of derived key.
    static QByteArray pbkdf2Sha256(QByteArrayView password, QByteArrayView salt, int iterations, int length);
    // Equality that takes the same time wherever the first difference is (lengths are not secret).
    static bool constantTimeEquals(QByteArrayView a, QByteArrayView b);
};

} // namespace bizlib::security
