#include "bizlib/security/PasswordHasher.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <sodium.h>

namespace bizlib::security {

namespace {

const QString kPbkdf2Scheme = QStringLiteral("pbkdf2-sha256");

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

struct Pbkdf2Hash
{
    enum { Absent, Bad, Good } state = Absent;
    int iterations = 0;
    QByteArray key;
};

Pbkdf2Hash parsePbkdf2(const QString &stored)
{
    const QStringList parts = stored.split(u'$');
    if (parts.size() != 3 || parts[0] != kPbkdf2Scheme)
        return {};
    Pbkdf2Hash h;
    h.state = Pbkdf2Hash::Bad;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > PasswordHasher::kMaxIterations)
        return h;
    const QString &hex = parts[2];
    if (hex.size() != 2 * PasswordHasher::kKeyBytes
        || !std::all_of(hex.begin(), hex.end(), [](QChar c) { return QStringLiteral("0123456789abcdef").contains(c); }))
        return h;
    h.state = Pbkdf2Hash::Good;
    h.iterations = iterations;
    h.key = QByteArray::fromHex(hex.toLatin1());
    return h;
}

// The cost an Argon2id string names; false when it is not one libsodium could read, or when
// its cost is beyond the ceilings (it is then never handed to libsodium).
bool argon2CostAllowed(const QString &stored)
{
    static const QRegularExpression format(QStringLiteral(
        "^\\$argon2id\\$v=19\\$m=([0-9]{1,10}),t=([0-9]{1,10}),p=([0-9]{1,3})\\$[A-Za-z0-9+/]+\\$[A-Za-z0-9+/]+$"));
    const QRegularExpressionMatch m = format.match(stored);
    if (!m.hasMatch())
        return false;
    const qulonglong kib = m.captured(1).toULongLong();
    const qulonglong passes = m.captured(2).toULongLong();
    const qulonglong lanes = m.captured(3).toULongLong();
    return lanes == 1 && passes >= 1 && passes <= PasswordHasher::kMaxPasses && kib >= 1
        && kib <= PasswordHasher::kMaxMemoryBytes / 1024;
}

} // namespace

PasswordHasher::Cost PasswordHasher::Cost::interactive()
{
    return { crypto_pwhash_argon2id_OPSLIMIT_INTERACTIVE, crypto_pwhash_argon2id_MEMLIMIT_INTERACTIVE };
}

PasswordHasher::Cost PasswordHasher::Cost::minimal()
{
    return { crypto_pwhash_argon2id_OPSLIMIT_MIN, crypto_pwhash_argon2id_MEMLIMIT_MIN };
}

QString PasswordHasher::hash(const QString &password, const Cost &cost)
{
    if (!sodiumReady())
        return {};
    const QByteArray pw = password.toUtf8();
    char out[crypto_pwhash_argon2id_STRBYTES];
    if (crypto_pwhash_argon2id_str(
            out, pw.constData(), static_cast<unsigned long long>(pw.size()), cost.passes, cost.memoryBytes)
        != 0)
        return {};
    return QString::fromLatin1(out);
}

QString PasswordHasher::hashWithSalt(const QString &password, const QByteArray &salt, const Cost &cost)
{
    static_assert(kSaltBytes == crypto_pwhash_argon2id_SALTBYTES);
    if (!sodiumReady() || salt.size() != kSaltBytes)
        return {};
    const QByteArray pw = password.toUtf8();
    unsigned char key[kKeyBytes];
    if (crypto_pwhash_argon2id(key, sizeof key, pw.constData(), static_cast<unsigned long long>(pw.size()),
            reinterpret_cast<const unsigned char *>(salt.constData()), cost.passes, cost.memoryBytes,
            crypto_pwhash_argon2id_ALG_ARGON2ID13)
        != 0)
        return {};
    // The text crypto_pwhash_argon2id_str() writes for the same salt.
    auto base64 = [](const unsigned char *bytes, size_t length) {
        char out[64];
        sodium_bin2base64(out, sizeof out, bytes, length, sodium_base64_VARIANT_ORIGINAL_NO_PADDING);
        return QString::fromLatin1(out);
    };
    return QStringLiteral("$argon2id$v=19$m=%1,t=%2,p=1$%3$%4")
        .arg(cost.memoryBytes / 1024)
        .arg(cost.passes)
        .arg(base64(reinterpret_cast<const unsigned char *>(salt.constData()), size_t(kSaltBytes)),
            base64(key, sizeof key));
}

PasswordHasher::Check PasswordHasher::check(const QString &password, const QString &salt, const QString &stored)
{
    if (stored.isEmpty())
        return Check::Mismatch;
    if (stored.startsWith(QLatin1String("$argon2"))) {
        if (!argon2CostAllowed(stored) || !sodiumReady())
            return Check::BadRecord;
        const QByteArray pw = password.toUtf8();
        const QByteArray text = stored.toLatin1();
        return crypto_pwhash_argon2id_str_verify(
                   text.constData(), pw.constData(), static_cast<unsigned long long>(pw.size()))
                == 0
            ? Check::Match
            : Check::Mismatch;
    }
    const Pbkdf2Hash parsed = parsePbkdf2(stored);
    if (parsed.state != Pbkdf2Hash::Good)
        return Check::BadRecord;
    const QByteArray key = pbkdf2Sha256(password.toUtf8(), salt.toUtf8(), parsed.iterations, kKeyBytes);
    return constantTimeEquals(key, parsed.key) ? Check::Match : Check::Mismatch;
}

bool PasswordHasher::needsRehash(const QString &stored, const Cost &cost)
{
    if (!stored.startsWith(QLatin1String("$argon2id$")) || !sodiumReady())
        return true;
    return crypto_pwhash_argon2id_str_needs_rehash(stored.toLatin1().constData(), cost.passes, cost.memoryBytes) != 0;
}

QByteArray PasswordHasher::pbkdf2Sha256(QByteArrayView password, QByteArrayView salt, int iterations, int length)
{
    iterations = std::max(iterations, 1);
    if (!sodiumReady())
        return {};
    // The key's pads are prepared once: the MAC runs many thousand times per password.
    crypto_auth_hmacsha256_state keyed;
    crypto_auth_hmacsha256_init(
        &keyed, reinterpret_cast<const unsigned char *>(password.data()), static_cast<size_t>(password.size()));
    auto mac = [&keyed](QByteArrayView first, QByteArrayView second, unsigned char *out) {
        crypto_auth_hmacsha256_state st = keyed;
        crypto_auth_hmacsha256_update(
            &st, reinterpret_cast<const unsigned char *>(first.data()), static_cast<unsigned long long>(first.size()));
        crypto_auth_hmacsha256_update(&st, reinterpret_cast<const unsigned char *>(second.data()),
            static_cast<unsigned long long>(second.size()));
        crypto_auth_hmacsha256_final(&st, out);
    };

    QByteArray derived;
    derived.reserve(length);
    unsigned char u[kKeyBytes];
    unsigned char t[kKeyBytes];
    for (quint32 block = 1; derived.size() < length; ++block) {
        const char index[4] = { static_cast<char>(block >> 24), static_cast<char>(block >> 16),
            static_cast<char>(block >> 8), static_cast<char>(block) };
        mac(salt, QByteArrayView(index, 4), u);
        std::memcpy(t, u, kKeyBytes);
        for (int i = 1; i < iterations; ++i) {
            mac(QByteArrayView(reinterpret_cast<const char *>(u), kKeyBytes), {}, u);
            for (int j = 0; j < kKeyBytes; ++j)
                t[j] ^= u[j];
        }
        derived.append(reinterpret_cast<const char *>(t), std::min<qsizetype>(kKeyBytes, length - derived.size()));
    }
    sodium_memzero(&keyed, sizeof keyed);
    return derived;
}

bool PasswordHasher::constantTimeEquals(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    return a.isEmpty() || sodium_memcmp(a.data(), b.data(), static_cast<size_t>(a.size())) == 0;
}

QString PasswordHasher::pbkdf2Hash(const QString &password, const QString &salt, int iterations)
{
    iterations = std::clamp(iterations, 1, kMaxIterations);
    const QByteArray key = pbkdf2Sha256(password.toUtf8(), salt.toUtf8(), iterations, kKeyBytes);
    return kPbkdf2Scheme + u'$' + QString::number(iterations) + u'$' + QString::fromLatin1(key.toHex());
}

PasswordHasher::Credential PasswordHasher::createPbkdf2(const QString &password, int iterations)
{
    QByteArray salt(kSaltBytes, '\0');
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    const QString saltText = QString::fromLatin1(salt.toHex());
    return { saltText, pbkdf2Hash(password, saltText, iterations) };
}

int PasswordHasher::iterationsOf(const QString &stored)
{
    return parsePbkdf2(stored).iterations;
}

} // namespace bizlib::security
