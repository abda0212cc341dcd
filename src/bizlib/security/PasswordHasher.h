#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>

namespace bizlib::security {

// Log-on credentials as the Users table stores them. The password itself is never stored.
//
// USR:PasswordHash holds one of two schemes:
// - the current one, libsodium's crypto_pwhash string: Argon2id with its cost and its own random
//   salt, "$argon2id$v=19$m=<KiB>,t=<passes>,p=1$<salt>$<key>"; USR:PasswordSalt is not used;
// - the older one, "pbkdf2-sha256$<iterations>$<64 lower-case hexadecimal digits>": the 32-byte
//   PBKDF2-HMAC-SHA256 key (RFC 8018) of the password's UTF-8 bytes with USR:PasswordSalt's text
//   (32 hexadecimal digits) as the salt. Still accepted, and replaced by the current scheme at the
//   user's next successful logon (Security::authenticate()).
// A stored cost is part of the record, so anyone who can write the Users table could make a
// logon compute for minutes; a cost above the ceilings below makes the record bad: it is refused
// without computing anything.
class PasswordHasher
{
public:
    // The work of one Argon2id hash.
    struct Cost
    {
        unsigned long long passes = 0;
        std::size_t memoryBytes = 0;

        // libsodium's interactive limits: what the program uses.
        static Cost interactive();
        // The least libsodium allows: for tests only.
        static Cost minimal();
    };

    // Ceilings of a stored cost.
    static constexpr unsigned long long kMaxPasses = 4;
    static constexpr std::size_t kMaxMemoryBytes = std::size_t(256) * 1024 * 1024;
    static constexpr int kMaxIterations = 1000000; // PBKDF2; the older default was 100000

    static constexpr int kSaltBytes = 16;
    static constexpr int kKeyBytes = 32;

    enum class Check {
        Match,
        Mismatch, // a wrong password, or no stored hash
        BadRecord, // a stored text that is no hash of either scheme, or with a cost beyond the ceilings
    };

    // The stored text of `password` in the current scheme, with a new random salt. Empty when
    // libsodium cannot work (no memory).
    static QString hash(const QString &password, const Cost &cost = Cost::interactive());
    // The same with the salt given (kSaltBytes bytes), for data that must come out the same on
    // every run (the demo); empty for a salt of another length.
    static QString hashWithSalt(
        const QString &password, const QByteArray &salt, const Cost &cost = Cost::interactive());
    // Checks `password` against a stored hash of either scheme (`salt` is the older scheme's).
    // An empty `stored` is a Mismatch. Keys are compared in constant time.
    static Check check(const QString &password, const QString &salt, const QString &stored);
    static bool verify(const QString &password, const QString &salt, const QString &stored)
    {
        return check(password, salt, stored) == Check::Match;
    }
    // True when a stored hash (that matched) should be replaced: the older scheme, or the current
    // one with another cost than `cost`.
    static bool needsRehash(const QString &stored, const Cost &cost = Cost::interactive());

    // The older scheme, kept to read existing credentials.
    struct Credential
    {
        QString salt;
        QString hash;
    };
    // A new random salt and the older scheme's hash of `password` with it (iterations below 1 count as 1).
    static Credential createPbkdf2(const QString &password, int iterations);
    static QString pbkdf2Hash(const QString &password, const QString &salt, int iterations);
    // The iteration count named by an older-scheme hash, 0 when the text is not one.
    static int iterationsOf(const QString &stored);
    // PBKDF2 with HMAC-SHA256 as the pseudo-random function; `length` bytes of derived key.
    static QByteArray pbkdf2Sha256(QByteArrayView password, QByteArrayView salt, int iterations, int length);
    // Equality that takes the same time wherever the first difference is (lengths are not secret).
    static bool constantTimeEquals(QByteArrayView a, QByteArrayView b);
};

} // namespace bizlib::security
