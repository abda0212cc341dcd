#include "DemoData.h"
#include "DemoFields.h"

// Resources of the demo company (materials with their stock figures, labour, outwork), job
// types and markup profiles.

namespace demo {

namespace {

struct Material
{
    const char *code, *description, *type, *cls, *unit, *cost, *price;
    bool stock;
    const char *onHand, *available, *reorder;
};
// Stock figures chosen so that the web order items show every stock state: plenty, below the
// re-order level, exactly at it, and less available than an order wants.
const Material kMaterials[] = {
    { "SILK130-SRA3", "130gsm silk coated, SRA3", "", "Paper", "Sheet", "0.0350", "0.0600", true, "12000", "9500",
        "5000" },
    { "SILK350-SRA3", "350gsm silk board, SRA3", "", "Paper", "Sheet", "0.1450", "0.2400", true, "2400", "1800",
        "2000" },
    { "GLOSS170-SRA3", "170gsm gloss coated, SRA3", "", "Paper", "Sheet", "0.0480", "0.0800", true, "3600", "3000",
        "3000" },
    { "UNC100-A4", "100gsm uncoated laser, A4", "", "Paper", "Sheet", "0.0090", "0.0150", true, "25000", "20000",
        "10000" },
    { "PVC-BANNER", "510gsm PVC banner material, per square metre", "", "Large format", "sqm", "2.8000", "6.5000", true,
        "180", "150", "50" },
    { "LAM-MATT", "Matt lamination film, per SRA3 sheet", "", "Consumable", "Sheet", "0.0200", "0.0500", false, "0",
        "0", "0" },
    { "ENV-DL-WIN", "DL window envelopes, box of 500", "PO", "Stationery", "Box", "14.5000", "24.0000", true, "40",
        "36", "10" },
    { "BC-PACK-250", "Business cards, pack of 250, 400gsm silk", "PO", "Product", "Pack", "6.2000", "19.5000", true,
        "60", "48", "20" },
    { "POLY-ROLLUP", "Roller banner stand 850mm with carry bag", "PO", "Product", "Each", "24.0000", "55.0000", true,
        "18", "15", "5" },
    { "LFT-A5-PENN", "Pennine BS savings leaflet A5 (client stock)", "PO", "Product", "Each", "0.0400", "0.0900", true,
        "650", "400", "500" },
    { "FOLD-A4-ABB", "Abbey Wealth presentation folder A4 (client stock)", "PO", "Product", "Each", "0.9500", "1.8000",
        true, "1400", "1200", "300" },
    { "LFT-BHT-FLU", "Brightcare flu clinic leaflet DL (client stock)", "PO", "Product", "Each", "0.0300", "0.0700",
        true, "3200", "3000", "1000" },
    { "CARD-XMAS-10", "Christmas cards, pack of 10 with envelopes", "PO", "Product", "Pack", "3.1000", "8.9900", true,
        "95", "80", "40" },
    { "PROS-SVA-24", "Sheaf Valley Academy prospectus 24pp A4 (client stock)", "WO", "Product", "Each", "1.1000",
        "2.2500", true, "300", "250", "500" },
};

struct Labour
{
    const char *code, *description, *category, *cost, *sell;
};
const Labour kLabour[] = {
    { "PREP", "Prepress and artwork check", "Prepress", "28.0000", "55.0000" },
    { "DTP", "Design and typesetting", "Prepress", "30.0000", "65.0000" },
    { "LITHO", "Litho press SRA1, 4 colour", "Press", "85.0000", "160.0000" },
    { "DIGI", "Digital press SRA3", "Press", "45.0000", "90.0000" },
    { "FOLD", "Folding and stitching", "Finishing", "22.0000", "45.0000" },
    { "TRIM", "Guillotine trimming", "Finishing", "22.0000", "45.0000" },
    { "PACK", "Packing and despatch", "Despatch", "18.0000", "35.0000" },
};

struct Outwork
{
    const char *code, *description, *category, *cost, *price, *markup;
};
const Outwork kOutwork[] = {
    { "DEL-LOCAL", "Local delivery by van", "Sundry", "8.0000", "15.0000", "87.5000" },
    { "DEL-COURIER", "Courier, next working day", "Sundry", "7.5000", "12.5000", "66.6667" },
    { "VOUCHER", "Website voucher discount", "Sundry", "0.0000", "0.0000", "0.0000" },
    { "FOIL", "Foil blocking (trade)", "Finishing", "45.0000", "70.0000", "55.5556" },
    { "SPOT-UV", "Spot UV varnish (trade)", "Finishing", "60.0000", "95.0000", "58.3333" },
    { "BIND-PERF", "Perfect binding (trade), per copy", "Binding", "0.8500", "1.4000", "64.7059" },
    { "WIRE-BIND", "Wire-o binding (trade), per copy", "Binding", "1.2000", "2.1000", "75.0000" },
};

const std::pair<const char *, const char *> kJobTypes[] = {
    { "BC", "Business cards" },
    { "LEAF", "Leaflets and flyers" },
    { "BOOK", "Books and brochures" },
    { "LF", "Large format" },
    { "STAT", "Stationery" },
    { "PROMO", "Promotional items" },
};

struct Markup
{
    const char *code, *description;
    int fromDaysAgo, toDaysAgo; // toDaysAgo -1: open-ended
    const char *material, *labour, *outwork;
};
const Markup kMarkups[] = {
    { "STD", "Standard (previous year)", 730, 366, "30.0000", "35.0000", "20.0000" },
    { "STD", "Standard", 365, -1, "35.0000", "40.0000", "25.0000" },
    { "TRADE", "Trade customers", 365, -1, "15.0000", "20.0000", "10.0000" },
    { "WEB", "Website enquiries", 365, -1, "25.0000", "30.0000", "20.0000" },
};

} // namespace

void DemoData::addResources()
{
    for (const Material &m : kMaterials) {
        writer(QStringLiteral("Materials")).add([&](bizlib::Record &r) {
            const bool product = qstrcmp(m.cls, "Product") == 0;
            setTexts(r,
                { { "Code", str(m.code) }, { "Description", str(m.description) }, { "Type", str(m.type) },
                    { "Class", str(m.cls) }, { "Category", product ? QStringLiteral("Product") : str(m.cls) },
                    { "Unit", str(m.unit) }, { "TaxCode", QStringLiteral("S") },
                    { "StockType",
                        m.stock ? (product ? QStringLiteral("Finished goods") : QStringLiteral("Raw")) : QString() } });
            r.setDecimal("UnitCost", dec(m.cost));
            r.setDecimal("UnitPrice", dec(m.price));
            r.setDecimal("OnHand", dec(m.onHand));
            r.setDecimal("Available", dec(m.available));
            r.setDecimal("Reorder", dec(m.reorder));
            setLongs(r,
                { { "Stock", m.stock ? 1 : 0 }, { "Website", product ? 1 : 0 },
                    { "WorksOrder", qstrcmp(m.type, "WO") == 0 ? 1 : 0 },
                    { "WorksDefault", qstrcmp(m.type, "WO") == 0 ? 1 : 0 } });
            if (product) {
                r.setText("PackType", QStringLiteral("Carton"));
                r.setDecimal("PackQuantity", dec("1"));
            }
        });
    }
    for (const Labour &l : kLabour) {
        writer(QStringLiteral("Labour")).add([&](bizlib::Record &r) {
            setTexts(r,
                { { "Code", str(l.code) }, { "Description", str(l.description) }, { "Category", str(l.category) },
                    { "TaxCode", QStringLiteral("S") } });
            r.setDecimal("CostRate", dec(l.cost));
            r.setDecimal("SellRate", dec(l.sell));
        });
    }
    for (const Outwork &o : kOutwork) {
        writer(QStringLiteral("Outwork")).add([&](bizlib::Record &r) {
            setTexts(r,
                { { "Code", str(o.code) }, { "Description", str(o.description) }, { "Category", str(o.category) },
                    { "TaxCode", QStringLiteral("S") } });
            r.setDecimal("UnitCost", dec(o.cost));
            r.setDecimal("UnitPrice", dec(o.price));
            r.setDecimal("MarkupPercent", dec(o.markup));
        });
    }
}

void DemoData::addPricing()
{
    for (const auto &[code, description] : kJobTypes) {
        writer(QStringLiteral("JobTypes")).add([&](bizlib::Record &r) {
            setTexts(r,
                { { "Code", str(code) }, { "Description", str(description) },
                    { "MarkupMethod", QStringLiteral("Percent") }, { "Markup", QStringLiteral("STD") } });
            r.setLong("Website", 1);
        });
    }
    for (const Markup &m : kMarkups) {
        writer(QStringLiteral("Markups")).add([&](bizlib::Record &r) {
            setTexts(r, { { "Markup", str(m.code) }, { "Description", str(m.description) } });
            r.setLong("ValidFrom", daysAgo(m.fromDaysAgo));
            r.setLong("ValidTo", m.toDaysAgo < 0 ? 0 : daysAgo(m.toDaysAgo));
            r.setDecimal("MaterialPercent", dec(m.material));
            r.setDecimal("LabourPercent", dec(m.labour));
            r.setDecimal("OutworkPercent", dec(m.outwork));
        });
    }
}

} // namespace demo
