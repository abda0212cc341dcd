#pragma once

#include "bizlib/LocalFileCopy.h"
#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormRequest.h"
#include "quotes/WebRecordCopies.h"

#include <QHash>
#include <QSet>
#include <functional>
#include <optional>

namespace bizlib {
class Database;
class PdfQuotes;
class Prompter;
namespace forms {
class RecordForms;
}
} // namespace bizlib
namespace data {
class RequestClaim;
}
namespace quotes {
class FileJournal;
}

namespace orders {

class RunRows;

// `WebOrdertoOrder`: turns the items of a claimed web order, one call per web item, into the
// business order that the order window is building. The call for an order's first item creates
// the order itself (header, specification, notes, attachments, delivery town); every call adds
// its item, priced, and for "Product" orders offers the children of items with linked items.
// The first call of a "Product" order whose only product is a works-order item turns it into a
// works-order service order; the first call of an order that names a quote prepares that quote
// (OrderQuotePreparation), which may show the quote form.
//
// What a call makes is recorded in the claim's record of the run (the order with the rows that
// belong to it, the attachment copies) before it is committed, so that a cancel, or the cleanup of
// a workstation that went away, removes exactly that. Each call writes in one transaction.
//
// The object lives as long as the web order is being processed; order() is the order of the
// latest call, which the window hands to the order form (UPDATEORDER).
class WebOrderConversion
{
public:
    struct Services
    {
        bizlib::Database *db = nullptr;
        bizlib::Prompter *prompter = nullptr; // the linked-items questions (none: children are added)
        bizlib::Session user; // creator and owner of the orders
        QString voucherCode; // the console setting VoucherCode
        QString dataFolder; // the company data folder; order attachments go to its "orders" folder
        bizlib::LocalFileCopy localCopies; // what local sources of attachments may be copied
        data::RequestClaim *claim = nullptr; // where the run's rows and files are recorded (none: not recorded)
        // The quote an order is made to (see OrderQuotePreparation).
        QString globalData; // the letters of automatic quotes go to its "quotes" folder
        bizlib::PdfQuotes *documents = nullptr; // the letter of an automatic quote (none: no letter)
        bizlib::forms::RecordForms *forms = nullptr; // the quote form of a repeat order
        std::function<void()> quotePhrases; // asks for the phrase toolbox as the quote form opens
        RunRows *rows = nullptr; // the run's kept rows (none: every row is read when it is needed)
    };

    // One call: the item's number within its order (from 1), the order's place among the web
    // order's orders and their number, the skip-product-order flag, the web item (0 or a missing
    // one: no item, the order only).
    struct Call
    {
        int itemNumber = 1;
        int orderSequence = 1;
        int orderCount = 1;
        bool skipProductOrder = false;
        qint32 webItemId = 0;
    };

    // Answers of the four-button linked-items question.
    enum LinkedAnswer { LinkedYes = 1, LinkedNo = 2, LinkedYesAll = 3, LinkedNoAll = 4 };
    static QString linkedCaption(const QString &code) { return QStringLiteral("Linked items: ") + code.trimmed(); }
    static QString linkedQuestionFirst()
    {
        return QStringLiteral(
            "WARNING: This orderitem has linked items... do you want to add the child links to this order?");
    }
    static QString linkedQuestionLater()
    {
        return QStringLiteral(
            "WARNING: This orderitem has linked items... Click \"Yes\" to add child links for this item, or \"Yes "
            "all\" for all items in this order. Otherwise answer \"No\" to ignore child items for this product, or "
            "\"No all\" for all items in this order.");
    }

    // `webOrder`: the claimed web order as read.
    WebOrderConversion(Services services, const bizlib::Record &webOrder);

    // Completed when the item (and for item 1 the order) was converted; Cancelled on a failure
    // (lastStatus() says why; what the call wrote is rolled back, and files it made are removed).
    bizlib::forms::Response convert(const Call &call);

    bizlib::Record &order() { return m_order; }
    const bizlib::Record &webOrder() const { return m_webOrder; }
    // The order repeats a previous order that was made to a quote.
    bool repeatsQuotedOrder() const { return m_repeatsQuoted; }
    // The first call removed the order again (its quote was cancelled or failed).
    bool orderRemoved() const { return m_orderRemoved; }
    // The letter written for the order's automatic quote.
    const QString &quoteDocument() const { return m_quoteDocument; }
    // Why attachments of the order got no copy.
    QStringList refusals() const;
    const bizlib::Status &lastStatus() const { return m_lastStatus; }

    // The web order counts as an XML transfer ("XMLTFR" platform).
    static bool isXmlTransfer(const bizlib::Record &webOrder);

private:
    bizlib::Status createOrder(const Call &call, quotes::FileJournal *journal);
    bizlib::Status stageOrderFiles(quotes::FileJournal *journal);
    bizlib::Status copyPreviousOrder();
    bizlib::Status fillSpecification();
    bizlib::Status dueDateAndTax();
    bizlib::Status unlinkDeliveryContactOffice();
    bizlib::Status registerDeliveryTown();
    bizlib::Status convertItem(const Call &call);
    bizlib::Status priceItem(const bizlib::Record &webItem, bizlib::Record &item, bizlib::Record *material);
    bizlib::Status offerLinkedItems();
    bizlib::Status worksOrderItem();
    void takePackaging(const bizlib::Record &material);
    bizlib::Status writeOrder();
    bizlib::Status readDefaults(bizlib::Record *defaults);
    bizlib::Status readRow(const QString &table, qint32 id, bizlib::Record *row);

    // What the orders of one web order share, worked out by the first order that needs it: the
    // tax code chosen for the same parties, the delivery towns found, the list options added.
    struct TaxChoice
    {
        QString request;
        QString code;
        qint32 force = 0;
    };
    std::optional<TaxChoice> m_taxChoice;
    QHash<QString, std::pair<QString, QString>> m_townsFound;
    QSet<QString> m_listOptions;
    QSet<QString> m_listOptionsPending; // added by the call being written, kept once it commits
    Services m_services;
    bizlib::Record m_webOrder;
    bizlib::Record m_order;
    quotes::WebRecordCopies m_copies;
    quotes::WebRecordCopies::StagedFiles m_staged;
    bool m_staging = false;
    bool m_repeatsQuoted = false;
    bool m_orderRemoved = false;
    QString m_quoteDocument;
    bizlib::Status m_lastStatus;
};

} // namespace orders
