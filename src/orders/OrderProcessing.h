#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormRequest.h"
#include "data/RequestClaim.h"

#include <QList>
#include <functional>
#include <memory>

namespace bizlib {
class Database;
class PdfQuotes;
} // namespace bizlib
namespace bizlib::forms {
class RecordForms;
}
namespace bizlib::mail {
class MailSender;
}
namespace config {
struct AppContext;
struct ConsoleSettings;
} // namespace config

namespace orders {

class RunRows;

// The logic of `WebOrderProcess`, the window that the console opens for one web order: it claims
// the web order, has a pending B2C sign-up of the order processed first, makes sure that the
// delivery contact and office exist, splits the web order into business orders, converts each web
// item (WebOrderConversion), completes each order through the order form (UPDATEORDER), deletes
// the web order with its web records and tells the staff about each order.
//
// Nothing is ever half done: every row and file the run makes (orders with their items, notes,
// attachments, delivery contacts and offices) and every field it changes in rows it did not make
// (the web order's delivery block, a quote that an order form marked won)
// is recorded in the claim's record. The last order form's save deletes the web order in the same
// transaction, which ends that record; any failure or cancel before it releases the claim, which
// removes exactly what the run recorded, steps the job and quote counters back only while they
// still hold the removed number, and gives the web order its saved status back.
class OrderProcessing
{
public:
    struct Services
    {
        config::AppContext *ctx = nullptr; // database, prompter, settings, user, frame, trace
        bizlib::forms::RecordForms *forms = nullptr; // the order form (none: no order can be completed)
        bizlib::mail::MailSender *mail = nullptr; // none: no notification is sent
        bizlib::PdfQuotes *documents = nullptr; // the letter of an automatic quote made to an order (none: no letter)
        // The sign-up window on the web order's pending B2C sign-up; none: such an order cannot be
        // processed (the run is cancelled and says so).
        std::function<bizlib::forms::Response(const bizlib::Record &signup, const bizlib::Record &webOrder)>
            processSignup;
        std::function<void()> changeNotice; // none: the company's change notice
    };

    // One business order to make: its number (from 1) and whether it is the works order.
    struct PlannedOrder
    {
        int number = 0;
        bool works = false;
        bool operator==(const PlannedOrder &) const = default;
    };
    // Which web item goes into which business order, in item order.
    struct PlannedItem
    {
        int order = 0;
        qint32 webItemId = 0;
        bool operator==(const PlannedItem &) const = default;
    };
    struct Plan
    {
        QList<PlannedOrder> orders;
        QList<PlannedItem> items;
    };

    // The skip-product-order flag of a "Product" web order: its web items in key order, skipping
    // fixed-charge items and the voucher: a second material clears it; a single "WO" material made
    // to an existing quote, not excluded, sets it when SkipProductOrder is on; an existing outwork
    // sets it. Other order types: false.
    // `rows` (if given): the run's kept rows, which the web items read here join.
    static bizlib::Status skipProductOrder(bizlib::Database &db, const config::ConsoleSettings &settings,
        const bizlib::Record &webOrder, bool *skip, RunRows *rows = nullptr);
    // The business orders of the web order and the item of each. Not "Product": one order with
    // the first web item in sequence order (none when there are no items). "Product": non-material
    // items go to order 1 (made when there is no order yet), a material that does not exist to the
    // order of the item before it (order 1 for the first item); materials of type
    // "PO" without the works-order flag get an order each; every other material goes to the one
    // works order.
    // `rows` as for skipProductOrder().
    static bizlib::Status plan(
        bizlib::Database &db, const bizlib::Record &webOrder, Plan *plan, RunRows *rows = nullptr);

    // `webOrder`: the web order as the caller has just read it again.
    OrderProcessing(Services services, const bizlib::Record &webOrder, bool automatic);
    // A claim still held is released (the window went away before the routine finished).
    ~OrderProcessing();
    OrderProcessing(const OrderProcessing &) = delete;
    OrderProcessing &operator=(const OrderProcessing &) = delete;

    // The window has opened: claims the web order and reads it again, and asks the frame for the
    // phrase toolbox ("Production") when OrderPhrases wants it in manual mode. False when the
    // window is to close at once (response Cancelled).
    bool open();
    // On a timer event: the routine may start (once).
    bool mayStart() const;
    // The processing routine; runs once, then answers as the first time.
    bizlib::forms::Response run();
    // The window closes: the phrase toolbox is closed and a claim still held is released.
    void close();

    bizlib::forms::Response response() const { return m_response; }
    bool isFinished() const { return m_finished; }
    bool processingActive() const { return m_processingActive; }
    bool refreshRequested() const { return m_refreshRequested; }
    const data::RequestClaim *claim() const { return m_claim.get(); }
    const bizlib::Record &webOrder() const { return m_webOrder; }
    // The business orders completed, in order (after a cancel: those that were removed again).
    const QList<qint32> &createdOrders() const { return m_createdOrders; }
    const bizlib::Status &lastStatus() const { return m_lastStatus; }
    // The last failure told (to the user in manual mode, to the trace log always); empty: none.
    const QString &told() const { return m_told; }

private:
    bizlib::forms::Response runSteps();
    // A pending B2C sign-up of the web order goes through the sign-up window first; its web order
    // is then read again and its attachments filed under the new client. False when the run is
    // cancelled.
    bool signupFirst();
    bizlib::Status repointAttachments(const QString &clientFolder);
    bizlib::Status deliveryParties();
    bizlib::Status rereadWebOrder();
    bizlib::forms::Response completeOrder(bizlib::Record &order, int sequence, bool last);
    void notifyAll();
    bizlib::forms::Response cancelRoutine(const bizlib::Status &why);
    void tell(const bizlib::Status &st, const QString &what);

    Services m_services;
    bizlib::Record m_webOrder;
    qint32 m_webOrderId = 0;
    bool m_automatic;
    std::unique_ptr<data::RequestClaim> m_claim;
    std::unique_ptr<RunRows> m_rows; // rows read by this run's routine, kept while it runs
    bool m_started = false;
    bool m_finished = false;
    bool m_processingActive = false;
    bool m_refreshRequested = false;
    QList<qint32> m_createdOrders;
    bizlib::forms::Response m_response = bizlib::forms::Response::Cancelled;
    bizlib::Status m_lastStatus;
    QString m_told;
};

} // namespace orders
