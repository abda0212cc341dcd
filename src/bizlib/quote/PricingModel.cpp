#include "bizlib/quote/PricingModel.h"

#include "bizlib/Record.h"

#include <limits>

namespace bizlib {

namespace {

__extension__ typedef __int128 Wide;

constexpr Wide kWideMax = (Wide(1) << 126) - 1 + (Wide(1) << 126);

Wide pow10(int n)
{
    Wide p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

Wide absolute(Wide v)
{
    return v < 0 ? -v : v;
}

// Division rounding half away from zero.
Wide divRound(Wide num, Wide den)
{
    if (den == 0)
        return 0;
    const bool negative = (num < 0) != (den < 0);
    const Wide a = absolute(num);
    const Wide b = absolute(den);
    Wide q = a / b;
    if ((a % b) * 2 >= b)
        ++q;
    return negative ? -q : q;
}

qint64 narrow(Wide v)
{
    constexpr Wide maxV = std::numeric_limits<qint64>::max();
    return static_cast<qint64>(v > maxV ? maxV : v < -maxV ? -maxV : v);
}

const Decimal kHundred = Decimal::fromInt(100);

} // namespace

QString PricingModel::column(const QString &name, int quantity)
{
    return name + QString::number(quantity);
}

bool PricingModel::isFixed(const Record &working)
{
    return working.toLong("FixedCharge") != 0
        || working.text("PricingBasis").trimmed().compare(QLatin1String("Fix"), Qt::CaseInsensitive) == 0;
}

PricingModel::LineAmounts PricingModel::lineAt(const Record &working, qint64 quantity, qint64 firstQuantity)
{
    return lineAt(working.decimal("Quantity"), working.decimal("UnitCost"), working.decimal("MarkupPercent"),
        isFixed(working), quantity, firstQuantity);
}

PricingModel::LineAmounts PricingModel::lineAt(const Decimal &lineQuantity, const Decimal &unitCost,
    const Decimal &markupPercent, bool fixed, qint64 quantity, qint64 firstQuantity)
{
    const bool scales = !fixed && quantity > 0 && firstQuantity > 0;
    LineAmounts a;
    a.cost = mulDiv(lineQuantity, unitCost, scales ? quantity : 1, scales ? firstQuantity : 1, 2);
    a.markup = percentOf(a.cost, markupPercent);
    a.selling = a.cost + a.markup;
    return a;
}

Decimal PricingModel::unitPrice(const Decimal &unitCost, const Decimal &markupPercent)
{
    return (unitCost * (kHundred + markupPercent)).divided(kHundred, 4);
}

Decimal PricingModel::percentOf(const Decimal &amount, const Decimal &percent, int places)
{
    return mulDiv(amount, percent, 1, 100, places);
}

PricingModel::TaxSplit PricingModel::taxOnNet(const Decimal &net, const Decimal &localRate, const Decimal &generalRate)
{
    TaxSplit s;
    s.net = net.rescaled(2);
    s.local = percentOf(s.net, localRate);
    s.general = percentOf(s.net, generalRate);
    s.tax = s.local + s.general;
    return s;
}

PricingModel::TaxSplit PricingModel::taxInGross(
    const Decimal &gross, const Decimal &localRate, const Decimal &generalRate)
{
    const Decimal rate = localRate + generalRate;
    const Decimal g = gross.rescaled(2);
    TaxSplit s;
    // gross x 100 / (100 + rate): scale the rate to whole units of 10^-4 so that the divisor is an integer.
    const Decimal divisor = (kHundred + rate).rescaled(4);
    s.net = mulDiv(g, Decimal(1000000, 0), 1, divisor.units(), 2); // 100 x 10^4 over the scaled divisor
    s.local = percentOf(s.net, localRate);
    s.general = g - s.net - s.local;
    s.tax = s.local + s.general;
    return s;
}

Decimal PricingModel::mulDiv(const Decimal &a, const Decimal &b, qint64 numerator, qint64 denominator, int places)
{
    if (denominator == 0)
        return Decimal(0, places);
    Wide n = Wide(a.units()) * Wide(b.units());
    int scale = a.scale() + b.scale();
    // Keep n x numerator inside 128 bits. Only values far beyond any field's width get here; the
    // extra rounding then happens many places below the result's last place.
    const Wide room = kWideMax / (absolute(Wide(numerator)) + 1);
    while (absolute(n) > room && scale > places) {
        n = divRound(n, 10);
        --scale;
    }
    Wide num = n * Wide(numerator);
    Wide den = Wide(denominator);
    if (scale >= places) {
        int shift = scale - places;
        while (shift > 0 && absolute(den) <= kWideMax / 10) {
            den *= 10;
            --shift;
        }
        // Only an absurd scale is left over here: it is taken off the numerator.
        for (; shift > 0; --shift)
            num = divRound(num, 10);
    } else {
        num *= pow10(places - scale);
    }
    return Decimal(narrow(divRound(num, den)), places);
}

} // namespace bizlib
