// Conversions between record values and what each engine stores.
//
// Decimals on SQLite: SQLite has no exact decimal type. A DECIMAL column has NUMERIC affinity and
// holds the number itself, as a REAL (or an INTEGER when it is whole), so that a value that
// another program writes the ordinary way, as a number (12.5) or as its text ('2.1'), is stored as
// that number, and keys and comparisons order numerically. The console writes the double nearest
// to its exact value; reading rounds back to the field's places. That round trip is exact for
// every value of up to 15 digits, which is why the dictionary refuses wider DECIMAL fields.
// PostgreSQL keeps NUMERIC(d,p) and hands its values over as exact text.
#include "bizlib/Database.h"

#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <limits>

namespace bizlib {

namespace {

constexpr qint64 kPow10[] = { 1LL, 10LL, 100LL, 1000LL, 10000LL, 100000LL, 1000000LL, 10000000LL, 100000000LL,
    1000000000LL, 10000000000LL, 100000000000LL, 1000000000000LL, 10000000000000LL, 100000000000000LL,
    1000000000000000LL, 10000000000000000LL, 100000000000000000LL, 1000000000000000000LL };

bool fitsInteger(const FieldDef &f, qint64 v)
{
    switch (f.type) {
    case FieldType::Byte:
        return v >= 0 && v <= 0xFF;
    case FieldType::UShort:
        return v >= 0 && v <= 0xFFFF;
    default:
        return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
    }
}

Status unreadable(const FieldDef &f, const QVariant &value)
{
    return Status::error(QStringLiteral("the stored value %1 of field %2 does not fit its type %3")
                             .arg(value.toString(), f.name, f.typeName()));
}

QVariant emptyOf(const FieldDef &f)
{
    return f.type == FieldType::Decimal ? QVariant::fromValue(Decimal(0, f.places)) : QVariant(qint32(0));
}

// A stored SQLite value of a DECIMAL field at the field's places; nullopt when it cannot be one.
std::optional<Decimal> sqliteDecimal(const FieldDef &f, const QVariant &value)
{
    const int places = std::clamp(f.places, 0, 18);
    const int whole = std::clamp(f.digits - places, 0, 18);
    switch (value.typeId()) {
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) >= double(kPow10[whole]))
            return std::nullopt;
        // |d| * 10^places stays below 10^digits <= 10^15 < 2^53: one rounding step is exact.
        const Decimal v(std::llround(d * double(kPow10[places])), places);
        return v.fits(f.digits, places) ? std::optional(v) : std::nullopt;
    }
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt: {
        const qint64 v = value.toLongLong();
        if (v >= kPow10[whole] || v <= -kPow10[whole])
            return std::nullopt;
        return Decimal(v * kPow10[places], places);
    }
    default: {
        const std::optional<Decimal> v = Decimal::parse(value.toString());
        if (!v || !v->fits(f.digits, places))
            return std::nullopt;
        return v->rescaled(places);
    }
    }
}

} // namespace

QString Database::columnType(const FieldDef &f) const
{
    const bool pg = isPostgres();
    switch (f.type) {
    case FieldType::Long:
    case FieldType::UShort:
    case FieldType::Date:
    case FieldType::Time:
        return QStringLiteral("INTEGER NOT NULL DEFAULT 0");
    case FieldType::Byte:
        return pg ? QStringLiteral("SMALLINT NOT NULL DEFAULT 0") : QStringLiteral("INTEGER NOT NULL DEFAULT 0");
    case FieldType::CString:
    case FieldType::String:
        return pg ? QStringLiteral("VARCHAR(%1) NOT NULL DEFAULT ''").arg(std::max(1, f.maxChars()))
                  : QStringLiteral("TEXT NOT NULL DEFAULT ''");
    case FieldType::Text:
        return QStringLiteral("TEXT NOT NULL DEFAULT ''");
    case FieldType::Decimal:
        return pg ? QStringLiteral("NUMERIC(%1,%2) NOT NULL DEFAULT 0").arg(f.digits).arg(f.places)
                  : QStringLiteral("NUMERIC NOT NULL DEFAULT 0");
    }
    return {};
}

QVariant Database::decimalToSql(const Decimal &value) const
{
    if (isPostgres())
        return QVariant(value.toString());
    if (value.scale() == 0)
        return QVariant(qint64(value.units()));
    // Division of two exactly held numbers: the double nearest to the value.
    return QVariant(double(value.units()) / double(kPow10[value.scale()]));
}

QVariant Database::toSql(const FieldDef &f, const QVariant &value) const
{
    switch (f.type) {
    case FieldType::Decimal: {
        const Decimal d = value.metaType() == QMetaType::fromType<Decimal>() ? value.value<Decimal>()
                                                                             : Decimal::fromString(value.toString());
        return decimalToSql(d.rescaled(f.places));
    }
    case FieldType::CString:
    case FieldType::String:
    case FieldType::Text: {
        // A null QString would be bound as SQL NULL; the columns hold empty texts instead.
        const QString text = value.toString();
        return text.isNull() ? QStringLiteral("") : text;
    }
    default:
        return value.toLongLong();
    }
}

Status Database::checkStorable(const FieldDef &f, const QVariant &value)
{
    if (f.type == FieldType::Decimal) {
        const Decimal d = value.metaType() == QMetaType::fromType<Decimal>() ? value.value<Decimal>()
                                                                             : Decimal::fromString(value.toString());
        if (!d.fits(f.digits, f.places))
            return Status::error(
                QStringLiteral("the value %1 does not fit field %2 (%3)").arg(d.toString(), f.name, f.typeName()));
        return Status::ok();
    }
    // A record keeps a LONG, DATE or TIME beyond 32 bits as it was given, so that it is refused here
    // rather than stored as some other number.
    if (f.isInteger() && value.typeId() == QMetaType::LongLong && !fitsInteger(f, value.toLongLong()))
        return Status::error(QStringLiteral("the value %1 does not fit field %2 (%3)")
                                 .arg(value.toLongLong())
                                 .arg(f.name, f.typeName()));
    return Status::ok();
}

QVariant Database::fromSql(const FieldDef &f, const QVariant &value, Status *status) const
{
    switch (f.type) {
    case FieldType::CString:
    case FieldType::String:
    case FieldType::Text:
        return value.isNull() ? QString() : value.toString();
    case FieldType::Decimal: {
        if (value.isNull())
            return QVariant::fromValue(Decimal(0, f.places));
        if (isPostgres())
            return QVariant::fromValue(Decimal::fromString(value.toString()).rescaled(f.places));
        if (const std::optional<Decimal> d = sqliteDecimal(f, value))
            return QVariant::fromValue(*d);
        break;
    }
    default: {
        if (value.isNull())
            return qint32(0);
        bool ok = false;
        qint64 v = 0;
        if (value.typeId() == QMetaType::Double) {
            // A whole number written as a floating-point value; anything else is not a LONG.
            const double d = value.toDouble();
            ok = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15;
            v = ok ? qint64(d) : 0;
        } else {
            v = value.toLongLong(&ok);
        }
        if (ok && fitsInteger(f, v))
            return qint32(v);
        break;
    }
    }
    if (status && status->isOk())
        *status = unreadable(f, value);
    return emptyOf(f);
}

} // namespace bizlib
