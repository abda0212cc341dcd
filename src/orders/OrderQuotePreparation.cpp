#include "orders/OrderQuotePreparation.h"

#include "bizlib/Database.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/params/QuoteUpdateParams.h"
#include "bizlib/quote/QuoteForm.h"
#include "bizlib/quote/QuoteLibrary.h"
#include "bizlib/quote/SpecSections.h"
#include "bizlib/report/PdfQuotes.h"
#include "data/RequestClaim.h"
#include "orders/OrderQuoteMerge.h"
#include "orders/WebOrderConversion.h"
#include "quotes/QuoteCompletion.h"

#include <QHash>

namespace orders {

using bizlib::Record;
using bizlib::Status;
using bizlib::Table;

namespace {

const QString kQuotes = QStringLiteral("Quotes");
const QString kSpecTexts = QStringLiteral("SpecTexts");
const QString kTabTexts = QStringLiteral("TabTexts");
constexpr int kSectionLength = 1000;

qint32 keyOf(const Record &row)
{
    return row.toLong(row.table().primary().fields.first());
}

QString slot(const char *name, int i)
{
    return bizlib::PricingModel::column(QString::fromLatin1(name), i);
}

} // namespace

OrderQuotePreparation::OrderQuotePreparation(Services services, const Record &webOrder, bool repeatsQuotedOrder)
    : m_services(std::move(services))
    , m_webOrder(webOrder)
    , m_repeatsQuoted(repeatsQuotedOrder)
{ }

Status OrderQuotePreparation::readRows(const QString &table, const QString &key, qint32 id, QList<Record> *rows)
{
    Table t(*m_services.db, table);
    bizlib::TableCursor cursor(t, key);
    cursor.setRange({ id });
    Record row;
    Status st;
    while ((st = cursor.next(row)))
        rows->append(row);
    return st.isNotFound() ? Status::ok() : st;
}

Status OrderQuotePreparation::prepare(Record &order, bool *orderRemoved)
{
    *orderRemoved = false;
    bizlib::Database &db = *m_services.db;
    Table quotes(db, kQuotes);
    m_quote = quotes.newRecord();
    m_newQuoteId = 0;
    const qint32 quoteId = order.toLong("QuoteID");
    Status st = quoteId == 0 ? Status::notFound() : quotes.fetch(QStringLiteral("QUOTEIDKEY"), { quoteId }, m_quote);
    if (st.isError())
        return st;
    if (st.isNotFound()) {
        // A quote that is gone: the order stands on its own.
        m_quote = quotes.newRecord();
        order.setLong("QuoteID", 0);
        order.setLong("QuoteNo", 0);
        bizlib::Transaction tx(db);
        st = tx.status();
        if (st)
            st = finishOrder(order, false);
        return st ? tx.commit() : st;
    }
    const bool automatic = m_quote.toLong("AutoWebQuote") == 1;
    if (m_webOrder.toLong("PreviousID") == 0 && !automatic)
        return linkQuote(order);

    bizlib::QuoteLibrary library(db, m_services.user);
    st = copyQuote(order, automatic, library);
    if (st)
        st = showOrPrice(automatic, library);
    if (st) {
        order.setLong("QuoteID", m_newQuoteId);
        order.setLong("QuoteNo", m_quote.toLong("Number"));
        order.setText("QuoteRevision", QString());
        order.setText("Title", m_quote.text("Title"));
        bizlib::Transaction tx(db);
        st = tx.status();
        if (st)
            st = finishOrder(order, true);
        if (st)
            st = tx.commit();
    }
    if (st)
        return st;
    if (const Status removed = removeNew(order, orderRemoved); !removed)
        return Status::error(
            QStringLiteral("%1 The order could not be removed again: %2").arg(st.message(), removed.message()));
    return st;
}

Status OrderQuotePreparation::copyQuote(Record &order, bool automatic, bizlib::QuoteLibrary &library)
{
    bizlib::Database &db = *m_services.db;
    Table quotes(db, kQuotes);
    const qint32 sourceId = m_quote.toLong("QuoteID");
    bizlib::Transaction tx(db);
    Status st = tx.status();
    Record numbered;
    if (st)
        st = quotes.prime(numbered);
    if (!st)
        return st;
    m_newQuoteId = numbered.toLong("QuoteID");
    m_quote.setLong("QuoteID", m_newQuoteId);
    m_quote.setLong("Number", 0);
    m_quote.setText("Revision", QString());
    // Recorded first: the rows that the copy hangs off the new quote go with it on a cancel.
    if (m_services.claim && !(st = m_services.claim->record(data::RunItem::row(kQuotes, m_newQuoteId))))
        return st;
    if (st = library.copyQuote(sourceId, m_newQuoteId); !st)
        return st;

    const qint64 ordered = order.toLong("QuantityValue");
    if (automatic) {
        // A quote made for this one order: its only quantity is the ordered one, priced afresh.
        for (int i = 1; i <= bizlib::PricingModel::kQuantities; ++i) {
            for (const char *f : { "Quantity", "QuantityText", "TargetPrice", "CostTotal", "MarkupTotal",
                     "SellingPrice", "TaxAmount", "Commission", "Weight" })
                m_quote.setValue(slot(f, i), QVariant());
        }
        m_quote.setLong("Quantity1", ordered);
        m_quote.setText("QuantityText1", order.text("Quantity"));
        m_quote.setLong("QuantityIndex", 1);
        m_quote.setLong("OrderID", order.toLong("OrderID"));
    } else {
        m_quote.setLong("OrderID", 0);
        bool changed = false;
        OrderQuoteMerge::mergeQuantity(m_quote, ordered, order.text("Quantity"), &changed);
    }
    const int index = int(m_quote.toLong("QuantityIndex"));
    if (st = library.assignQuantities(m_quote); !st)
        return st;
    // The list is in step with the rows now; the ordered quantity keeps its place.
    if (index >= 1 && m_quote.toLong(slot("Quantity", index)) == ordered)
        m_quote.setLong("QuantityIndex", index);

    Record material;
    if (st = takeWebOrder(m_quote, order, &material); !st)
        return st;
    if (st = assignTax(m_quote); !st)
        return st;
    if (st = OrderQuoteMerge::carryExtras(db, order.toLong("OrderID"), m_newQuoteId, m_services.voucherCode); !st)
        return st;
    if (material.text("Class").trimmed() == QLatin1String("Product") || m_quote.toLong("PriceCalculated") == 0) {
        // The price the client accepted is the order's value, at the ordered quantity's place.
        const int place = qBound(1, int(m_quote.toLong("QuantityIndex")), bizlib::PricingModel::kQuantities);
        m_quote.setDecimal(slot("TargetPrice", place), order.decimal("QuotePrice"));
        m_quote.setText("MarkupMethod", QStringLiteral("TP"));
        m_quote.setLong("UseTargetPrice", 1);
        m_quote.setText("PriceList", QString());
    }
    if (st = assignRep(m_quote, library); !st)
        return st;
    m_quote.setLong("Checked", 0);
    if (st = fillSpecification(m_quote, order.text("OrderType").trimmed()); !st)
        return st;
    if (const QString artwork = m_webOrder.text("ArtworkPath"); !artwork.trimmed().isEmpty())
        m_quote.setText("ArtworkPath", artwork);
    return tx.commit();
}

Status OrderQuotePreparation::takeWebOrder(Record &quote, Record &order, Record *material)
{
    bizlib::Database &db = *m_services.db;
    quote.setLong("WebID", m_webOrder.toLong("WebID"));
    quote.setText("Status", QStringLiteral("Won"));
    for (const char *f : { "Contact", "ContactID", "ClientID", "ClientCode", "Name", "Address", "Title", "ProductCode",
             "OfficeID", "Office" })
        quote.setValue(QString::fromLatin1(f), order.value(QString::fromLatin1(f)));
    Table clients(db, QStringLiteral("Clients"));
    Record client = clients.newRecord();
    Status st = quote.toLong("ClientID") == 0
        ? Status::notFound()
        : clients.fetch(clients.def().primary().name, { quote.toLong("ClientID") }, client);
    if (st.isError())
        return st;
    if (st)
        quote.setText("Rep", client.text("Rep"));
    if (const QString artwork = m_webOrder.text("ArtworkPath"); !artwork.trimmed().isEmpty())
        quote.setText("ArtworkPath", artwork);
    Table materials(db, QStringLiteral("Materials"));
    *material = materials.newRecord();
    const QString code = quote.text("ProductCode").trimmed();
    st = code.isEmpty() ? Status::notFound() : materials.fetch(QStringLiteral("CODEKEY"), { code }, *material);
    if (st.isError())
        return st;
    if (st.isNotFound())
        *material = materials.newRecord();
    return Status::ok();
}

Status OrderQuotePreparation::assignTax(Record &quote)
{
    bizlib::MainLibrary::TaxCodeRequest request;
    request.currentCode = quote.text("TaxCode");
    request.rules = QStringLiteral("MTL");
    request.clientId = quote.toLong("ClientID");
    request.contactId = quote.toLong("ContactID");
    request.deliveryClientId = quote.toLong("ClientID");
    request.deliveryOfficeId = 0;
    bizlib::params::TaxCodeParams tax;
    const Status st = bizlib::MainLibrary(*m_services.db).assignTaxCode(request, &tax);
    if (!st)
        return st;
    quote.setText("TaxCode", tax.text("TaxCode"));
    quote.setLong("TaxCodeForce", tax.toLong("TaxCodeForce"));
    return Status::ok();
}

Status OrderQuotePreparation::assignRep(Record &quote, bizlib::QuoteLibrary &library)
{
    Table users(*m_services.db, QStringLiteral("Users"));
    Record rep = users.newRecord();
    const QString initials = quote.text("Rep").trimmed();
    const Status st
        = initials.isEmpty() ? Status::notFound() : users.fetch(QStringLiteral("USERKEY"), { initials }, rep);
    if (st.isError())
        return st;
    if (st.isNotFound()) {
        quote.setText("RepCode", QString());
        return Status::ok();
    }
    return library.assignCommission(QStringLiteral("QTE"), quote);
}

Status OrderQuotePreparation::showOrPrice(bool automatic, bizlib::QuoteLibrary &library)
{
    bizlib::Database &db = *m_services.db;
    if (automatic) {
        bizlib::Transaction tx(db);
        Status st = tx.status();
        if (st)
            st = library.selectIncludes(m_quote, true);
        if (st)
            st = library.calcQuoteAuto(bizlib::params::PricingExtras(), m_quote, true, true, true);
        if (st)
            st = tx.commit();
        if (!st)
            return st;
        if (!m_services.documents)
            return Status::ok();
        bizlib::params::DocumentOutputParams letter
            = quotes::QuoteCompletion::letterParams(m_services.globalData, m_quote);
        // Nobody is there to copy in: the letter is only filed.
        letter.setLong("CCRep", 0);
        letter.setLong("CCMgr", 0);
        st = m_services.documents->run(letter, m_quote, &m_documentFile);
        if (!st)
            return Status::error(QStringLiteral("The letter of quote %1 could not be written: %2")
                                     .arg(m_quote.text("Number").trimmed(), st.message()));
        return Status::ok();
    }

    if (m_repeatsQuoted && m_services.prompter)
        m_services.prompter->alert(repeatMessage(), repeatCaption(), bizlib::Prompter::Icon::Exclamation);
    if (m_services.quotePhrases)
        m_services.quotePhrases();
    if (!m_services.forms)
        return Status::error(QStringLiteral("The quote form is not available."));
    bizlib::params::QuoteUpdateParams params;
    params.setLong("OrderProcess", 1);
    params.setLong("ForceCalc", m_quote.toLong("PriceCalculated") == 1 ? 1 : 0);
    bizlib::forms::QuoteUpdate::Hooks hooks = bizlib::pricedQuoteHooks(library);
    hooks.beforeSave = [this, &library](Record &quote) {
        // A claim taken over meanwhile: the other workstation's run owns the web order now.
        Status st = m_services.claim ? m_services.claim->confirmHeld() : Status::ok();
        return st ? library.assignQuoteNumber(quote) : st;
    };
    bizlib::forms::QuoteUpdate form(db, *m_services.forms, hooks, m_services.prompter);
    Record shown = m_quote;
    const auto response = form.updateQuote(bizlib::forms::Request::Insert, params, shown);
    if (response != bizlib::forms::Response::Completed) {
        const Status why = form.lastStatus();
        return Status::error(why.isError() ? why.message() : QStringLiteral("The quote was not accepted."));
    }
    m_quote = shown;
    return Status::ok();
}

Status OrderQuotePreparation::removeNew(Record &order, bool *orderRemoved)
{
    bizlib::Database &db = *m_services.db;
    bizlib::QuoteLibrary library(db, m_services.user);
    bizlib::Transaction tx(db);
    Status st = tx.status();
    if (st && m_newQuoteId != 0) {
        Table quotes(db, kQuotes);
        Record stored = quotes.newRecord();
        st = quotes.fetch(QStringLiteral("QUOTEIDKEY"), { m_newQuoteId }, stored);
        const qint32 number = st ? stored.toLong("Number") : 0;
        st = st.isError() ? st : library.removeQuote(m_newQuoteId);
        if (st && number != 0)
            st = library.releaseQuoteNumber(number);
    }
    if (st && order.toLong("OrderID") != 0) {
        st = Table(db, QStringLiteral("Orders")).removeWithRelated(order);
        if (st.isNotFound())
            st = Status::ok();
    }
    if (st)
        st = tx.commit();
    if (!st)
        return st;
    *orderRemoved = true;
    m_newQuoteId = 0;
    m_quote = Table(db, kQuotes).newRecord();
    return Status::ok();
}

Status OrderQuotePreparation::linkQuote(Record &order)
{
    bizlib::Database &db = *m_services.db;
    Table quotes(db, kQuotes);
    const qint32 quoteId = m_quote.toLong("QuoteID");
    bizlib::Transaction tx(db);
    Status st = tx.status();
    QList<Record> quoteBefore;
    QList<Record> specsBefore;
    QList<Record> tabsBefore;
    if (st) {
        // Read again inside the transaction: what is put back on a cancel is what was there.
        st = quotes.fetch(QStringLiteral("QUOTEIDKEY"), { quoteId }, m_quote);
        quoteBefore << m_quote;
    }
    if (st)
        st = readRows(kSpecTexts, QStringLiteral("QUOTEIDKEY"), quoteId, &specsBefore);
    if (st)
        st = readRows(kTabTexts, QStringLiteral("QUOTEIDTABIDKEY"), quoteId, &tabsBefore);
    if (!st)
        return st;

    m_quote.setText("Title", m_webOrder.text("Title"));
    if (const QString artwork = m_webOrder.text("ArtworkPath"); !artwork.trimmed().isEmpty())
        m_quote.setText("ArtworkPath", artwork);
    if (st = fillSpecification(m_quote, order.text("OrderType").trimmed()); !st)
        return st;
    QStringList changed;
    for (int i = 0; i < m_quote.table().fields.size(); ++i)
        if (m_quote.isChanged(i))
            changed << m_quote.table().fields.at(i).name;
    if (!changed.isEmpty()) {
        st = quotes.updateIfUnchanged(m_quote, changed);
        if (st.isNotFound())
            return Status::error(QStringLiteral("Quote %1 was changed or removed at another workstation meanwhile; "
                                                "the order was not linked to it.")
                                     .arg(m_quote.text("Number").trimmed()));
        if (!st)
            return st;
    }
    QList<Record> specsAfter;
    QList<Record> tabsAfter;
    if (st = readRows(kSpecTexts, QStringLiteral("QUOTEIDKEY"), quoteId, &specsAfter); !st)
        return st;
    if (st = readRows(kTabTexts, QStringLiteral("QUOTEIDTABIDKEY"), quoteId, &tabsAfter); !st)
        return st;
    if (st = recordChanges(kQuotes, quoteBefore, { m_quote }); !st)
        return st;
    if (st = recordChanges(kSpecTexts, specsBefore, specsAfter); !st)
        return st;
    if (st = recordChanges(kTabTexts, tabsBefore, tabsAfter); !st)
        return st;
    m_quote.markRead();

    order.setLong("QuoteNo", m_quote.toLong("Number"));
    order.setText("QuoteRevision", m_quote.text("Revision"));
    if (st = finishOrder(order, true); !st)
        return st;
    return tx.commit();
}

Status OrderQuotePreparation::recordChanges(
    const QString &table, const QList<Record> &before, const QList<Record> &after)
{
    data::RequestClaim *claim = m_services.claim;
    if (!claim)
        return Status::ok();
    QHash<qint32, Record> now;
    for (const Record &row : after)
        now.insert(keyOf(row), row);
    Status st = claim->confirmHeld();
    for (const Record &was : before) {
        if (!st)
            return st;
        const qint32 key = keyOf(was);
        const auto it = now.constFind(key);
        if (it == now.constEnd()) {
            QList<QPair<QString, QString>> fields;
            for (int i = 0; i < was.table().fields.size(); ++i)
                fields.append({ was.table().fields.at(i).name, was.text(i) });
            st = claim->record(data::RunItem::gone(table, key, fields));
            continue;
        }
        for (int i = 0; st && i < was.table().fields.size(); ++i) {
            if (was.text(i) != it->text(i))
                st = claim->record(
                    data::RunItem::set(table, key, was.table().fields.at(i).name, was.text(i), it->text(i)));
        }
        now.remove(key);
    }
    for (auto it = now.constBegin(); st && it != now.constEnd(); ++it)
        st = claim->record(data::RunItem::row(table, it.key()));
    return st;
}

Status OrderQuotePreparation::fillSpecification(Record &quote, const QString &orderType)
{
    bizlib::Database &db = *m_services.db;
    const qint32 quoteId = quote.toLong("QuoteID");
    const bool xml = WebOrderConversion::isXmlTransfer(m_webOrder);
    QString mode;
    Status st;
    if (xml) {
        Table defaults(db, QStringLiteral("DEFAULTS"));
        Record row = defaults.newRecord();
        bizlib::TableCursor cursor(defaults, QStringLiteral("DEFAULTSIDKEY"));
        st = cursor.next(row);
        if (st.isError())
            return st;
        mode = row.text("XMLSpec").trimmed().toUpper();
    }
    QList<Record> webTabs;
    if (st = readRows(kTabTexts, QStringLiteral("WEBORDERIDTABIDKEY"), m_webOrder.toLong("OrderID"), &webTabs); !st)
        return st;

    Table specs(db, kSpecTexts);
    Record spec = specs.newRecord();
    st = specs.fetch(QStringLiteral("QUOTEIDKEY"), { quoteId }, spec);
    if (st.isError())
        return st;
    const bool existing = st.isOk();
    if (!xml) {
        for (const QString &section : bizlib::SpecSections::names()) {
            const QString own = m_webOrder.text(QStringLiteral("Spec") + section);
            if (!own.isEmpty())
                spec.setText(section, own.left(kSectionLength));
        }
    } else if (mode == QLatin1String("PO") || mode == QLatin1String("MERGE")) {
        for (const QString &section : bizlib::SpecSections::names())
            spec.setText(section, QString());
        Table tabs(db, QStringLiteral("Tabs"));
        for (const Record &text : std::as_const(webTabs)) {
            Record tab = tabs.newRecord();
            if (st = tabs.fetch(QStringLiteral("TABIDKEY"), { text.toLong("TabID") }, tab); st.isError())
                return st;
            if (!st || tab.toLong("SpecSection") != 1)
                continue;
            const QString section = bizlib::SpecSections::sectionForTab(tab.text("Name"));
            if (!section.isEmpty())
                spec.setText(section, text.text("Text").left(kSectionLength));
        }
        if (webTabs.isEmpty()) {
            for (const QString &section : bizlib::SpecSections::names()) {
                const QString own = m_webOrder.text(QStringLiteral("Spec") + section);
                if (!own.isEmpty())
                    spec.setText(section, own.left(kSectionLength));
            }
        }
    }
    if (existing) {
        st = specs.update(spec);
    } else {
        Record numbered;
        if (st = specs.prime(numbered); !st)
            return st;
        spec.setLong("SpecTextID", numbered.toLong("SpecTextID"));
        spec.setLong("QuoteID", quoteId);
        st = specs.insert(spec);
        if (!st)
            specs.release(spec);
    }
    if (!st)
        return st;

    bizlib::QuoteLibrary library(db, m_services.user);
    if (webTabs.isEmpty())
        return library.syncQuoteSpec(quote);

    QSet<qint32> filled; // tabs with a non-empty web text
    QSet<qint32> named; // tabs the web order has at all
    for (const Record &text : std::as_const(webTabs)) {
        named.insert(text.toLong("TabID"));
        if (!text.text("Text").isEmpty())
            filled.insert(text.toLong("TabID"));
    }
    QList<Record> own;
    if (st = readRows(kTabTexts, QStringLiteral("QUOTEIDTABIDKEY"), quoteId, &own); !st)
        return st;
    Table texts(db, kTabTexts);
    for (const Record &row : std::as_const(own)) {
        const qint32 tab = row.toLong("TabID");
        bool drop = false;
        if (!xml)
            drop = orderType == QLatin1String("Service") && filled.contains(tab);
        else if (mode == QLatin1String("PO"))
            drop = true;
        else if (mode == QLatin1String("MERGE"))
            drop = named.contains(tab) && !row.text("Text").isEmpty();
        else
            drop = named.contains(tab);
        if (drop && !(st = texts.remove(row)) && !st.isNotFound())
            return st;
    }
    for (const Record &text : std::as_const(webTabs)) {
        if (text.text("Text").isEmpty())
            continue;
        Record copy;
        if (st = texts.prime(copy); !st)
            return st;
        const qint32 id = copy.toLong("TabTextID");
        copy = text;
        copy.setLong("TabTextID", id);
        copy.setLong("QuoteID", quoteId);
        copy.setLong("WebOrderID", 0);
        copy.setLong("OrderID", 0);
        if (st = texts.insert(copy); !st) {
            texts.release(copy);
            return st;
        }
    }
    return Status::ok();
}

Status OrderQuotePreparation::finishOrder(Record &order, bool withQuote)
{
    bizlib::Database &db = *m_services.db;
    bool numeric = false;
    const qint64 typed = order.text("Quantity").trimmed().toLongLong(&numeric);
    const int index = int(m_quote.toLong("QuantityIndex"));
    const bool validIndex = index >= 1 && index <= bizlib::PricingModel::kQuantities;
    if (numeric || !withQuote)
        order.setLong("QuantityValue", numeric ? typed : 0);
    else if (validIndex)
        order.setLong("QuantityValue", m_quote.toLong(slot("Quantity", index)));
    if (withQuote) {
        order.setLong("QuoteID", m_quote.toLong("QuoteID"));
        order.setLong("QuantityIndex", index);
        if (validIndex) {
            Table quantities(db, QStringLiteral("QuoteQuantities"));
            Record row = quantities.newRecord();
            const Status st = quantities.fetch(QStringLiteral("QUOTEIDKEY"), { m_quote.toLong("QuoteID"), index }, row);
            if (st.isError())
                return st;
            if (st) {
                order.setText("UnitText", row.text("UnitText"));
                order.setDecimal("PriceQuantity", row.decimal("PriceQuantity"));
                order.setDecimal("UnitQuantity", row.decimal("UnitQuantity"));
            }
        }
    } else if (order.toLong("QuantityIndex") == 0) {
        order.setLong("QuantityIndex", 1);
    }
    if (order.text("Spec").trimmed().isEmpty())
        order.setText("Spec", order.text("Title"));
    Table orders(db, QStringLiteral("Orders"));
    const Status st = orders.update(order);
    if (st)
        order.markRead();
    return st;
}

} // namespace orders
