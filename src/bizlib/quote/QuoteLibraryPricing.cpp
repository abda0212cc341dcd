#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/quote/QuoteLibrary.h"

#include <optional>

// QUOTE library: markups, costing the workings and pricing the quantities (PricingModel.h).

namespace bizlib {

namespace {

const char *const kAmountColumns[]
    = { "TargetPrice", "CostTotal", "MarkupTotal", "SellingPrice", "TaxAmount", "Commission" };

bool isTargetPriceMethod(const QString &method)
{
    return method.trimmed().compare(QLatin1String("TP"), Qt::CaseInsensitive) == 0;
}

// An optional line that the client has not taken is left out of the price.
bool isPriced(const Record &line)
{
    return line.toLong("Optional") == 0 || line.toLong("Included") != 0;
}

QString amountColumn(const char *name, int quantity)
{
    return PricingModel::column(QString::fromLatin1(name), quantity);
}

} // namespace

Status QuoteLibrary::checkAmounts(const Record &quote)
{
    for (const char *name : kAmountColumns) {
        for (int i = 1; i <= PricingModel::kQuantities; ++i) {
            const QString field = amountColumn(name, i);
            const FieldDef *def = quote.table().field(field);
            if (!quote.decimal(field).fits(def->digits, def->places))
                return Status::error(
                    QStringLiteral("The amount %1 of quantity %2 is too large for the quote (%3).")
                        .arg(quote.decimal(field).toString(), QString::number(i), QString::fromLatin1(name)));
        }
    }
    return Status::ok();
}

Status QuoteLibrary::checkMarkup(const QString &profile, qint32 onDate, Record *markup)
{
    const qint32 date = onDate > 0 ? onDate : DateTime::today();
    Table markups(m_db, QStringLiteral("Markups"));
    TableCursor cursor(markups, QStringLiteral("MARKUPKEY"));
    cursor.setRange({ profile.trimmed() });
    Record row;
    Status st;
    while ((st = cursor.next(row))) {
        const qint32 from = row.toLong("ValidFrom");
        const qint32 to = row.toLong("ValidTo");
        if (from <= date && (to == 0 || to >= date)) {
            if (markup)
                *markup = row;
            return Status::ok();
        }
    }
    if (!st.isNotFound())
        return st;
    return Status::notFound(
        QStringLiteral("The markup profile %1 is not valid on %2.").arg(profile.trimmed(), DateTime::dateText(date)));
}

Status QuoteLibrary::assignMarkups(
    Record &quote, bool useClientProfile, bool applyToWorkings, bool keepLineMarkups, qint32 onDate)
{
    Record q = quote;
    QString profile;
    if (useClientProfile && q.toLong("ClientID") > 0) {
        Table clients(m_db, QStringLiteral("Clients"));
        Record client = clients.newRecord();
        const Status st = clients.fetch(QStringLiteral("CLIENTIDKEY"), { q.toLong("ClientID") }, client);
        if (st.isError())
            return st;
        if (st)
            profile = client.text("Markup").trimmed();
    }
    if (profile.isEmpty())
        profile = q.text("Markup").trimmed();
    Table jobTypes(m_db, QStringLiteral("JobTypes"));
    Record job = jobTypes.newRecord();
    if (q.toLong("JobTypeID") > 0) {
        const Status st = jobTypes.fetch(QStringLiteral("JOBTYPEIDKEY"), { q.toLong("JobTypeID") }, job);
        if (st.isError())
            return st;
    }
    if (profile.isEmpty())
        profile = job.text("Markup").trimmed();
    if (profile.isEmpty()) {
        Table defaults(m_db, QStringLiteral("DEFAULTS"));
        TableCursor cursor(defaults, QStringLiteral("DEFAULTSIDKEY"));
        Record def;
        const Status st = cursor.next(def);
        if (st.isError())
            return st;
        if (st)
            profile = def.text("WebMarkup").trimmed();
    }
    q.setText("Markup", profile);
    if (q.text("MarkupMethod").trimmed().isEmpty()) {
        const QString method = job.text("MarkupMethod").trimmed();
        q.setText("MarkupMethod", method.isEmpty() ? QStringLiteral("Percent") : method);
    }

    if (applyToWorkings && !profile.isEmpty()) {
        Record markup;
        Status st = checkMarkup(profile, onDate, &markup);
        if (st.isError())
            return st;
        if (st) {
            QList<Record> lines;
            st = readWorkings(q.toLong("QuoteID"), &lines);
            if (!st)
                return st;
            Table workings(m_db, QStringLiteral("QuoteWorkings"));
            Transaction tx(m_db);
            if (!tx.status())
                return tx.status();
            bool changed = false;
            for (Record &line : lines) {
                if (line.text("CostCode").trimmed() == QLatin1String("NONE"))
                    continue;
                if (keepLineMarkups && !line.decimal("MarkupPercent").isZero())
                    continue;
                const QString type = line.text("Type").trimmed().toUpper();
                const char *field = type == QLatin1String("M") ? "MaterialPercent"
                    : type == QLatin1String("L")               ? "LabourPercent"
                    : type == QLatin1String("O")               ? "OutworkPercent"
                                                               : nullptr;
                if (!field)
                    continue;
                const Decimal percent = markup.decimal(QString::fromLatin1(field));
                if (line.decimal("MarkupPercent") == percent)
                    continue;
                line.setDecimal("MarkupPercent", percent);
                line.setDecimal("UnitPrice", PricingModel::unitPrice(line.decimal("UnitCost"), percent));
                st = workings.update(line);
                if (!st)
                    return st;
                changed = true;
            }
            st = tx.commit();
            if (!st)
                return st;
            if (changed)
                q.setLong("Calculate", 1);
        }
    }
    quote = q;
    return Status::ok();
}

Status QuoteLibrary::refreshUnitCost(Record &line, Table &materials, Table &labour, Table &outwork)
{
    if (line.text("CostCode").trimmed() == QLatin1String("NONE"))
        return Status::ok();
    const QString type = line.text("Type").trimmed().toUpper();
    Table *table = nullptr;
    const char *key = nullptr;
    const char *idField = nullptr;
    const char *costField = "UnitCost";
    if (type == QLatin1String("M")) {
        table = &materials;
        key = "MATERIALIDKEY";
        idField = "MaterialID";
    } else if (type == QLatin1String("L")) {
        table = &labour;
        key = "LABOURIDKEY";
        idField = "LabourID";
        costField = "CostRate";
    } else if (type == QLatin1String("O")) {
        table = &outwork;
        key = "OUTWORKIDKEY";
        idField = "OutworkID";
    } else {
        return Status::ok();
    }
    const qint32 id = line.toLong(QString::fromLatin1(idField));
    if (id <= 0)
        return Status::ok();
    Record resource = table->newRecord();
    const Status st = table->fetch(QString::fromLatin1(key), { id }, resource);
    if (st.isError())
        return st;
    if (st)
        line.setDecimal("UnitCost", resource.decimal(QString::fromLatin1(costField)));
    return Status::ok();
}

Status QuoteLibrary::costWorkings(const Record &quote, bool refreshCosts, bool saveWorkings, Costing *costing)
{
    *costing = Costing();
    const QList<qint64> qs = quantities(quote);
    const qint64 first = qs.value(0, 0);
    QList<Record> lines;
    Status st = readWorkings(quote.toLong("QuoteID"), &lines);
    if (!st)
        return st;
    Table workings(m_db, QStringLiteral("QuoteWorkings"));
    Table materials(m_db, QStringLiteral("Materials"));
    Table labour(m_db, QStringLiteral("Labour"));
    Table outwork(m_db, QStringLiteral("Outwork"));
    std::optional<Transaction> tx;
    if (saveWorkings) {
        tx.emplace(m_db);
        if (!tx->status())
            return tx->status();
    }
    for (Record &line : lines) {
        if (refreshCosts) {
            st = refreshUnitCost(line, materials, labour, outwork);
            if (!st)
                return st;
        }
        if (saveWorkings) {
            const Record before = line;
            const PricingModel::LineAmounts atFirst = PricingModel::lineAt(line, first, first);
            line.setDecimal(
                "UnitPrice", PricingModel::unitPrice(line.decimal("UnitCost"), line.decimal("MarkupPercent")));
            line.setDecimal("Cost", atFirst.cost);
            line.setDecimal("SellingPrice", atFirst.selling);
            if (!atFirst.selling.fits(15, 2) || !line.decimal("UnitPrice").fits(15, 4))
                return Status::error(
                    QStringLiteral("The workings line %1 is too large to be priced.").arg(line.text("Code").trimmed()));
            if (!(line == before)) {
                st = workings.update(line);
                if (!st)
                    return st;
            }
        }
        if (!isPriced(line))
            continue;
        for (int i = 0; i < qs.size(); ++i) {
            const PricingModel::LineAmounts a = PricingModel::lineAt(line, qs[i], first);
            costing->cost[i] = costing->cost[i] + a.cost;
            costing->calculated[i] = costing->calculated[i] + a.selling;
        }
    }
    return tx ? tx->commit() : Status::ok();
}

Status QuoteLibrary::taxRates(const Record &quote, Decimal *localRate, Decimal *generalRate)
{
    *localRate = Decimal();
    *generalRate = Decimal();
    const QString code = quote.text("TaxCode").trimmed();
    if (code.isEmpty())
        return Status::ok();
    if (const auto known = m_taxRates.constFind(code); known != m_taxRates.cend()) {
        *localRate = known->first;
        *generalRate = known->second;
        return Status::ok();
    }
    MainLibrary main(m_db);
    MainLibrary::TaxRate rate;
    const Status st = main.taxRate(code, QStringLiteral("Sales"), &rate);
    if (st.isNotFound())
        return Status::error(QStringLiteral("The quote's tax code %1 is not in the tax-rate table.").arg(code));
    if (!st)
        return st;
    *localRate = rate.localRate;
    *generalRate = rate.generalRate;
    m_taxRates.insert(code, { rate.localRate, rate.generalRate });
    return Status::ok();
}

Status QuoteLibrary::taxSplits(const Record &quote, QList<PricingModel::TaxSplit> *splits, Decimal *combinedRate)
{
    splits->clear();
    Decimal local, general;
    const Status st = taxRates(quote, &local, &general);
    if (!st)
        return st;
    const bool inclusive = quote.toLong("IncludeTax") != 0;
    const int n = static_cast<int>(quantities(quote).size());
    for (int i = 1; i <= n; ++i) {
        const Decimal price = quote.decimal(PricingModel::column(QStringLiteral("SellingPrice"), i));
        splits->append(inclusive ? PricingModel::taxInGross(price, local, general)
                                 : PricingModel::taxOnNet(price, local, general));
    }
    if (combinedRate)
        *combinedRate = local + general;
    return Status::ok();
}

Status QuoteLibrary::calcTotals(Record &quote)
{
    Record q = quote;
    QList<PricingModel::TaxSplit> splits;
    Decimal rate;
    Status st = taxSplits(q, &splits, &rate);
    if (!st)
        return st;
    q.setDecimal("TaxRate", rate);
    const Decimal commissionRate = q.decimal("CommissionRate");
    for (int i = 1; i <= PricingModel::kQuantities; ++i) {
        if (i <= splits.size()) {
            const PricingModel::TaxSplit &s = splits[i - 1];
            q.setDecimal(amountColumn("TaxAmount", i), s.tax);
            q.setDecimal(amountColumn("MarkupTotal", i), s.net - q.decimal(amountColumn("CostTotal", i)));
            q.setDecimal(amountColumn("Commission", i), PricingModel::percentOf(s.net, commissionRate));
        } else {
            for (const char *name : { "CostTotal", "MarkupTotal", "SellingPrice", "TaxAmount", "Commission" })
                q.setDecimal(amountColumn(name, i), Decimal());
        }
    }
    st = checkAmounts(q);
    if (!st)
        return st;

    // The quantity rows carry the unit price an order placed for that quantity takes over.
    Table rows(m_db, QStringLiteral("QuoteQuantities"));
    QHash<int, Record> byIndex;
    {
        TableCursor cursor(rows, QStringLiteral("QUOTEIDKEY"));
        cursor.setRange({ q.toLong("QuoteID") });
        Record row;
        while ((st = cursor.next(row)))
            byIndex.insert(row.toLong("QuantityIndex"), row);
        if (!st.isNotFound())
            return st;
    }
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    for (int i = 1; i <= splits.size(); ++i) {
        if (!byIndex.contains(i))
            continue;
        Record row = byIndex.value(i);
        const Decimal per = row.decimal("PriceQuantity");
        if (per.isZero())
            continue;
        const Decimal unitPrice = splits[i - 1].net.divided(per, 4);
        if (row.decimal("UnitPrice") == unitPrice)
            continue;
        row.setDecimal("UnitPrice", unitPrice);
        st = rows.update(row);
        if (!st)
            return st;
    }
    st = tx.commit();
    if (!st)
        return st;
    quote = q;
    return Status::ok();
}

Status QuoteLibrary::calcQuote(Record &quote, bool refreshCosts, bool saveWorkings, int quantity)
{
    if (quantity < 0 || quantity > PricingModel::kQuantities)
        return Status::error(QStringLiteral("There is no quantity %1 to calculate.").arg(quantity));
    Record q = quote;
    Decimal local, general;
    Status st = taxRates(q, &local, &general);
    if (!st)
        return st;
    Transaction tx(m_db); // the workings written stay only when the quote can be priced
    if (!tx.status())
        return tx.status();
    Costing costing;
    st = costWorkings(q, refreshCosts, saveWorkings, &costing);
    if (!st)
        return st;
    const bool inclusive = q.toLong("IncludeTax") != 0;
    const int n = static_cast<int>(quantities(q).size());
    for (int i = 1; i <= n; ++i) {
        if (quantity != 0 && quantity != i)
            continue;
        Decimal price = costing.calculated[i - 1];
        if (inclusive)
            price = price + PricingModel::taxOnNet(price, local, general).tax;
        q.setDecimal(amountColumn("CostTotal", i), costing.cost[i - 1]);
        q.setDecimal(amountColumn("SellingPrice", i), price);
    }
    q.setLong("Calculate", 0);
    q.setLong("PriceCalculated", 1);
    st = calcTotals(q);
    if (!st)
        return st;
    st = tx.commit();
    if (!st)
        return st;
    quote = q;
    return Status::ok();
}

Status QuoteLibrary::calcPrice(params::PriceCalcParams &params, Record &quote)
{
    const int only = params.toLong("Qty");
    if (only < 0 || only > PricingModel::kQuantities)
        return Status::error(QStringLiteral("There is no quantity %1 to price.").arg(only));
    Record q = quote;
    const QString method = params.text("MarkupMethod").trimmed();
    if (!method.isEmpty())
        q.setText("MarkupMethod", method);
    const bool useTarget = isTargetPriceMethod(q.text("MarkupMethod")) || q.toLong("UseTargetPrice") != 0;
    const bool inclusive = params.toLong("IncludeTax") != 0;
    q.setLong("IncludeTax", inclusive ? 1 : 0);
    q.setLong("UseCurrency", params.toLong("UseCurrency") != 0 ? 1 : 0);
    for (int i = 1; i <= PricingModel::kQuantities; ++i) {
        if (only == 0 || only == i)
            q.setDecimal(amountColumn("TargetPrice", i), params.decimal("TargetPrice", i - 1));
    }

    Decimal local, general;
    Status st = taxRates(q, &local, &general);
    if (!st && inclusive)
        return st; // without the rate a tax-inclusive price cannot be made
    Costing costing;
    st = costWorkings(q, false, false, &costing);
    if (!st)
        return st;
    bool allFromWorkings = true;
    const int n = static_cast<int>(quantities(q).size());
    for (int i = 1; i <= n; ++i) {
        if (only != 0 && only != i)
            continue;
        Decimal price = costing.calculated[i - 1];
        if (inclusive)
            price = price + PricingModel::taxOnNet(price, local, general).tax;
        const Decimal target = q.decimal(amountColumn("TargetPrice", i));
        if (useTarget && !target.isZero()) {
            price = target;
            allFromWorkings = false;
        }
        q.setDecimal(amountColumn("CostTotal", i), costing.cost[i - 1]);
        q.setDecimal(amountColumn("SellingPrice", i), price + params.decimal("Total", i - 1));
    }
    q.setLong("PriceCalculated", allFromWorkings ? 1 : 0);
    q.setLong("Calculate", 0);

    params::PriceCalcParams filled = params;
    if (params.toLong("CalcComm") != 0) {
        QList<PricingModel::TaxSplit> splits;
        st = taxSplits(q, &splits);
        if (!st)
            return st;
        const Decimal rate = q.decimal("CommissionRate");
        for (int i = 1; i <= splits.size(); ++i) {
            if (only != 0 && only != i)
                continue;
            const Decimal commission = PricingModel::percentOf(splits[i - 1].net, rate);
            q.setDecimal(amountColumn("Commission", i), commission);
            if (!filled.setDecimal("CommBasis", splits[i - 1].net, i - 1)
                || !filled.setDecimal("CommRate", rate, i - 1))
                return Status::error(QStringLiteral("The commission basis of quantity %1 is too large.").arg(i));
        }
    }
    if (params.toLong("CalcTotals") != 0) {
        st = calcTotals(q);
        if (!st)
            return st;
    }
    st = checkAmounts(q);
    if (!st)
        return st;
    params = filled;
    quote = q;
    return Status::ok();
}

Status QuoteLibrary::calcQuoteAuto(
    const params::PricingExtras &extras, Record &quote, bool assignNumber, bool calcTotals, bool save)
{
    Record q = quote;
    Transaction tx(m_db); // workings, number and quote are written together or not at all
    if (!tx.status())
        return tx.status();
    Status st = calcQuote(q, true, true, 0);
    if (!st)
        return st;
    params::PriceCalcParams p;
    p.setLong("FileRequest", 1);
    p.setText("MarkupMethod", q.text("MarkupMethod"));
    for (int i = 1; i <= PricingModel::kQuantities; ++i) {
        if (!p.setDecimal("TargetPrice", q.decimal(amountColumn("TargetPrice", i)), i - 1)
            || !p.setDecimal("Total", extras.decimal("Total", i - 1), i - 1))
            return Status::error(QStringLiteral("The target price of quantity %1 is too large.").arg(i));
    }
    p.setLong("IncludeTax", q.toLong("IncludeTax"));
    p.setLong("UseCurrency", q.toLong("UseCurrency"));
    p.setLong("CalcComm", 1);
    p.setLong("CalcTotals", calcTotals ? 1 : 0);
    p.setLong("Silent", 1);
    st = calcPrice(p, q);
    if (!st)
        return st;
    if (assignNumber) {
        st = assignQuoteNumber(q);
        if (!st)
            return st;
    }
    if (save) {
        st = writeQuote(q);
        if (!st)
            return st;
    }
    st = tx.commit();
    if (!st)
        return st;
    quote = q;
    return Status::ok();
}

} // namespace bizlib
