#include "bizlib/security/PasswordHasher.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <cstring>

namespace bizlib::security {

namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kBlockSize = 64; // SHA-256 input block

// HMAC-SHA256 with the key's pads prepared once: PBKDF2 runs it many thousand times per password.
class HmacSha256
{
public:
    explicit HmacSha256(QByteArrayView key)
        : m_inner(QCryptographicHash::Sha256)
        , m_outer(QCryptographicHash::Sha256)
    {
        QByteArray k
            = key.size() > kBlockSize ? QCryptographicHash::hash(key, QCryptographicHash::Sha256) : key.toByteArray();
        k.resize(kBlockSize, '\0');
        m_innerPad = k;
        m_outerPad = k;
        for (int i = 0; i < kBlockSize; ++i) {
            m_innerPad[i] = static_cast<char>(k[i] ^ 0x36);
            m_outerPad[i] = static_cast<char>(k[i] ^ 0x5c);
        }
    }

    // The MAC of `first` followed by `second`, written to `out` (32 bytes).
    void mac(QByteArrayView first, QByteArrayView second, char *out)
    {
        m_inner.reset();
        m_inner.addData(m_innerPad);
        m_inner.addData(first);
        m_inner.addData(second);
        m_outer.reset();
        m_outer.addData(m_outerPad);
        m_outer.addData(m_inner.resultView());
        const QByteArrayView r = m_outer.resultView();
        std::memcpy(out, r.data(), static_cast<size_t>(r.size()));
    }

private:
    QCryptographicHash m_inner;
    QCryptographicHash m_outer;
    QByteArray m_innerPad;
    QByteArray m_outerPad;
};

struct ParsedHash
{
    int iterations = 0;
    QByteArray key;
};

ParsedHash parse(const QString &stored)
{
    const QStringList parts = stored.split(u'$');
    if (parts.size() != 3 || parts[0] != kScheme)
        return {};
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > PasswordHasher::kMaxIterations)
        return {};
    const QString &hex = parts[2];
    if (hex.size() != 2 * PasswordHasher::kKeyBytes
        || !std::all_of(hex.begin(), hex.end(), [](QChar c) { return QStringLiteral("0123456789abcdef").contains(c); }))
        return {};
    return { iterations, QByteArray::fromHex(hex.toLatin1()) };
}

} // namespace

QByteArray PasswordHasher::pbkdf2Sha256(QByteArrayView password, QByteArrayView salt, int iterations, int length)
{
    iterations = std::max(iterations, 1);
    HmacSha256 prf(password);
    QByteArray derived;
    derived.reserve(length);
    char u[kKeyBytes];
    char t[kKeyBytes];
    for (quint32 block = 1; derived.size() < length; ++block) {
        const char index[4] = { static_cast<char>(block >> 24), static_cast<char>(block >> 16),
            static_cast<char>(block >> 8), static_cast<char>(block) };
        prf.mac(salt, QByteArrayView(index, 4), u);
        std::memcpy(t, u, kKeyBytes);
        for (int i = 1; i < iterations; ++i) {
            prf.mac(QByteArrayView(u, kKeyBytes), {}, u);
            for (int j = 0; j < kKeyBytes; ++j)
                t[j] = static_cast<char>(t[j] ^ u[j]);
        }
        derived.append(t, std::min<qsizetype>(kKeyBytes, length - derived.size()));
    }
    return derived;
}

bool PasswordHasher::constantTimeEquals(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

QString PasswordHasher::hash(const QString &password, const QString &salt, int iterations)
{
    iterations = std::clamp(iterations, 1, kMaxIterations);
    const QByteArray key = pbkdf2Sha256(password.toUtf8(), salt.toUtf8(), iterations, kKeyBytes);
    return kScheme + u'$' + QString::number(iterations) + u'$' + QString::fromLatin1(key.toHex());
}

PasswordHasher::Credential PasswordHasher::create(const QString &password, int iterations)
{
    QByteArray salt(kSaltBytes, '\0');
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    const QString saltText = QString::fromLatin1(salt.toHex());
    return { saltText, hash(password, saltText, iterations) };
}

int PasswordHasher::iterationsOf(const QString &stored)
{
    return parse(stored).iterations;
}

bool PasswordHasher::verify(const QString &password, const QString &salt, const QString &stored)
{
    const ParsedHash parsed = parse(stored);
    if (parsed.iterations == 0)
        return false;
    const QByteArray key = pbkdf2Sha256(password.toUtf8(), salt.toUtf8(), parsed.iterations, kKeyBytes);
    return constantTimeEquals(key, parsed.key);
}

} // namespace bizlib::security
