#pragma once

#include "bizlib/Decimal.h"

#include <QString>

namespace bizlib {

class Record;

// The pricing model of quotes, and its arithmetic. Every amount is a bizlib::Decimal; results
// are rounded half away from zero to the places of the field that stores them; nothing passes
// through binary floating point.
//
// Workings. A quote's workings (QuoteWorkings, WRK:) are lines of material, labour or outwork,
// each with a quantity, a unit cost and a markup percentage. A line's Quantity is what the quote's
// FIRST quantity needs. A fixed line (WRK:FixedCharge 1, or WRK:PricingBasis "Fix") costs the same
// at every quantity; any other line is a run line and grows in proportion to the quantity q
// against the first quantity q1:
//     cost(q)    = round2(Quantity x UnitCost x q / q1)         (a fixed line: q / q1 taken as 1)
//     markup(q)  = round2(cost(q) x MarkupPercent / 100)
//     selling(q) = cost(q) + markup(q)
// The line itself stores its figures at the first quantity: WRK:Cost = cost(q1),
// WRK:SellingPrice = selling(q1), and WRK:UnitPrice = round4(UnitCost x (100 + MarkupPercent) / 100).
// When the first quantity changes, ASSIGNQUANTITIES rescales the run lines' Quantity by
// new q1 / old q1 so that the lines keep describing the first quantity.
//
// Quantities. Up to five (QTE:Quantity1 .. Quantity5; the first 0 ends the list). For each
// quantity i:
//     CostTotal_i     = sum of cost(q_i) over the lines
//     calculated_i    = sum of selling(q_i) over the lines
//     SellingPrice_i  = the target price TargetPrice_i when the markup method is "TP" or
//                       QTE:UseTargetPrice is 1 and that target is not zero, otherwise calculated_i
//                       (made tax-inclusive when QTE:IncludeTax is 1, see below);
//                       plus the extras to add for that quantity (CALCP:Total_i / EXTG:Total_i)
//     net_i           = SellingPrice_i, or with QTE:IncludeTax 1 the price less the tax it contains
//     MarkupTotal_i   = net_i - CostTotal_i          (cost + markup always gives the net price)
//     TaxAmount_i     = the tax of the price (below)
//     Commission_i    = round2(net_i x QTE:CommissionRate / 100)
// Amounts of the quantities past the end of the list are zero.
//
// Tax. QTE:TaxCode names a rate of the tax-rate table (TaxRates, TAX:, type "Sales"). Its local
// rate L and general rate G make the combined rate L + G (a row with both zero has TAX:TaxRate
// as its general rate). On a net amount:
//     local = round2(net x L / 100), general = round2(net x G / 100), tax = local + general.
// In a tax-inclusive (gross) amount:
//     net = round2(gross x 100 / (100 + L + G)), local = round2(net x L / 100),
//     general = gross - net - local             (so that net + tax = gross exactly).
// QTE:TaxRate holds the combined rate. An empty tax code means no tax.
class PricingModel
{
public:
    static constexpr int kQuantities = 5;

    struct LineAmounts
    {
        Decimal cost;
        Decimal markup;
        Decimal selling;
    };

    struct TaxSplit
    {
        Decimal net;
        Decimal local;
        Decimal general;
        Decimal tax; // local + general
    };

    // Name of the per-quantity column: column("SellingPrice", 3) is "SellingPrice3".
    static QString column(const QString &name, int quantity);

    // True for a line whose cost does not depend on the quantity.
    static bool isFixed(const Record &working);

    // The line at quote quantity `quantity` when the line describes `firstQuantity` (both > 0;
    // with either not positive the line is taken as entered).
    static LineAmounts lineAt(const Record &working, qint64 quantity, qint64 firstQuantity);
    static LineAmounts lineAt(const Decimal &lineQuantity, const Decimal &unitCost, const Decimal &markupPercent,
        bool fixed, qint64 quantity, qint64 firstQuantity);

    // UnitCost x (100 + markup) / 100 to four places.
    static Decimal unitPrice(const Decimal &unitCost, const Decimal &markupPercent);
    // amount x percent / 100, rounded to `places`.
    static Decimal percentOf(const Decimal &amount, const Decimal &percent, int places = 2);

    static TaxSplit taxOnNet(const Decimal &net, const Decimal &localRate, const Decimal &generalRate);
    static TaxSplit taxInGross(const Decimal &gross, const Decimal &localRate, const Decimal &generalRate);

    // a x b x numerator / denominator, rounded once to `places` (exact in 128 bits for every
    // value a DECIMAL(18) field can hold). A zero denominator gives zero.
    static Decimal mulDiv(const Decimal &a, const Decimal &b, qint64 numerator, qint64 denominator, int places);
};

} // namespace bizlib
