#include "bizlib/forms/QuoteUpdate.h"

#include "bizlib/Database.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/dictionary/TableGroups.h"
#include "bizlib/forms/FormModel.h"
#include "bizlib/forms/RecordForms.h"

namespace bizlib::forms {

namespace {

const QString kQuotes = QStringLiteral("Quotes");
const QString kSpecTexts = QStringLiteral("SpecTexts");
const QString kCaption = QStringLiteral("Quote");

} // namespace

QuoteUpdate::QuoteUpdate(Database &db, RecordForms &forms, Hooks hooks, Prompter *prompter)
    : m_db(db)
    , m_forms(forms)
    , m_hooks(std::move(hooks))
    , m_prompter(prompter)
{ }

FormLayout QuoteUpdate::quoteLayout()
{
    FormLayout l(kCaption);
    l.group(QStringLiteral("Quote"))
        .addReadOnly(QStringLiteral("QTE:Number"), QStringLiteral("Quote number"))
        .blankWhenZero()
        .addReadOnly(QStringLiteral("QTE:Revision"))
        .add(QStringLiteral("QTE:Status"))
        .add(QStringLiteral("QTE:Title"))
        .withLines(2)
        .add(QStringLiteral("QTE:Name"), QStringLiteral("Client"))
        .add(QStringLiteral("QTE:Contact"))
        .add(QStringLiteral("QTE:Address"))
        .withLines(5)
        .add(QStringLiteral("QTE:Rep"), QStringLiteral("Sales rep"))
        .add(QStringLiteral("QTE:Estimator"))
        .add(QStringLiteral("QTE:ProductCode"))
        .add(QStringLiteral("QTE:TaxCode"))
        .addReadOnly(QStringLiteral("QTE:Currency"));
    // One row per quantity; what the pricing works out is shown, not typed.
    l.group(QStringLiteral("Quantities and prices"),
        { QStringLiteral("Quantity"), QStringLiteral("Description"), QStringLiteral("Target price"),
            QStringLiteral("Price"), QStringLiteral("Tax"), QStringLiteral("Cost"), QStringLiteral("Markup") });
    for (int i = 1; i <= 5; ++i) {
        const auto field = [i](const char *name) { return QStringLiteral("QTE:%1%2").arg(QLatin1String(name)).arg(i); };
        l.add(field("Quantity"), QStringLiteral("Quantity %1").arg(i), FormLayout::Editor::Line)
            .blankWhenZero()
            .add(field("QuantityText"), QStringLiteral("Description %1").arg(i), FormLayout::Editor::Line)
            .add(field("TargetPrice"), QStringLiteral("Target price %1").arg(i))
            .blankWhenZero()
            .add(field("SellingPrice"), QStringLiteral("Price %1").arg(i))
            .blankWhenZero()
            .addReadOnly(field("TaxAmount"), QStringLiteral("Tax %1").arg(i))
            .blankWhenZero()
            .addReadOnly(field("CostTotal"), QStringLiteral("Cost %1").arg(i))
            .blankWhenZero()
            .addReadOnly(field("MarkupTotal"), QStringLiteral("Markup %1").arg(i))
            .blankWhenZero();
    }
    l.group(QStringLiteral("Specification")).sideBySide(2);
    for (const QString &section : dictionary::specSectionNames())
        l.add(QStringLiteral("SPTXT:") + section, section, FormLayout::Editor::MultiLine).withLines(3);
    return l;
}

Status QuoteUpdate::loadSpec(const Record &quote, Record *spec)
{
    Table specs(m_db, kSpecTexts);
    *spec = specs.newRecord();
    const qint32 quoteId = quote.toLong("QuoteID");
    if (quoteId == 0)
        return Status::ok();
    const Status st = specs.fetch(QStringLiteral("QUOTEIDKEY"), { quoteId }, *spec);
    return st.isNotFound() ? Status::ok() : st;
}

Status QuoteUpdate::save(Request request, Record &quote, Record &spec)
{
    // The save hook runs inside the transaction, so that a failed write also undoes what it wrote
    // (a quote number taken from the counter, for instance).
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    if (m_hooks.beforeSave) {
        if (const Status st = m_hooks.beforeSave(quote); !st)
            return st;
    }
    Table quotes(m_db, kQuotes);
    Table specs(m_db, kSpecTexts);
    if (quote.toLong("QuoteID") == 0) {
        Record numbered;
        if (const Status st = quotes.prime(numbered); !st)
            return st;
        quote.setLong("QuoteID", numbered.toLong("QuoteID"));
    }
    Status st;
    if (request == Request::Insert) {
        Record existing = quotes.newRecord();
        st = quotes.fetch(QStringLiteral("QUOTEIDKEY"), { quote.toLong("QuoteID") }, existing);
        if (st.isError())
            return st;
        // The processing windows may have stored the new quote already; saving it again updates it.
        st = st.isOk() ? quotes.update(quote) : quotes.insert(quote);
    } else {
        st = quotes.update(quote);
    }
    if (!st)
        return st;
    spec.setLong("QuoteID", quote.toLong("QuoteID"));
    if (spec.toLong("SpecTextID") == 0) {
        Record numbered;
        if (const Status p = specs.prime(numbered); !p)
            return p;
        spec.setLong("SpecTextID", numbered.toLong("SpecTextID"));
        st = specs.insert(spec);
    } else {
        st = specs.update(spec);
    }
    if (!st)
        return st;
    return tx.commit();
}

Response QuoteUpdate::updateQuote(Request request, const params::QuoteUpdateParams &params, Record &quote)
{
    m_lastStatus = Status::ok();
    const bool readOnly = request == Request::View || request == Request::Select;
    Record working = quote;
    if (params.toLong("ForceCalc") == 1 && !readOnly) {
        m_lastStatus = m_hooks.recalculate ? m_hooks.recalculate(working)
                                           : Status::error(QStringLiteral("No quote calculation is available."));
        if (!m_lastStatus) {
            if (m_prompter) {
                m_prompter->alert(QStringLiteral("Unable to calculate the quote: %1").arg(m_lastStatus.message()),
                    kCaption, Prompter::Icon::Hand);
            }
            return Response::Cancelled;
        }
    }
    Record spec;
    if (m_lastStatus = loadSpec(working, &spec); !m_lastStatus) {
        if (m_prompter) {
            m_prompter->alert(
                QStringLiteral("Unable to read the quote's specification: %1").arg(m_lastStatus.message()), kCaption,
                Prompter::Icon::Hand);
        }
        return Response::Cancelled;
    }

    FormModel form(request, { working, spec }, quoteLayout());
    form.setAcceptHandler([this, request](FormModel &f) {
        Record q = f.record(0);
        Record s = f.record(1);
        const Status st = save(request, q, s);
        if (st) {
            f.setRecord(0, q);
            f.setRecord(1, s);
        }
        return st;
    });
    m_forms.runForm(form);
    if (!form.isAccepted())
        return Response::Cancelled;
    if (!readOnly)
        quote = form.record(0);
    return Response::Completed;
}

} // namespace bizlib::forms
