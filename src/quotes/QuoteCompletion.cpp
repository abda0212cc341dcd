#include "quotes/QuoteCompletion.h"

#include "bizlib/AttachmentFiles.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/FreeFileName.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/params/PriceCalcParams.h"
#include "bizlib/quote/PricingModel.h"
#include "bizlib/quote/QuoteLibrary.h"
#include "quotes/AttachmentNames.h"
#include "quotes/ConversionOwner.h"
#include "quotes/WebRecordCopies.h"

#include <QDir>
#include <QFileInfo>

namespace quotes {

using bizlib::Record;
using bizlib::Status;

namespace {

QString column(const bizlib::TableDef &def, const char *field)
{
    return def.sqlColumn(def.fieldIndex(QLatin1String(field)));
}

void reach(const std::function<void(const char *)> &checkpoint, const char *point)
{
    if (checkpoint)
        checkpoint(point);
}

} // namespace

QuoteCompletion::QuoteCompletion(bizlib::Database &db, const bizlib::Session &user, QString dataFolder)
    : m_db(db)
    , m_user(user)
    , m_dataFolder(std::move(dataFolder))
{ }

Status QuoteCompletion::complete(
    Record &quote, bool isRfq, QList<data::RunItem> *moves, const std::function<void(const char *)> &checkpoint)
{
    bizlib::QuoteLibrary library(m_db, m_user);
    Status st;
    if (quote.toLong("Calculate") == 1 && !(st = library.calcQuote(quote, true, true, 0)))
        return st;

    bizlib::params::PriceCalcParams price;
    price.setLong("FileRequest", 1);
    price.setLong("Qty", 0);
    price.setText("MarkupMethod", quote.text("MarkupMethod"));
    for (int i = 1; i <= bizlib::PricingModel::kQuantities; ++i) {
        if (!price.setDecimal(
                "TargetPrice", quote.decimal(bizlib::PricingModel::column(QStringLiteral("TargetPrice"), i)), i - 1))
            return Status::error(QStringLiteral("The target price of quantity %1 is too large to be priced.").arg(i));
    }
    price.setLong("IncludeTax", quote.toLong("IncludeTax"));
    price.setLong("UseCurrency", quote.toLong("UseCurrency"));
    price.setLong("AdjustSplit", 0);
    price.setLong("CalcTotals", 0);
    price.setLong("CalcComm", 1);
    price.setLong("Silent", 1);
    if (!(st = library.calcPrice(price, quote)))
        return st;

    if (!(st = library.assignQuoteNumber(quote)))
        return st;
    reach(checkpoint, "numbered");
    if (quote.text("Signatory").trimmed().isEmpty() && quote.toLong("SignatoryID") == 0) {
        st = library.assignSignatory(quote, bizlib::QuoteLibrary::SignLoggedOnUser);
        if (st.isError())
            return st; // nobody to sign is no reason to lose the quote
    }
    if (!(st = renameAttachments(quote, moves)) || !(st = library.calcTotals(quote)))
        return st;
    quote.setLong("RFQ", isRfq ? 1 : 0);

    bizlib::Table quotes(m_db, QStringLiteral("Quotes"));
    if (!(st = quotes.insert(quote)))
        return st;
    reach(checkpoint, "stored");
    if (!isRfq && !(st = touchClientActivity(quote.toLong("ClientID"))))
        return st;
    return Status::ok();
}

Status QuoteCompletion::pathInUse(const QString &path, qint32 exceptId, bool *inUse)
{
    return bizlib::AttachmentFiles::named(m_db, path, exceptId, inUse);
}

Status QuoteCompletion::renameAttachments(Record &quote, QList<data::RunItem> *moves)
{
    const QString folder
        = WebRecordCopies(m_db, m_dataFolder).folderFor(ConversionOwner::quote(quote.toLong("QuoteID"), 0));
    const QString prefix = quote.text("Number").trimmed() + quote.text("Revision").trimmed() + u'_';
    bizlib::Table attachments(m_db, QStringLiteral("Attachments"));
    QList<Record> rows;
    {
        bizlib::TableCursor cursor(attachments, QStringLiteral("QUOTEIDKEY"));
        cursor.setRange({ quote.toLong("QuoteID") });
        Record row;
        Status st;
        while ((st = cursor.next(row)))
            rows << row;
        if (!st.isNotFound())
            return st;
    }
    quote.setLong("HasAttachments", rows.isEmpty() ? 0 : 1);
    const int widest = attachments.def().field(QStringLiteral("LocalPath"))->maxChars();
    QStringList planned; // targets of this quote's earlier rows
    for (Record &row : rows) {
        const QString written = row.text("LocalPath").trimmed();
        if (row.toLong("Copied") != 1 || !QFileInfo(written).isFile())
            continue;
        std::optional<QString> name = AttachmentNames::safeName(row.text("SourceFile"));
        if (!name)
            name = AttachmentNames::safeName(row.text("Filename"));
        if (!name)
            continue;
        const QString wanted = QDir(folder).filePath(prefix + *name);
        if (QFileInfo(wanted).absoluteFilePath() == QFileInfo(written).absoluteFilePath())
            continue;
        // Never onto another file, nor onto a name that a record names: the next free name.
        QString target;
        for (int n = 1; n <= bizlib::FreeFileName::kMaxTries && target.isEmpty(); ++n) {
            const QString candidate = n == 1 ? wanted : bizlib::FreeFileName::numbered(wanted, n);
            if (candidate.size() > widest)
                break;
            bool inUse = false;
            if (QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink() || planned.contains(candidate))
                continue;
            if (const Status st = pathInUse(candidate, row.toLong("AttachmentID"), &inUse); !st)
                return st;
            if (!inUse)
                target = candidate;
        }
        if (target.isEmpty())
            continue; // the copy keeps its first name
        planned << target;
        row.setText("Filename", QFileInfo(target).fileName());
        row.setText("LocalPath", target);
        const Status st = attachments.update(row);
        if (!st)
            return st;
        moves->append({ data::RunItem::Kind::Move, QStringLiteral("Attachments"), row.toLong("AttachmentID"), written,
            target });
    }
    return Status::ok();
}

Status QuoteCompletion::touchClientActivity(qint32 clientId)
{
    if (clientId <= 0)
        return Status::ok();
    const bizlib::TableDef &def = bizlib::Dictionary::instance().require(QStringLiteral("Clients"));
    const qint32 today = bizlib::DateTime::today();
    // One conditional statement: a later date written meanwhile by someone else stays.
    return m_db.exec(
        QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE %4 = ? AND %2 <= ?")
            .arg(def.sqlTable(), column(def, "ActivityDate"), column(def, "ActivityTime"), column(def, "ClientID")),
        { today, bizlib::DateTime::now(), clientId, today });
}

bizlib::params::DocumentOutputParams QuoteCompletion::letterParams(const QString &globalData, const Record &quote)
{
    bizlib::params::DocumentOutputParams p;
    p.setText("OutputTo", QStringLiteral("PDF"));
    for (const char *flag :
        { "SendDialog", "Hardcopy", "DisplayProgress", "SetPrinted", "Attachments", "EmailNotice", "SMSNotice" })
        p.setLong(QLatin1String(flag), 0);
    p.setLong("Overwrite", 1);
    p.setLong("CCRep", 1);
    p.setLong("CCMgr", 1);
    p.setText("Filename",
        globalData.trimmed() + QStringLiteral("\\quotes\\") + quote.text("Number").trimmed()
            + quote.text("Revision").trimmed() + QStringLiteral(".pdf"));
    return p;
}

QString QuoteCompletion::notificationText(const Record &quote, const Record &client, bool isRfq)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = isRfq ? QStringLiteral("Notification of web RFQ: ")
                         : QStringLiteral("Notification of web quote processing: ");
    text += crlf + crlf;
    text += QStringLiteral("Client: ") + (client.isValid() ? client.text("Name").trimmed() : QString())
        + QStringLiteral(" - ") + quote.text("Contact").trimmed() + crlf;
    text += QStringLiteral("Web-ref: ") + quote.text("WebID").trimmed() + crlf;
    text += QStringLiteral("Quote-ref: ") + quote.text("Number").trimmed() + quote.text("Revision").trimmed() + crlf;
    text += QStringLiteral("Title: ") + quote.text("Title").trimmed() + crlf;
    return text;
}

QString QuoteCompletion::notificationSubject(bool isRfq)
{
    return isRfq ? QStringLiteral("Webconsole: Web RFQ received") : QStringLiteral("Webconsole: Web quote processed");
}

} // namespace quotes
