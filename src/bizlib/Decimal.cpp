#include "bizlib/Decimal.h"

#include <algorithm>

namespace bizlib {

namespace {

__extension__ typedef __int128 Wide;

Wide pow10(int n)
{
    Wide p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// Divides rounding half away from zero.
Wide divRound(Wide num, Wide den)
{
    if (den == 0)
        return 0;
    const bool negative = (num < 0) != (den < 0);
    Wide a = num < 0 ? -num : num;
    const Wide b = den < 0 ? -den : den;
    Wide q = a / b;
    if ((a % b) * 2 >= b)
        ++q;
    return negative ? -q : q;
}

qint64 narrow(Wide v)
{
    constexpr Wide maxV = std::numeric_limits<qint64>::max();
    return static_cast<qint64>(std::clamp<Wide>(v, -maxV, maxV));
}

} // namespace

Decimal::Decimal(qint64 units, int scale)
    : m_units(units), m_scale(std::clamp(scale, 0, 18))
{
}

std::optional<Decimal> Decimal::parse(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negative = false;
    if (t[0] == u'-' || t[0] == u'+') {
        negative = t[0] == u'-';
        ++i;
    }
    Wide units = 0;
    int scale = 0;
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
        seenDigit = true;
        if (seenPoint && scale >= 18)
            continue; // digits beyond 18 places are dropped
        units = units * 10 + (c.unicode() - '0');
        if (units > Wide(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        if (seenPoint)
            ++scale;
    }
    if (!seenDigit)
        return std::nullopt;
    return Decimal(narrow(negative ? -units : units), scale);
}

Decimal Decimal::fromString(const QString &text)
{
    return parse(text).value_or(Decimal());
}

Decimal Decimal::rescaled(int scale) const
{
    scale = std::clamp(scale, 0, 18);
    if (scale == m_scale)
        return *this;
    if (scale > m_scale)
        return Decimal(narrow(Wide(m_units) * pow10(scale - m_scale)), scale);
    return Decimal(narrow(divRound(m_units, pow10(m_scale - scale))), scale);
}

bool Decimal::fits(int digits, int places) const
{
    const Wide v = Wide(rescaled(places).m_units);
    return (v < 0 ? -v : v) < pow10(digits);
}

QString Decimal::toString() const
{
    const Wide a = m_units < 0 ? -Wide(m_units) : Wide(m_units);
    const Wide p = pow10(m_scale);
    QString s = QString::number(static_cast<qulonglong>(a / p));
    if (m_scale > 0)
        s += u'.' + QString::number(static_cast<qulonglong>(a % p)).rightJustified(m_scale, u'0');
    if (m_units < 0)
        s.prepend(u'-');
    return s;
}

qint64 Decimal::toInteger() const
{
    return narrow(Wide(m_units) / pow10(m_scale));
}

Decimal Decimal::operator+(const Decimal &o) const
{
    const int s = std::max(m_scale, o.m_scale);
    return Decimal(narrow(Wide(rescaled(s).m_units) + o.rescaled(s).m_units), s);
}

Decimal Decimal::operator-(const Decimal &o) const
{
    return *this + (-o);
}

Decimal Decimal::operator*(const Decimal &o) const
{
    const int s = m_scale + o.m_scale;
    const Wide product = Wide(m_units) * o.m_units;
    if (s <= 18)
        return Decimal(narrow(product), s);
    return Decimal(narrow(divRound(product, pow10(s - 18))), 18);
}

Decimal Decimal::divided(const Decimal &o, int scale) const
{
    if (o.m_units == 0)
        return Decimal(0, scale);
    // this / o = (a / 10^sa) / (b / 10^sb); scaled to 10^scale.
    const int shift = scale + o.m_scale - m_scale;
    Wide num = m_units;
    Wide den = o.m_units;
    if (shift >= 0)
        num *= pow10(shift);
    else
        den *= pow10(-shift);
    return Decimal(narrow(divRound(num, den)), scale);
}

std::strong_ordering Decimal::operator<=>(const Decimal &o) const
{
    const int s = std::max(m_scale, o.m_scale);
    const Wide a = Wide(m_units) * pow10(s - m_scale);
    const Wide b = Wide(o.m_units) * pow10(s - o.m_scale);
    return a <=> b;
}

} // namespace bizlib
