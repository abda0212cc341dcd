#include "bizlib/forms/OrderUpdate.h"

#include "bizlib/Database.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/dictionary/TableGroups.h"
#include "bizlib/forms/FormModel.h"
#include "bizlib/forms/RecordForms.h"
#include "bizlib/order/OrderLibrary.h"

namespace bizlib::forms {

namespace {

const QString kOrders = QStringLiteral("Orders");
const QString kSpecTexts = QStringLiteral("SpecTexts");
const QString kCaption = QStringLiteral("Order");

} // namespace

OrderUpdate::OrderUpdate(Database &db, RecordForms &forms, Hook beforeSave, Prompter *prompter)
    : m_db(db)
    , m_forms(forms)
    , m_beforeSave(std::move(beforeSave))
    , m_prompter(prompter)
{ }

FormLayout OrderUpdate::orderLayout()
{
    FormLayout l(kCaption);
    l.group(QStringLiteral("Order"))
        .addReadOnly(QStringLiteral("ORD:JobNo"), QStringLiteral("Job number"))
        .blankWhenZero()
        .add(QStringLiteral("ORD:Status"))
        .add(QStringLiteral("ORD:OrderType"))
        .add(QStringLiteral("ORD:Title"))
        .withLines(2)
        .add(QStringLiteral("ORD:Name"), QStringLiteral("Client"))
        .add(QStringLiteral("ORD:Contact"))
        .add(QStringLiteral("ORD:Address"))
        .withLines(5)
        .add(QStringLiteral("ORD:OrderNo"), QStringLiteral("Order number"))
        .add(QStringLiteral("ORD:DueDate"))
        .add(QStringLiteral("ORD:DueTime"))
        .add(QStringLiteral("ORD:TaxCode"))
        .add(QStringLiteral("ORD:QuotePrice"), QStringLiteral("Price"));
    l.group(QStringLiteral("Quantity and delivery"))
        .add(QStringLiteral("ORD:Quantity"))
        .addReadOnly(QStringLiteral("ORD:QuantityValue"), QStringLiteral("Quantity ordered"))
        .add(QStringLiteral("ORD:UnitText"), QStringLiteral("Unit"))
        .add(QStringLiteral("ORD:DName"), QStringLiteral("Deliver to"))
        .add(QStringLiteral("ORD:DContact"), QStringLiteral("Delivery contact"))
        .add(QStringLiteral("ORD:DAddress"), QStringLiteral("Delivery address"))
        .withLines(5)
        .add(QStringLiteral("ORD:DMethod"), QStringLiteral("Delivery method"));
    l.group(QStringLiteral("Specification")).sideBySide(2);
    for (const QString &section : dictionary::specSectionNames())
        l.add(QStringLiteral("SPTXT:") + section, section, FormLayout::Editor::MultiLine).withLines(3);
    return l;
}

Status OrderUpdate::save(Request request, const params::OrderUpdateParams &params, Record &order, Record &spec)
{
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    if (m_beforeSave) {
        if (const Status st = m_beforeSave(order); !st)
            return st;
    }
    Table orders(m_db, kOrders);
    Table specs(m_db, kSpecTexts);
    if (order.toLong("OrderID") == 0) {
        Record numbered;
        if (const Status st = orders.prime(numbered); !st)
            return st;
        order.setLong("OrderID", numbered.toLong("OrderID"));
    }
    if (order.toLong("JobNo") == 0) {
        qint32 job = 0;
        if (const Status st = OrderLibrary::jobNumbers(m_db).take(&job); !st)
            return st;
        order.setLong("JobNo", job);
    }
    Status st;
    if (request == Request::Insert) {
        Record existing = orders.newRecord();
        st = orders.fetch(QStringLiteral("ORDERIDKEY"), { order.toLong("OrderID") }, existing);
        if (st.isError())
            return st;
        // The processing windows store the new order before the form opens; saving it updates it.
        st = st.isOk() ? orders.update(order) : orders.insert(order);
    } else {
        st = orders.update(order);
    }
    if (!st)
        return st;
    spec.setLong("OrderID", order.toLong("OrderID"));
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
    if (params.toLong("SyncQuote") == 1 && order.toLong("QuoteID") != 0) {
        Table quotes(m_db, QStringLiteral("Quotes"));
        Record quote = quotes.newRecord();
        st = quotes.fetch(QStringLiteral("QUOTEIDKEY"), { order.toLong("QuoteID") }, quote);
        if (st.isError())
            return st;
        if (st) {
            quote.setLong("OrderID", order.toLong("OrderID"));
            quote.setText("Status", QStringLiteral("Won"));
            if (st = quotes.update(quote); !st)
                return st;
        }
    }
    return tx.commit();
}

Response OrderUpdate::updateOrder(Request request, const params::OrderUpdateParams &params, Record &order)
{
    m_lastStatus = Status::ok();
    const bool readOnly = request == Request::View || request == Request::Select;
    Record working = order;
    if (!readOnly) {
        if (const QString type = params.text("OrderType"); !type.trimmed().isEmpty())
            working.setText("OrderType", type);
        if (params.toLong("Quantity") != 0)
            working.setLong("QuantityValue", params.toLong("Quantity"));
        if (params.toLong("QuantityIndex") != 0)
            working.setLong("QuantityIndex", params.toLong("QuantityIndex"));
        if (params.toLong("OrderFromWeb") == 1)
            working.setLong("Website", 1);
    }
    Table specs(m_db, kSpecTexts);
    Record spec = specs.newRecord();
    if (working.toLong("OrderID") != 0) {
        m_lastStatus = specs.fetch(QStringLiteral("ORDERIDKEY"), { working.toLong("OrderID") }, spec);
        if (m_lastStatus.isNotFound())
            m_lastStatus = Status::ok();
    }
    if (!m_lastStatus) {
        if (m_prompter)
            m_prompter->alert(
                QStringLiteral("Unable to read the order's specification: %1").arg(m_lastStatus.message()), kCaption,
                Prompter::Icon::Hand);
        return Response::Cancelled;
    }
    if (params.toLong("BatchProcess") == 1) {
        if (readOnly)
            return Response::Completed;
        m_lastStatus = save(request, params, working, spec);
        if (!m_lastStatus)
            return Response::Cancelled;
        order = working;
        return Response::Completed;
    }

    FormModel form(request, { working, spec }, orderLayout());
    form.setAcceptHandler([this, request, &params](FormModel &f) {
        Record o = f.record(0);
        Record s = f.record(1);
        const Status st = save(request, params, o, s);
        if (st) {
            f.setRecord(0, o);
            f.setRecord(1, s);
        }
        return st;
    });
    m_forms.runForm(form);
    if (!form.isAccepted())
        return Response::Cancelled;
    if (!readOnly)
        order = form.record(0);
    return Response::Completed;
}

} // namespace bizlib::forms
