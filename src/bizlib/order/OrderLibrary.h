#pragma once

#include "bizlib/NumberCounter.h"
#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"

#include <QList>

namespace bizlib {

class Database;

// Operations of the business system's ORDER library over the business database.
//
// `order` arguments are the caller's order record (ORD:), the library's record buffer: the
// operations read and change it in memory and write the Orders row only where a header says so.
// The rows that hang off an order (items, specification text, tab texts, notes, attachments) are
// read and written under the order's ORD:OrderID, which the caller has taken from the counter
// already, whether or not the order row itself is stored yet.
//
// Every operation that writes several rows does so in one transaction: all or nothing.
// An object belongs to the thread that made it, as the database connections do.
class OrderLibrary
{
public:
    OrderLibrary(Database &db, const Session &session);

    // The resource an item of type "M", "L" or "O" names: its table and its identifier field in
    // the item (empty for any other type).
    static QString resourceTable(const QString &type);
    static QString resourceIdField(const QString &type);

    // What COPYORDER copies from the previous order. The callers' four flags map in order:
    // items, specification (record and tab texts), notes, attachments (rows only; files stay where
    // they are).
    struct CopyOptions
    {
        bool items = true;
        bool spec = true;
        bool notes = true;
        bool attachments = false;
    };

    // COPYORDER: a repeat of order `sourceId` onto the order in `target` (its OrderID taken
    // already). The header fields of the source go into `target` except its identity and history
    // (identifier, job number, status, creation stamp, quote link, note link, sequence); the rows
    // asked for are copied under the target's identifier, each with a new identifier (a copied
    // item's children keep pointing at the copied parent, a copied attachment at its copied item).
    // *quoted (if given) tells whether the source was made to a quote: the repeat is then shown
    // with its quote before it is processed. NotFound: no such source; Error: a target of 0 or
    // equal to the source, or a failed write (nothing copied then).
    Status copyOrder(qint32 sourceId, Record &target, const CopyOptions &options, bool *quoted = nullptr);

    // ASSIGNORDERITEM: the order item of `type` ("M", "L", "O") takes what the library knows of
    // its resource (a Materials, Labour or Outwork record): the resource link, code, description,
    // unit cost and price, tax code. Another type, or an empty (invalid) resource, leaves the item
    // as it is (NotFound), so that an item whose resource is gone keeps what the web gave it.
    static Status assignOrderItem(const QString &type, Record &item, const Record &resource);

    // ASSIGNORDERSPEC: ORD:Spec becomes the summary of the order's specification text record
    // (SpecSections::summary); empty when it has none.
    Status assignOrderSpec(Record &order);

    // SYNCORDERSPEC: the order's tab texts follow its specification record (see syncSpecTabs).
    Status syncOrderSpec(const Record &order);

    // ADDCHILDITEMS (callers' arguments 1 and an empty text: every link, no filter): the linked
    // children of `parent` (an order item of `order`, stored) are added as order items of the
    // order: for each ResourceLinks row of the parent's type and resource, in sequence, an item
    // of the child's type and resource (ASSIGNORDERITEM), quantity = link quantity x the parent's
    // quantity, net = quantity x unit price, tax at the item's tax code (CALCTAX), the parent's
    // identifier in ParentItemID, sequenced after the order's last item. A child whose resource
    // is gone is passed over. *added (if given) counts the items inserted. All or nothing.
    Status addChildItems(const Record &order, const Record &parent, int *added = nullptr);

    // The job number: an order without one (ORD:JobNo 0) takes the next from SYCONF:LastJobNo, as
    // quotes take theirs. An order that has one keeps it.
    Status assignJobNumber(Record &order);
    Status releaseJobNumber(qint32 number);
    static NumberCounter jobNumbers(Database &db);

    // Removes order `orderId` with the rows that belong to it (items, specification text, tab
    // texts, notes, attachment rows; invoice headers only lose the link). The order row itself may
    // be missing (an order whose rows were written before it was stored). Files are not touched.
    Status removeOrder(qint32 orderId);

    // The order's items in sequence order.
    Status items(qint32 orderId, QList<Record> *items);

private:
    Status copyItems(qint32 sourceId, qint32 targetId, QHash<qint32, qint32> *newIds);
    Status copyRows(const QString &table, const QString &keyName, qint32 sourceId, qint32 targetId,
        const std::function<void(Record &)> &adjust);

    Database &m_db;
    const Session &m_session;
};

} // namespace bizlib
