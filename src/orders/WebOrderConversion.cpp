#include "orders/WebOrderConversion.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/order/OrderLibrary.h"
#include "data/RequestClaim.h"
#include "orders/OrderQuotePreparation.h"
#include "orders/RunRows.h"
#include "quotes/FileJournal.h"
#include "quotes/WebSpecSections.h"

#include <QTime>

namespace orders {

using bizlib::Record;
using bizlib::Status;
using bizlib::Table;
using Response = bizlib::forms::Response;

namespace {

const QString kOrders = QStringLiteral("Orders");
const QString kItems = QStringLiteral("OrderItems");

bool isProduct(const Record &order)
{
    return order.text("OrderType").trimmed() == QLatin1String("Product");
}

// Reads the row of `tableName` with primary key `id` into *row. NotFound for 0 or a missing row.
Status readById(bizlib::Database &db, const QString &tableName, qint32 id, Record *row)
{
    Table table(db, tableName);
    *row = table.newRecord();
    if (id == 0)
        return Status::notFound();
    return table.fetch(table.def().primary().name, { id }, *row);
}

} // namespace

WebOrderConversion::WebOrderConversion(Services services, const Record &webOrder)
    : m_services(std::move(services))
    , m_webOrder(webOrder)
    , m_copies(*m_services.db, m_services.dataFolder)
{ }

bool WebOrderConversion::isXmlTransfer(const Record &webOrder)
{
    return webOrder.text("Platform").trimmed().toUpper() == QLatin1String("XMLTFR");
}

QStringList WebOrderConversion::refusals() const
{
    QStringList out;
    for (const auto &file : m_staged)
        if (!file.refused.isEmpty())
            out << file.refused;
    return out;
}

Status WebOrderConversion::readRow(const QString &table, qint32 id, Record *row)
{
    return m_services.rows ? m_services.rows->read(table, id, row) : readById(*m_services.db, table, id, row);
}

Response WebOrderConversion::convert(const Call &call)
{
    bizlib::Database &db = *m_services.db;
    quotes::FileJournal journal;
    m_lastStatus = Status::ok();
    m_listOptionsPending.clear();
    if (call.itemNumber == 1) {
        if (m_lastStatus = stageOrderFiles(&journal); !m_lastStatus) {
            journal.undo();
            return Response::Cancelled;
        }
    }
    {
        bizlib::Transaction tx(db);
        m_lastStatus = tx.status();
        if (m_lastStatus && call.itemNumber == 1)
            m_lastStatus = createOrder(call, &journal);
        if (m_lastStatus)
            m_lastStatus = convertItem(call);
        if (m_lastStatus) {
            m_order.setLong("ItemNumber", call.itemNumber);
            m_lastStatus = writeOrder();
        }
        if (m_lastStatus)
            m_lastStatus = tx.commit();
    }
    if (!m_lastStatus) {
        journal.undo();
        return Response::Cancelled;
    }
    journal.keep();
    m_listOptions.unite(m_listOptionsPending);
    // The questions come after the commit: nothing waits for the user while rows are locked.
    if (isProduct(m_order)) {
        if (m_lastStatus = offerLinkedItems(); !m_lastStatus)
            return Response::Cancelled;
    }
    if (call.itemNumber == 1 && isProduct(m_order) && call.skipProductOrder) {
        bizlib::Transaction tx(db);
        m_lastStatus = tx.status();
        if (m_lastStatus)
            m_lastStatus = worksOrderItem();
        if (m_lastStatus)
            m_lastStatus = writeOrder();
        if (m_lastStatus)
            m_lastStatus = tx.commit();
        if (!m_lastStatus)
            return Response::Cancelled;
    }
    if (call.itemNumber == 1 && m_order.toLong("QuoteID") != 0) {
        OrderQuotePreparation::Services services { &db, m_services.prompter, m_services.user, m_services.voucherCode,
            m_services.globalData, m_services.documents, m_services.forms, m_services.claim, m_services.quotePhrases };
        OrderQuotePreparation preparation(std::move(services), m_webOrder, m_repeatsQuoted);
        m_lastStatus = preparation.prepare(m_order, &m_orderRemoved);
        m_quoteDocument = preparation.documentFile();
        if (!m_lastStatus)
            return Response::Cancelled;
    }
    return Response::Completed;
}

Status WebOrderConversion::stageOrderFiles(quotes::FileJournal *journal)
{
    m_staged.clear();
    // The order's identifier is not known yet; the folder depends only on the kind of owner.
    const quotes::ConversionOwner owner = quotes::ConversionOwner::order(0, m_webOrder.toLong("OrderID"));
    const auto created = [this](const QString &path) {
        return m_services.claim ? m_services.claim->recordNow(data::RunItem::file(path)) : Status::ok();
    };
    return m_copies.stageFiles(owner, false, m_services.localCopies, created, &m_staged, journal);
}

Status WebOrderConversion::readDefaults(Record *defaults)
{
    Table table(*m_services.db, QStringLiteral("DEFAULTS"));
    *defaults = table.newRecord();
    bizlib::TableCursor cursor(table, QStringLiteral("DEFAULTSIDKEY"));
    const Status st = cursor.next(*defaults);
    return st.isNotFound() ? Status::ok() : st;
}

Status WebOrderConversion::createOrder(const Call &call, quotes::FileJournal *)
{
    bizlib::Database &db = *m_services.db;
    Table orders(db, kOrders);
    Record numbered;
    Status st = orders.prime(numbered);
    if (!st)
        return st;
    const qint32 orderId = numbered.toLong("OrderID");
    m_order = orders.newRecord();
    m_order.setLong("OrderID", orderId);
    // Recorded first: whatever else this call writes belongs to the order and goes with it.
    if (m_services.claim && !(st = m_services.claim->record(data::RunItem::row(kOrders, orderId))))
        return st;
    if (st = copyPreviousOrder(); !st)
        return st;

    m_order.copyMatching(m_webOrder);
    m_order.setLong("OrderID", orderId);
    m_order.setLong("CreatedOn", bizlib::DateTime::today());
    m_order.setLong("CreatedAt", bizlib::DateTime::now());
    m_order.setText("CreatedBy", m_services.user.userCode);
    m_order.setText("Owner", m_services.user.userCode);
    m_order.setText("Status", QStringLiteral("Active"));
    m_order.setLong("Works", 1);
    m_order.setLong("NoteID", 0);
    m_order.setLong("OrderSequence", call.orderSequence);
    bool numeric = false;
    const qint64 quantity = m_webOrder.text("Quantity").trimmed().toLongLong(&numeric);
    m_order.setLong("QuantityValue", numeric ? quantity : 0);

    if (st = fillSpecification(); !st)
        return st;
    if (st = dueDateAndTax(); !st)
        return st;
    // Once per web order and method: the option stays in the list once it is there.
    if (const QString method = m_order.text("DMethod").trimmed();
        !method.isEmpty() && !m_listOptions.contains(method)) {
        if (st = bizlib::MainLibrary(db).addListOption(QStringLiteral("ORD:DMethod"), method); !st)
            return st;
        m_listOptionsPending.insert(method);
    }
    if (m_order.text("UnitText").trimmed().isEmpty()) {
        m_order.setText("UnitText", QStringLiteral("Job"));
        m_order.setDecimal("PriceQuantity", bizlib::Decimal::fromInt(m_order.toLong("QuantityValue")));
        m_order.setDecimal("UnitQuantity", bizlib::Decimal::fromInt(m_order.toLong("QuantityValue")));
    }
    if (st = unlinkDeliveryContactOffice(); !st)
        return st;

    const quotes::ConversionOwner owner = quotes::ConversionOwner::order(orderId, m_webOrder.toLong("OrderID"));
    qint32 lastNote = 0;
    // A note that cannot be stored fails the order: the web order, and so the note, stays.
    if (st = m_copies.copyNotes(owner, &lastNote); !st)
        return Status::error(QStringLiteral("A note of the web order could not be copied: %1").arg(st.message()));
    m_order.setLong("NoteID", lastNote);
    if (st = m_copies.copyAttachments(owner, false, m_staged); !st)
        return st;
    if (st = registerDeliveryTown(); !st)
        return st;
    // The order row is stored now; the order form updates it.
    if (st = orders.insert(m_order); !st)
        return st;
    m_order.markRead();
    return Status::ok();
}

Status WebOrderConversion::copyPreviousOrder()
{
    m_repeatsQuoted = false;
    const qint32 previousId = m_webOrder.toLong("PreviousID");
    if (previousId == 0)
        return Status::ok();
    bizlib::OrderLibrary::CopyOptions options;
    if (isXmlTransfer(m_webOrder)) {
        Record defaults;
        if (const Status st = readDefaults(&defaults); !st)
            return st;
        options.items = defaults.toLong("XMLCopyWorkings") == 1;
        options.spec = true;
        options.notes = defaults.toLong("XMLCopyNotes") == 1;
    }
    options.attachments = false;
    bizlib::OrderLibrary library(*m_services.db, m_services.user);
    const Status st = library.copyOrder(previousId, m_order, options, &m_repeatsQuoted);
    // A previous order that is gone is no repeat: the order starts afresh.
    return st.isNotFound() ? Status::ok() : st;
}

Status WebOrderConversion::fillSpecification()
{
    bizlib::Database &db = *m_services.db;
    const quotes::ConversionOwner owner
        = quotes::ConversionOwner::order(m_order.toLong("OrderID"), m_webOrder.toLong("OrderID"));
    quotes::WebSpecSections sections(db);
    bool hadTabTexts = false;
    Status st = sections.fill(owner, m_webOrder, &hadTabTexts);
    if (!st)
        return st;
    bizlib::OrderLibrary library(db, m_services.user);
    st = hadTabTexts ? sections.copyTabTexts(owner) : library.syncOrderSpec(m_order);
    if (!st)
        return st;
    return library.assignOrderSpec(m_order);
}

Status WebOrderConversion::dueDateAndTax()
{
    bizlib::Database &db = *m_services.db;
    if (m_webOrder.toLong("Required") == 0) {
        Record defaults;
        if (const Status st = readDefaults(&defaults); !st)
            return st;
        m_order.setLong("DueDate", bizlib::DateTime::today() + defaults.toLong("LeadDays"));
    } else {
        m_order.setLong("DueDate", m_webOrder.toLong("Required"));
    }
    if (m_order.toLong("DueTime") == 0)
        m_order.setLong("DueTime", bizlib::DateTime::fromTime(QTime(9, 0)));

    bizlib::MainLibrary::TaxCodeRequest request;
    request.currentCode = m_order.text("TaxCode");
    request.rules = QStringLiteral("MTL");
    request.clientId = m_order.toLong("ClientID");
    request.contactId = m_order.toLong("ContactID");
    request.deliveryClientId = m_order.toLong("DClientID");
    request.deliveryOfficeId = qMax(0, m_order.toLong("DOfficeID"));
    // The orders of one web order have the same parties: the code chosen for the first serves the
    // others, until this run changes one of the parties.
    const QString key
        = QStringList { request.currentCode, QString::number(request.clientId), QString::number(request.contactId),
              QString::number(request.deliveryClientId), QString::number(request.deliveryOfficeId) }
              .join(u'\n');
    if (!m_taxChoice || m_taxChoice->request != key) {
        bizlib::params::TaxCodeParams tax;
        const Status st = bizlib::MainLibrary(db).assignTaxCode(request, &tax);
        if (!st)
            return st;
        m_taxChoice = TaxChoice { key, tax.text("TaxCode"), tax.toLong("TaxCodeForce") };
    }
    m_order.setText("TaxCode", m_taxChoice->code);
    m_order.setLong("TaxCodeForce", m_taxChoice->force);
    return Status::ok();
}

Status WebOrderConversion::unlinkDeliveryContactOffice()
{
    const qint32 office = m_order.toLong("DOfficeID");
    if (office <= 0)
        return Status::ok();
    Record contact;
    const qint32 contactId = m_order.toLong("DContactID");
    Status st = readRow(QStringLiteral("Contacts"), contactId, &contact);
    if (st.isNotFound())
        return Status::ok();
    if (!st)
        return st;
    if (contact.toLong("OfficeID") == 0 || contact.toLong("OfficeID") == office)
        return Status::ok();
    contact.setLong("OfficeID", 0);
    contact.setText("Office", QString());
    // Only while the link is still the one read: a link another workstation set meanwhile stays.
    st = Table(*m_services.db, QStringLiteral("Contacts")).updateIfUnchanged(contact, { QStringLiteral("OfficeID") });
    // Written or changed elsewhere: the contact is read again when it is needed, and the tax code,
    // which may go by the contact's office, is chosen again.
    if (m_services.rows)
        m_services.rows->forget(QStringLiteral("Contacts"), contactId);
    m_taxChoice.reset();
    return st.isNotFound() ? Status::ok() : st;
}

Status WebOrderConversion::registerDeliveryTown()
{
    const QString town = m_order.text("DTown").trimmed();
    const QString county = m_order.text("DCounty").trimmed();
    if (town.isEmpty() && county.isEmpty())
        return Status::ok();
    const QString key = town + u'\n' + county;
    if (const auto it = m_townsFound.constFind(key); it != m_townsFound.constEnd()) {
        m_order.setText("DTown", it->first);
        m_order.setText("DCounty", it->second);
        return Status::ok();
    }
    Table towns(*m_services.db, QStringLiteral("Towns"));
    Record row = towns.newRecord();
    Status st = towns.fetch(QStringLiteral("TOWNCOUNTYKEY"), { town, county }, row);
    if (st) {
        m_order.setText("DTown", row.text("Town"));
        m_order.setText("DCounty", row.text("County"));
        m_townsFound.insert(key, { row.text("Town"), row.text("County") });
        return Status::ok();
    }
    if (!st.isNotFound())
        return st;
    if (st = towns.prime(row); !st)
        return st;
    row.setText("Town", town);
    row.setText("County", county);
    row.setLong("CountryID", m_order.toLong("DCountryID"));
    row.setText("Country", m_order.text("DCountry"));
    st = towns.insert(row);
    if (!st)
        towns.release(row);
    return st;
}

Status WebOrderConversion::convertItem(const Call &call)
{
    bizlib::Database &db = *m_services.db;
    Record webItem;
    Status st = readRow(QStringLiteral("WebOrderItems"), call.webItemId, &webItem);
    if (st.isNotFound())
        return Status::ok();
    if (!st)
        return st;
    Table items(db, kItems);
    Record item;
    if (st = items.prime(item); !st)
        return st;
    const qint32 itemId = item.toLong("OrderItemID");
    item.copyMatching(webItem);
    item.setLong("OrderItemID", itemId);
    item.setLong("OrderID", m_order.toLong("OrderID"));
    item.setLong("ParentItemID", 0);
    Record material;
    if (st = priceItem(webItem, item, &material); !st)
        return st;
    item.setLong("Sequence", call.itemNumber);
    if (isProduct(m_order))
        item.setLong("LineNo", call.itemNumber);
    if (st = items.insert(item); !st) {
        items.release(item);
        return st;
    }
    if (item.text("Type").trimmed() != QLatin1String("M"))
        return Status::ok();
    if (call.itemNumber == 1 && (isProduct(m_order) || material.text("Type").trimmed() == QLatin1String("WO"))
        && !isXmlTransfer(m_webOrder)) {
        m_order.setText("Title", item.text("Description"));
        takePackaging(material);
    }
    const quotes::ConversionOwner owner
        = quotes::ConversionOwner::order(m_order.toLong("OrderID"), m_webOrder.toLong("OrderID"));
    QString first;
    st = m_copies.copyItemAttachments(owner, webItem.toLong("OrderItemID"), call.skipProductOrder ? 0 : itemId, &first);
    if (st && !first.isEmpty() && m_order.text("ArtworkPath").trimmed().isEmpty())
        m_order.setText("ArtworkPath", first);
    return st;
}

Status WebOrderConversion::priceItem(const Record &webItem, Record &item, Record *material)
{
    bizlib::Database &db = *m_services.db;
    const QString type = webItem.text("Type").trimmed();
    Record resource;
    if (const QString table = bizlib::OrderLibrary::resourceTable(type); !table.isEmpty()) {
        const Status st = readRow(table, webItem.toLong(bizlib::OrderLibrary::resourceIdField(type)), &resource);
        if (st.isError())
            return st;
        if (st.isNotFound())
            resource = Record();
    }
    if (type == QLatin1String("M") && resource.isValid())
        *material = resource;
    const QString webTaxCode = item.text("TaxCode");
    bizlib::OrderLibrary::assignOrderItem(type, item, resource);
    if (item.text("TaxCode").trimmed().isEmpty())
        item.setText("TaxCode", webTaxCode);
    // The website's description and amounts stand.
    for (const char *field : { "Description", "UnitCost", "UnitPrice", "Cost", "UnitCost2", "UnitPrice2", "Net",
             "FixedCharge1", "FixedCharge2" })
        item.setValue(QString::fromLatin1(field), webItem.value(QString::fromLatin1(field)));

    if (webItem.toLong("FixedCharge1") == 1 || webItem.toLong("FixedCharge2") == 1) {
        item.setValue("Quantity", webItem.value("Quantity"));
        item.setValue("Quantity2", webItem.value("Quantity2"));
        item.setLong("FixedCharge1", 1);
        item.setText(
            "PricingBasis", (type == QLatin1String("O") ? QStringLiteral("Fixed") : QStringLiteral("User")).left(3));
        item.setText("CostCode", QStringLiteral("NONE"));
        for (const char *field : { "TaxCode", "TaxRate", "Tax", "Gross" })
            item.setValue(QString::fromLatin1(field), webItem.value(QString::fromLatin1(field)));
        return Status::ok();
    }
    bizlib::params::TaxAmounts tax;
    const Status st = bizlib::MainLibrary(db).calcTax(item.text("TaxCode"), item.decimal("Net"), false, &tax);
    if (st.isError())
        return st;
    if (st.isNotFound()) {
        // A tax code the business system does not know: the website's tax stands rather than none.
        for (const char *field : { "TaxRate", "Tax", "Gross" })
            item.setValue(QString::fromLatin1(field), webItem.value(QString::fromLatin1(field)));
        return Status::ok();
    }
    for (const char *field : { "LTaxRate", "GTaxRate", "TaxRate", "LTax", "GTax", "Tax" })
        item.setDecimal(QString::fromLatin1(field), tax.decimal(field));
    item.setDecimal("Gross", item.decimal("Net") + item.decimal("Tax"));
    return Status::ok();
}

Status WebOrderConversion::offerLinkedItems()
{
    bizlib::Database &db = *m_services.db;
    bizlib::OrderLibrary library(db, m_services.user);
    QList<Record> items;
    Status st = library.items(m_order.toLong("OrderID"), &items);
    if (!st)
        return st;
    QSet<qint32> parentsWithChildren;
    for (const Record &item : std::as_const(items))
        if (item.toLong("ParentItemID") != 0)
            parentsWithChildren.insert(item.toLong("ParentItemID"));
    bool yesAll = false;
    for (const Record &item : std::as_const(items)) {
        // A parent whose children came with an earlier item's call is not offered again.
        if (item.toLong("ParentItemID") != 0 || parentsWithChildren.contains(item.toLong("OrderItemID")))
            continue;
        const QString type = item.text("Type").trimmed();
        const QString table = bizlib::OrderLibrary::resourceTable(type);
        if (table.isEmpty())
            continue;
        Record resource;
        st = readRow(table, item.toLong(bizlib::OrderLibrary::resourceIdField(type)), &resource);
        if (st.isNotFound())
            continue;
        if (!st)
            return st;
        if (resource.toLong("LinkedItems") != 1)
            continue;
        bool add = true;
        if (!yesAll && m_services.prompter) {
            const QString caption = linkedCaption(item.text("Code"));
            if (m_order.toLong("ItemNumber") < 2) {
                add = m_services.prompter->alert(linkedQuestionFirst(), caption, bizlib::Prompter::Icon::Question,
                          QStringLiteral("&Yes|&No"), 1)
                    == 1;
            } else {
                const int answer = m_services.prompter->alert(linkedQuestionLater(), caption,
                    bizlib::Prompter::Icon::Question, QStringLiteral("&Yes|&No|Yes &all|N&o all"), LinkedYesAll);
                if (answer == LinkedNoAll)
                    break;
                yesAll = answer == LinkedYesAll;
                add = answer == LinkedYes || answer == LinkedYesAll;
            }
        }
        if (!add)
            continue;
        if (st = library.addChildItems(m_order, item); !st)
            return st;
    }
    return Status::ok();
}

Status WebOrderConversion::worksOrderItem()
{
    bizlib::Database &db = *m_services.db;
    Table webItems(db, QStringLiteral("WebOrderItems"));
    Record first = webItems.newRecord();
    Status st = webItems.fetch(QStringLiteral("ORDERIDSEQUENCEKEY"), { m_webOrder.toLong("OrderID") }, first);
    if (st.isNotFound())
        return Status::ok();
    if (!st)
        return st;
    const QString type = first.text("Type").trimmed();
    Record resource;
    if (type == QLatin1String("M")) {
        st = readRow(QStringLiteral("Materials"), first.toLong("MaterialID"), &resource);
        if (st.isNotFound() || (st && resource.text("Type").trimmed() != QLatin1String("WO")))
            return Status::ok();
        if (!st)
            return st;
        m_order.setLong("QuoteID", resource.toLong("QuoteID"));
        m_order.setText("ProductCode", resource.text("Code"));
        m_order.setLong("Works", resource.toLong("WorksDefault"));
        takePackaging(resource);
    } else if (type == QLatin1String("O")) {
        st = readRow(QStringLiteral("Outwork"), first.toLong("OutworkID"), &resource);
        if (st.isNotFound())
            return Status::ok();
        if (!st)
            return st;
        m_order.setLong("Works", resource.toLong("WorksDefault"));
    } else {
        return Status::ok();
    }
    m_order.setText("OrderType", QStringLiteral("Service"));
    m_order.setText("Quantity", first.decimal("Quantity").toString(0));
    m_order.setLong("QuantityValue", first.decimal("Quantity").toInteger());
    m_order.setLong("QuantityIndex", 1);
    m_order.setLong("StockOrder", 0);

    const qint32 orderId = m_order.toLong("OrderID");
    Table items(db, kItems);
    if (m_order.toLong("QuoteID") != 0) {
        // The quote carries the work; only fixed charges and vouchers of value stay as items.
        QList<Record> rows;
        if (st = bizlib::OrderLibrary(db, m_services.user).items(orderId, &rows); !st)
            return st;
        const QString voucher = m_services.voucherCode.trimmed();
        for (const Record &row : std::as_const(rows)) {
            const bool fixed = row.toLong("FixedCharge1") == 1 || row.toLong("FixedCharge2") == 1;
            const bool valuedVoucher
                = !voucher.isEmpty() && row.text("Code").trimmed() == voucher && !row.decimal("Net").isZero();
            if (fixed || valuedVoucher)
                continue;
            if (st = items.remove(row); !st && !st.isNotFound())
                return st;
        }
    }
    // Every file of the order belongs to the order itself now.
    Table attachments(db, QStringLiteral("Attachments"));
    bizlib::TableCursor cursor(attachments, QStringLiteral("ORDERIDKEY"));
    cursor.setRange({ orderId });
    QList<Record> linked;
    Record row;
    while ((st = cursor.next(row)))
        if (row.toLong("OrderItemID") != 0)
            linked.append(row);
    if (!st.isNotFound())
        return st;
    for (Record &attachment : linked) {
        attachment.setLong("OrderItemID", 0);
        if (st = attachments.update(attachment); !st)
            return st;
    }
    return Status::ok();
}

void WebOrderConversion::takePackaging(const Record &material)
{
    if (!material.isValid() || material.text("Category").trimmed() != QLatin1String("Product"))
        return;
    for (const char *field : { "PackType", "PackDepth", "PackWidth", "PackHeight", "PackPrice" })
        m_order.setValue(QString::fromLatin1(field), material.value(QString::fromLatin1(field)));
    m_order.setLong("PackQuantity", material.decimal("PackQuantity").toInteger());
}

Status WebOrderConversion::writeOrder()
{
    Table orders(*m_services.db, kOrders);
    const Status st = orders.update(m_order);
    if (st)
        m_order.markRead();
    return st;
}

} // namespace orders
