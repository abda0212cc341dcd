#include "orders/OrderPayment.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/security/Security.h"

#include <QCoreApplication>

namespace orders {

namespace {

using bizlib::Prompter;

QString tr(const char *text)
{
    return QCoreApplication::translate("OrderPayment", text);
}

bool isUnpaidPrepay(const bizlib::Record &order)
{
    return order.toLong("Prepay") == 1 && order.toLong("Prepaid") == 0;
}

} // namespace

QString OrderPayment::prepayQuestion(bool mayMarkPaid)
{
    return mayMarkPaid ? QStringLiteral("WARNING: This order relates to a prepay account, however online card payment "
                                        "failed... do you want to Continue, mark as Paid, or Abandon?")
                       : QStringLiteral("WARNING: This order relates to a prepay account, however online card payment "
                                        "failed... do you want to continue?");
}

QString OrderPayment::noteText(qint32 webId, const QString &userCode)
{
    return tr("Manual payment for web order") + u' ' + QString::number(webId) + u' ' + tr("was authorised by")
        + QStringLiteral(" - ") + userCode + QStringLiteral("\r\n") + QStringLiteral("|Payment by: ")
        + QStringLiteral("|Payment method: ") + QStringLiteral("|Payment ref: ");
}

OrderPayment::OrderPayment(Services services)
    : m_services(std::move(services))
{ }

bool OrderPayment::mayMarkPaid() const
{
    if (m_services.mayMarkPaid)
        return m_services.mayMarkPaid();
    return m_services.user.userId > 0
        && bizlib::security::Security(*m_services.db)
               .hasRight(m_services.user.userId, bizlib::security::Security::kRightMarkOrdersPaid);
}

void OrderPayment::report(const bizlib::Status &status, const QString &what) const
{
    if (m_services.prompter)
        m_services.prompter->alert(
            what + QStringLiteral("\n\n") + status.message(), paidCaption(), Prompter::Icon::Hand);
}

bool OrderPayment::markPaidFromList(qint32 orderId)
{
    if (!mayMarkPaid() || !m_services.prompter)
        return false;
    bizlib::Table orders(*m_services.db, QStringLiteral("WebOrders"));
    bizlib::Record order = orders.newRecord();
    if (!orders.fetch(QStringLiteral("ORDERIDKEY"), { orderId }, order) || !isUnpaidPrepay(order))
        return false;
    m_services.prompter->beep(Prompter::Icon::Exclamation);
    if (m_services.prompter->message(
            paidQuestion(), paidCaption(), Prompter::Icon::Question, QStringLiteral("&Yes|&No"), 2)
        != 1)
        return false;
    return markPaid(order).isOk();
}

OrderPayment::Decision OrderPayment::checkBeforeProcessing(bizlib::Record &order)
{
    if (!isUnpaidPrepay(order))
        return Decision::Process;
    if (!m_services.prompter)
        return Decision::Abandon;
    const bool may = mayMarkPaid();
    m_services.prompter->beep(Prompter::Icon::Exclamation);
    if (!may) {
        return m_services.prompter->message(
                   prepayQuestion(false), prepayCaption(), Prompter::Icon::Exclamation, QStringLiteral("&Yes|&No"), 2)
                == 1
            ? Decision::Process
            : Decision::Abandon;
    }
    enum { Continue = 1, MarkPaid = 2 };
    switch (m_services.prompter->message(
        prepayQuestion(true), prepayCaption(), Prompter::Icon::Exclamation, prepayButtons(), 3, 3)) {
    case Continue:
        return Decision::Process;
    case MarkPaid:
        // Processing an order believed paid that is not marked so would hide the failed payment.
        return markPaid(order).isOk() ? Decision::Process : Decision::Abandon;
    default:
        return Decision::Abandon;
    }
}

bizlib::Status OrderPayment::markPaid(bizlib::Record &order, bizlib::Record *note)
{
    bizlib::Record written;
    const bizlib::Status st = writePayment(order, &written);
    if (!st) {
        report(st,
            st.isNotFound() ? tr("The order was marked as paid or removed by another workstation meanwhile.")
                            : tr("The order could not be marked as paid."));
        return st;
    }
    if (note)
        *note = written;
    if (m_services.noteEditor) {
        notes::NoteEditorArgs args;
        args.parentId = QString::number(order.toLong("OrderID"));
        args.parentType = QStringLiteral("ORD");
        args.request = notes::NoteRequest::Change;
        args.note = written;
        m_services.noteEditor(args);
    }
    return bizlib::Status::ok();
}

bizlib::Status OrderPayment::writePayment(bizlib::Record &order, bizlib::Record *note)
{
    bizlib::Database &db = *m_services.db;
    bizlib::Transaction tx(db);
    if (!tx.status())
        return tx.status();
    // The order as it is now: another workstation may have marked it since the caller read it.
    bizlib::Table orders(db, QStringLiteral("WebOrders"));
    bizlib::Record current = orders.newRecord();
    bizlib::Status st = orders.fetch(QStringLiteral("ORDERIDKEY"), { order.toLong("OrderID") }, current);
    if (st && !isUnpaidPrepay(current))
        st = bizlib::Status::notFound(QStringLiteral("The order is not waiting for its payment."));
    if (!st)
        return st;

    bizlib::Table notes(db, QStringLiteral("WebNotes"));
    bizlib::Record n;
    if (!(st = notes.prime(n)))
        return st;
    const QDateTime now = m_services.now ? m_services.now() : QDateTime::currentDateTime();
    const qint32 orderId = current.toLong("OrderID");
    n.setText("Subject", tr("Manual payment authorisation"));
    n.setText("CreatedBy", QStringLiteral("[-]"));
    n.setLong("CreatedOn", bizlib::DateTime::fromDate(now.date()));
    n.setLong("CreatedAt", bizlib::DateTime::fromTime(now.time()));
    n.setText("ParentType", QStringLiteral("ORD"));
    n.setLong("ParentID", orderId);
    n.setLong("OrderID", orderId);
    n.setText("Class", QStringLiteral("Payment"));
    // The order's own display context, which the note editor insists on.
    n.setLong("OnOrder", 1);
    n.setText("Notes", noteText(current.toLong("WebID"), m_services.user.userCode));
    if (!(st = notes.insert(n)))
        return st;

    current.setLong("Prepaid", 1);
    current.setLong("NoteID", n.toLong("NoteID"));
    if (!(st = orders.updateIfUnchanged(current, { QStringLiteral("Prepaid") })))
        return st;
    if (!(st = tx.commit()))
        return st;
    order = current;
    *note = n;
    return st;
}

} // namespace orders
