#include "orders/OrderProcessing.h"

#include "bizlib/AttachmentFiles.h"
#include "bizlib/Database.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/forms/OrderUpdate.h"
#include "bizlib/params/OrderUpdateParams.h"
#include "config/AppContext.h"
#include "config/FrameEvents.h"
#include "config/TraceLog.h"
#include "config/WindowEvents.h"
#include "data/ChangeNotice.h"
#include "data/ProcessingNotice.h"
#include "notes/PhraseToolbox.h"
#include "orders/OrderNotice.h"
#include "orders/RunRows.h"
#include "orders/WebOrderConversion.h"
#include "quotes/QuoteProcessing.h"
#include "quotes/WebNotify.h"
#include "signups/ClientParties.h"
#include "signups/RunWrites.h"

namespace orders {

using bizlib::Record;
using bizlib::Status;
using bizlib::Table;
using bizlib::forms::Response;

namespace {

const QString kWebOrders = QStringLiteral("WebOrders");
const QString kWebItems = QStringLiteral("WebOrderItems");

// The record of `id` in `table` by its primary key; an empty record when there is none. A failed
// read is returned.
Status readById(bizlib::Database &db, const QString &table, qint32 id, Record *r)
{
    Table t(db, table);
    *r = t.newRecord();
    if (id <= 0)
        return Status::ok();
    Record found = t.newRecord();
    const Status st = t.fetch(t.def().primary().name, { id }, found);
    if (st.isError())
        return st;
    if (st)
        *r = found;
    return Status::ok();
}

// As readById, through the run's kept rows when there are any.
Status readKept(RunRows *rows, bizlib::Database &db, const QString &table, qint32 id, Record *r)
{
    if (!rows)
        return readById(db, table, id, r);
    const Status st = rows->read(table, id, r);
    return st.isNotFound() ? Status::ok() : st;
}

bool exists(const Record &r, const char *idField)
{
    return r.isValid() && r.toLong(QLatin1String(idField)) != 0;
}

Status webItems(bizlib::Database &db, qint32 webOrderId, const QString &key, QList<Record> *items, RunRows *rows)
{
    items->clear();
    Table t(db, kWebItems);
    bizlib::TableCursor c(t, key);
    c.setRange({ webOrderId });
    Record r;
    Status st;
    while ((st = c.next(r))) {
        items->append(r);
        if (rows)
            rows->keep(kWebItems, r);
    }
    return st.isNotFound() ? Status::ok() : st;
}

bool isProductOrder(const Record &webOrder)
{
    return webOrder.text("OrderType").trimmed().toUpper() == QLatin1String("PRODUCT");
}

} // namespace

Status OrderProcessing::skipProductOrder(
    bizlib::Database &db, const config::ConsoleSettings &settings, const Record &webOrder, bool *skip, RunRows *rows)
{
    *skip = false;
    if (!isProductOrder(webOrder))
        return Status::ok();
    QList<Record> items;
    if (const Status st = webItems(db, webOrder.toLong("OrderID"), QStringLiteral("ORDERIDKEY"), &items, rows); !st)
        return st;
    int materials = 0;
    const QString voucher = settings.voucherCode.trimmed();
    for (const Record &item : std::as_const(items)) {
        if (item.toLong("FixedCharge1") != 0 || item.toLong("FixedCharge2") != 0)
            continue;
        if (!voucher.isEmpty() && item.text("Code").trimmed() == voucher)
            continue;
        const QString type = item.text("Type").trimmed().toUpper();
        if (type == QLatin1String("M")) {
            if (++materials > 1) {
                *skip = false;
                return Status::ok();
            }
            Record material;
            if (const Status st = readKept(rows, db, QStringLiteral("Materials"), item.toLong("MaterialID"), &material);
                !st)
                return st;
            Record quote;
            if (exists(material, "MaterialID")) {
                if (const Status st = readById(db, QStringLiteral("Quotes"), material.toLong("QuoteID"), &quote); !st)
                    return st;
            }
            *skip = exists(material, "MaterialID") && material.text("Type").trimmed().toUpper() == QLatin1String("WO")
                && exists(quote, "QuoteID") && material.toLong("Exclude") == 0 && settings.skipProductOrder;
        } else if (type == QLatin1String("O")) {
            Record outwork;
            if (const Status st = readById(db, QStringLiteral("Outwork"), item.toLong("OutworkID"), &outwork); !st)
                return st;
            if (exists(outwork, "OutworkID")) {
                *skip = true;
                return Status::ok();
            }
        }
    }
    return Status::ok();
}

Status OrderProcessing::plan(bizlib::Database &db, const Record &webOrder, Plan *plan, RunRows *rows)
{
    plan->orders.clear();
    plan->items.clear();
    QList<Record> items;
    if (const Status st = webItems(db, webOrder.toLong("OrderID"), QStringLiteral("ORDERIDSEQUENCEKEY"), &items, rows);
        !st)
        return st;
    if (!isProductOrder(webOrder)) {
        // The whole web order is one business order, made with its first item.
        plan->orders.append({ 1, false });
        plan->items.append({ 1, items.isEmpty() ? 0 : items.first().toLong("OrderItemID") });
        return Status::ok();
    }
    int works = 0;
    const auto newOrder = [plan](bool isWorks) {
        const int number = int(plan->orders.size()) + 1;
        plan->orders.append({ number, isWorks });
        return number;
    };
    int previous = 0;
    for (const Record &item : std::as_const(items)) {
        int target = 0;
        if (item.text("Type").trimmed().toUpper() == QLatin1String("M")) {
            Record material;
            if (const Status st = readKept(rows, db, QStringLiteral("Materials"), item.toLong("MaterialID"), &material);
                !st)
                return st;
            if (!exists(material, "MaterialID")) {
                // An unknown material stays with the item before it; the first item has none
                // before it and goes with the other items of order 1.
                target = previous;
            } else if (material.toLong("WorksOrder") != 0
                || material.text("Type").trimmed().toUpper() != QLatin1String("PO")) {
                if (works == 0)
                    works = newOrder(true);
                target = works;
            } else {
                target = newOrder(false);
            }
        }
        if (target == 0) {
            // Everything else goes with order 1, whichever order that is.
            if (plan->orders.isEmpty())
                newOrder(false);
            target = 1;
        }
        plan->items.append({ target, item.toLong("OrderItemID") });
        previous = target;
    }
    return Status::ok();
}

OrderProcessing::OrderProcessing(Services services, const Record &webOrder, bool automatic)
    : m_services(std::move(services))
    , m_webOrder(webOrder)
    , m_webOrderId(webOrder.toLong("OrderID"))
    , m_automatic(automatic)
{
    if (!m_services.changeNotice) {
        config::AppContext *ctx = m_services.ctx;
        m_services.changeNotice = [ctx] { data::sendChangeNotice(*ctx->db, ctx->glo.companyNo); };
    }
}

OrderProcessing::~OrderProcessing()
{
    close();
}

bool OrderProcessing::open()
{
    config::AppContext &ctx = *m_services.ctx;
    bizlib::Database &db = *ctx.db;
    m_processingActive = true;
    m_claim = std::make_unique<data::RequestClaim>(db, data::ClaimVariant::orderProcessing(), m_webOrderId,
        ctx.prompter, m_services.changeNotice, ctx.glo.user.userCode,
        bizlib::AttachmentFiles::dataFolders(ctx.brevix.globalData, ctx.brevix.localData));
    const data::RequestClaim::Outcome outcome = m_claim->claim(m_automatic, {}, m_webOrder.text("Status"));
    if (outcome != data::RequestClaim::Outcome::Claimed && outcome != data::RequestClaim::Outcome::Unlocked) {
        m_lastStatus = m_claim->lastStatus();
        if (outcome == data::RequestClaim::Outcome::Failed)
            tell(m_lastStatus, QStringLiteral("The web order could not be claimed."));
        else if (outcome == data::RequestClaim::Outcome::Gone)
            tell(Status::notFound(QStringLiteral("It was processed or removed by another workstation.")),
                QStringLiteral("The web order is no longer there."));
        m_response = Response::Cancelled;
        m_processingActive = false;
        return false;
    }
    // The orders of this run are marked in a set of their own, started empty.
    ctx.glo.tags.newSet(bizlib::TagSets::kWebOrderRun);
    // The claim worked on the row as it is now; so does everything after it.
    if (const Status st = rereadWebOrder(); !st) {
        tell(st, QStringLiteral("The web order could not be read."));
        cancelRoutine(st);
        return false;
    }
    if (ctx.settings.orderPhrases && ctx.glo.phraseToolboxThread == 0 && !m_automatic && ctx.frame)
        ctx.frame->postEvent(config::StartOrderPhrases);
    return true;
}

Status OrderProcessing::rereadWebOrder()
{
    Table orders(*m_services.ctx->db, kWebOrders);
    Record r = orders.newRecord();
    const Status st = orders.fetch(QStringLiteral("ORDERIDKEY"), { m_webOrderId }, r);
    if (st)
        m_webOrder = r;
    return st;
}

bool OrderProcessing::mayStart() const
{
    if (m_started || !m_claim || !m_claim->isHeld() || m_webOrderId == 0)
        return false;
    const config::AppContext &ctx = *m_services.ctx;
    return !ctx.settings.orderPhrases || ctx.glo.phraseToolboxThread > 0 || m_automatic;
}

Response OrderProcessing::run()
{
    if (m_started || !m_claim || !m_claim->isHeld())
        return m_response;
    m_started = true;
    m_refreshRequested = false;
    return runSteps();
}

bool OrderProcessing::signupFirst()
{
    config::AppContext &ctx = *m_services.ctx;
    Record signup;
    if (const Status st = readById(*ctx.db, QStringLiteral("WebSignup"), m_webOrder.toLong("WebSignupID"), &signup);
        !st) {
        tell(st, QStringLiteral("The sign-up of the web order could not be read."));
        cancelRoutine(st);
        return false;
    }
    if (!exists(signup, "WebSignupID") || signup.text("Status").trimmed().toUpper() != QLatin1String("PENDING")
        || signup.text("Source").trimmed().toUpper() != QLatin1String("B2C")
        || signup.text("Platform").trimmed().toUpper() == QLatin1String("XMLTFR"))
        return true;
    Response answer = Response::Cancelled;
    if (m_services.processSignup) {
        answer = m_services.processSignup(signup, m_webOrder);
    } else {
        tell(Status::error(QStringLiteral("The sign-up window is not available here.")),
            QStringLiteral("The web order's sign-up has to be processed first."));
    }
    if (answer != Response::Completed) {
        // The sign-up window gives its own claim back; the web order goes back to its status.
        cancelRoutine(Status::ok());
        return false;
    }
    // The sign-up window wrote the web order (its new client): go on with the row as it is now.
    Status st = rereadWebOrder();
    if (st)
        st = readById(*ctx.db, QStringLiteral("WebSignup"), signup.toLong("WebSignupID"), &signup);
    if (st)
        st = repointAttachments(signup.text("ClientCode").trimmed());
    if (!st) {
        tell(st, QStringLiteral("The web order could not be read after its sign-up was processed."));
        cancelRoutine(st);
        return false;
    }
    return true;
}

Status OrderProcessing::repointAttachments(const QString &clientFolder)
{
    bizlib::Database &db = *m_services.ctx->db;
    if (clientFolder.isEmpty())
        return Status::ok(); // a client without a code has no folder to take the files
    const QString unknown = QStringLiteral("/clients/unknown/");
    const QString known = QStringLiteral("/clients/") + clientFolder + u'/';
    Table attachments(db, QStringLiteral("WebAttachments"));
    bizlib::TableCursor c(attachments, QStringLiteral("ORDERIDKEY"));
    c.setRange({ m_webOrderId });
    QList<Record> rows;
    Record r;
    Status st;
    while ((st = c.next(r)))
        rows.append(r);
    if (!st.isNotFound())
        return st;
    // The files now belong to the new client for good: a later cancel of the orders leaves the
    // re-pointed names, as the sign-up stays processed. Each name is written only while it still
    // holds what was read, and only while this run holds the web order.
    bizlib::Transaction tx(db);
    Status written = tx.status();
    if (written)
        written = m_claim->confirmHeld();
    for (Record &row : rows) {
        QStringList changed;
        for (const char *field : { "SourceName", "SourceFile", "LocalPath", "Filename" }) {
            QString value = row.text(QLatin1String(field));
            if (!value.contains(unknown))
                continue;
            row.setText(QLatin1String(field), value.replace(unknown, known));
            changed << QLatin1String(field);
        }
        if (written && !changed.isEmpty())
            written = attachments.updateIfUnchanged(row, changed);
    }
    if (written)
        written = tx.commit();
    return written;
}

Status OrderProcessing::deliveryParties()
{
    bizlib::Database &db = *m_services.ctx->db;
    RunRows *rows = m_rows.get();
    Record client, dClient, dContact, dOffice;
    Status st = readKept(rows, db, QStringLiteral("Clients"), m_webOrder.toLong("ClientID"), &client);
    if (st)
        st = readKept(rows, db, QStringLiteral("Clients"), m_webOrder.toLong("DClientID"), &dClient);
    if (st)
        st = readKept(rows, db, QStringLiteral("Contacts"), m_webOrder.toLong("DContactID"), &dContact);
    if (!st)
        return st;
    signups::RunWrites writes(db, m_claim.get());
    Record web = m_webOrder;
    const bool hasDeliveryClient = exists(dClient, "ClientID");
    if (hasDeliveryClient && web.toLong("DOfficeID") != -1) {
        if (!(st = readKept(rows, db, QStringLiteral("Offices"), web.toLong("DOfficeID"), &dOffice)))
            return st;
        if (!exists(dOffice, "OfficeID")) {
            Table offices(db, QStringLiteral("Offices"));
            Record found = offices.newRecord();
            st = offices.fetch(
                QStringLiteral("CLIENTPOSTCODEKEY"), { dClient.toLong("ClientID"), web.text("DPostcode") }, found);
            if (st.isError())
                return st;
            if (st) {
                dOffice = found;
                web.setText("DOffice", found.text("Office"));
                web.setLong("DOfficeID", found.toLong("OfficeID"));
            }
        }
    }
    if (web.toLong("WebSignupID") == 0 && exists(client, "ClientID")) {
        const bool xml = WebOrderConversion::isXmlTransfer(web);
        signups::ClientParties parties(writes);
        // The parties may make or link contacts and offices: later steps read those again.
        if (rows) {
            rows->forgetTable(QStringLiteral("Contacts"));
            rows->forgetTable(QStringLiteral("Offices"));
        }
        if (web.toLong("DContactID") == -1 || xml) {
            web.setText("DClientCode", QString());
            web.setLong("DClientID", 0);
            web.setLong("DContactID", 0);
            dContact = Record();
        } else if (!exists(dContact, "ContactID") && hasDeliveryClient
            && web.text("DContact").trimmed() != web.text("Contact").trimmed()) {
            signups::ClientParties::ContactDetails details;
            details.fullName = web.text("DContact").trimmed();
            const qsizetype blank = details.fullName.indexOf(u' ');
            details.firstName = (blank < 0 ? details.fullName : details.fullName.left(blank)).left(25);
            details.lastName = (blank < 0 ? QString() : details.fullName.mid(blank + 1)).left(25);
            details.tel = web.text("DTel");
            details.email = web.text("DEmail");
            bool created = false;
            // A contact that cannot be made leaves the web order without one, as before.
            if (!parties.deliveryContact(dClient, details, &dContact, &created))
                dContact = Record();
        }
        if (web.toLong("DOfficeID") == -1 || xml) {
            web.setText("DOffice", QString());
            web.setLong("DOfficeID", 0);
            dOffice = Record();
        } else if (!exists(dOffice, "OfficeID") && hasDeliveryClient
            && web.text("DAddress").trimmed() != web.text("Address").trimmed()) {
            signups::ClientParties::OfficeDetails details;
            details.name = web.text("DName");
            details.address = web.text("DAddress");
            details.address1 = web.text("DAddress1");
            details.address2 = web.text("DAddress2");
            details.address3 = web.text("DAddress3");
            details.town = web.text("DTown");
            details.county = web.text("DCounty");
            details.postcode = web.text("DPostcode");
            details.countryId = web.toLong("DCountryID");
            details.tel = web.text("DTel");
            details.email = web.text("DEmail");
            details.fallbackContactId = web.toLong("ContactID");
            details.fallbackContactName = web.text("Contact");
            if (!parties.deliveryOffice(dClient, details, dContact, &dOffice))
                dOffice = Record();
        }
        if (exists(dContact, "ContactID")) {
            web.setText("DContact", dContact.text("Name"));
            web.setLong("DContactID", dContact.toLong("ContactID"));
        }
        const bool office = exists(dOffice, "OfficeID");
        web.setText("DOffice", office ? dOffice.text("Office") : QString());
        web.setLong("DOfficeID", office ? dOffice.toLong("OfficeID") : 0);
        web.setText("DClientCode", office ? dOffice.text("ClientCode") : QString());
        web.setLong("DClientID", office ? dOffice.toLong("ClientID") : 0);
    }
    // Only the fields that changed are written, and each is recorded with its earlier value.
    if (!(st = writes.update(web)))
        return st;
    m_webOrder = web;
    return Status::ok();
}

Response OrderProcessing::runSteps()
{
    config::AppContext &ctx = *m_services.ctx;
    bizlib::Database &db = *ctx.db;
    if (m_webOrder.toLong("WebSignupID") != 0 && !signupFirst())
        return m_response;
    // Kept for this run only, from here on: the sign-up before may have written any of them.
    m_rows = std::make_unique<RunRows>(db);
    Status st = deliveryParties();
    if (!st) {
        tell(st, QStringLiteral("The delivery contact and office of the web order could not be prepared."));
        return cancelRoutine(st);
    }
    bool skip = false;
    Plan orders;
    if (st)
        st = skipProductOrder(db, ctx.settings, m_webOrder, &skip, m_rows.get());
    if (st)
        st = plan(db, m_webOrder, &orders, m_rows.get());
    if (!st) {
        tell(st, QStringLiteral("The items of the web order could not be read."));
        return cancelRoutine(st);
    }
    if (orders.orders.isEmpty()) {
        // Nothing to make, and nothing may delete the web order unseen: it goes back to the list.
        const Status none = Status::notFound(QStringLiteral("The web order has no items."));
        tell(none, QStringLiteral("No order can be made from the web order."));
        return cancelRoutine(none);
    }

    WebOrderConversion::Services cs;
    cs.db = &db;
    cs.prompter = ctx.prompter;
    cs.user = ctx.glo.user;
    cs.voucherCode = ctx.settings.voucherCode;
    cs.dataFolder = ctx.brevix.globalData;
    cs.localCopies = quotes::QuoteProcessing::localCopyRules(ctx);
    cs.claim = m_claim.get();
    cs.globalData = ctx.brevix.globalData;
    cs.documents = m_services.documents;
    cs.forms = m_services.forms;
    cs.rows = m_rows.get();
    WebOrderConversion conversion(cs, m_webOrder);
    const int count = int(orders.orders.size());
    for (int n = 0; n < count; ++n) {
        const PlannedOrder &planned = orders.orders.at(n);
        int itemNumber = 0;
        for (const PlannedItem &item : std::as_const(orders.items)) {
            if (item.order != planned.number)
                continue;
            WebOrderConversion::Call call;
            call.itemNumber = ++itemNumber;
            call.orderSequence = n + 1;
            call.orderCount = count;
            call.skipProductOrder = skip;
            call.webItemId = item.webItemId;
            m_processingActive = true;
            // One failed item ends the whole web order: nothing after it may land in an order
            // that is not there, and no order is completed without all its items.
            if (conversion.convert(call) != Response::Completed) {
                m_processingActive = false;
                tell(
                    conversion.lastStatus(), QStringLiteral("Order %1 of the web order could not be made.").arg(n + 1));
                return cancelRoutine(conversion.lastStatus());
            }
        }
        m_processingActive = false;
        if (completeOrder(conversion.order(), n + 1, n + 1 == count) != Response::Completed)
            return m_response;
    }
    m_claim->settle();
    m_response = Response::Completed;
    m_finished = true;
    notifyAll();
    return m_response;
}

Response OrderProcessing::completeOrder(Record &order, int sequence, bool last)
{
    config::AppContext &ctx = *m_services.ctx;
    bizlib::Database &db = *ctx.db;
    Record quote;
    Status st = readById(db, QStringLiteral("Quotes"), order.toLong("QuoteID"), &quote);
    if (!st) {
        tell(st, QStringLiteral("The quote of order %1 could not be read.").arg(sequence));
        return cancelRoutine(st);
    }
    if (!exists(quote, "QuoteID")) {
        order.setLong("QuoteID", 0);
        order.setLong("QuoteNo", 0);
    }
    m_refreshRequested = true;
    const bool hasQuote = order.toLong("QuoteID") != 0;
    bizlib::params::OrderUpdateParams params;
    params.setText("OrderType", order.text("OrderType"));
    params.setLong("Quantity", order.toLong("QuantityValue"));
    params.setText("QuantityText", order.text("Quantity"));
    params.setLong("QuantityIndex", order.toLong("QuantityIndex"));
    params.setLong("OrderFromWeb", 1);
    params.setLong("OrderFromQuote", hasQuote ? 1 : 0);
    params.setLong("SyncQuote", hasQuote ? 1 : 0);
    params.setLong("BatchProcess", m_automatic ? 1 : 0);
    // The save's own transaction: a quote the form marks won is recorded so that a cancel of a
    // later order gives it back; the last order's save deletes the web order with its web records.
    const auto beforeSave = [this, &db, hasQuote, last](Record &saved) -> Status {
        if (hasQuote) {
            Record q;
            Status qs = readById(db, QStringLiteral("Quotes"), saved.toLong("QuoteID"), &q);
            if (!qs)
                return qs;
            if (exists(q, "QuoteID")) {
                const qint32 id = q.toLong("QuoteID");
                qs = m_claim->record(data::RunItem::set(QStringLiteral("Quotes"), id, QStringLiteral("OrderID"),
                    q.text("OrderID"), QString::number(saved.toLong("OrderID"))));
                if (qs)
                    qs = m_claim->record(data::RunItem::set(QStringLiteral("Quotes"), id, QStringLiteral("Status"),
                        q.text("Status"), QStringLiteral("Won")));
                if (!qs)
                    return qs;
            }
        }
        return last ? m_claim->removeRequest() : m_claim->confirmHeld();
    };
    Response response = Response::Cancelled;
    if (m_services.forms) {
        bizlib::forms::OrderUpdate form(db, *m_services.forms, beforeSave, ctx.prompter);
        response = form.updateOrder(bizlib::forms::Request::Insert, params, order);
        st = form.lastStatus();
    } else {
        st = Status::error(QStringLiteral("The order form is not available."));
    }
    if (response != Response::Completed) {
        tell(st, QStringLiteral("Order %1 of the web order was not saved.").arg(sequence));
        return cancelRoutine(st);
    }
    if (!m_createdOrders.contains(order.toLong("OrderID")))
        m_createdOrders.append(order.toLong("OrderID"));
    ctx.glo.tags.setTag(bizlib::TagSets::kWebOrderRun, order.toLong("OrderID"), true);
    return Response::Completed;
}

void OrderProcessing::notifyAll()
{
    // Told once the web order is gone with every order in place: a later cancel can no longer
    // take away an order that someone was already told about.
    if (!m_services.mail)
        return;
    config::AppContext &ctx = *m_services.ctx;
    bizlib::Database &db = *ctx.db;
    Record client, contact;
    readById(db, QStringLiteral("Clients"), m_webOrder.toLong("ClientID"), &client);
    readById(db, QStringLiteral("Contacts"), m_webOrder.toLong("ContactID"), &contact);
    quotes::WebNotify notify({ ctx.db, m_services.mail, &ctx.settings, ctx.glo.user });
    for (const qint32 id : std::as_const(m_createdOrders)) {
        Record order;
        QList<Record> materials;
        Status st = readById(db, QStringLiteral("Orders"), id, &order);
        if (st)
            st = OrderNotice::materialItems(db, id, &materials);
        if (!st || !exists(order, "OrderID")) {
            m_lastStatus = st ? Status::notFound(QStringLiteral("The order is no longer there.")) : st;
            continue;
        }
        notify.send(OrderNotice::text(order, client, materials), OrderNotice::subject(), m_automatic, client, contact);
    }
}

Response OrderProcessing::cancelRoutine(const Status &why)
{
    m_processingActive = false;
    m_lastStatus = why;
    m_response = Response::Cancelled;
    m_finished = true;
    // None of the run's orders stays.
    m_services.ctx->glo.tags.newSet(bizlib::TagSets::kWebOrderRun);
    // The release removes every order, item, note, attachment, contact, office and file the run
    // recorded, puts back what it changed, steps the counters back while they still hold the
    // removed numbers, and gives the web order its saved status.
    if (m_claim && m_claim->isHeld()) {
        const Status released = m_claim->release();
        if (released.isError())
            tell(released,
                QStringLiteral("The web order could not be given back; it stays \"Processing\" until this console "
                               "gives it back (when the database answers again) or it is unlocked."));
        else if (released.isNotFound() && why.isOk())
            tell(released, QStringLiteral("The web order was not given back."));
    }
    return m_response;
}

void OrderProcessing::tell(const Status &st, const QString &what)
{
    if (st.isOk())
        return;
    m_told = data::tellFailure(*m_services.ctx, !m_automatic,
        QStringLiteral("Web order %1").arg(m_webOrder.toLong("Number")), QStringLiteral("Web order processing"), st,
        what);
}

void OrderProcessing::close()
{
    config::AppContext &ctx = *m_services.ctx;
    notes::PhraseToolbox::closeRunning(ctx);
    if (m_claim && m_claim->isHeld())
        cancelRoutine(Status::ok());
    if (m_claim && m_claim->isHeld()) {
        const Status again = m_claim->release();
        if (again.isError() && m_told.isEmpty())
            tell(again,
                QStringLiteral("The database is not answering: the web order stays \"Processing\" until this "
                               "console gives it back."));
    }
    m_processingActive = false;
    m_refreshRequested = true;
}

} // namespace orders
