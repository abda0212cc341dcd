#include "quotes/QuoteConversion.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/forms/SelectLibrary.h"
#include "bizlib/params/TaxCodeParams.h"
#include "bizlib/quote/QuoteLibrary.h"
#include "quotes/ConversionOwner.h"
#include "quotes/WebRecordCopies.h"
#include "quotes/WebSpecSections.h"

namespace quotes {

using bizlib::Record;
using bizlib::Status;
using bizlib::Table;
using bizlib::forms::Response;

namespace {

// Reads the row of `table` whose key `key` has `id`; an empty record of the table when there is
// none. Only a failed read is an error: a missing client or job type is not.
Status readOptional(bizlib::Database &db, const QString &table, const QString &key, qint32 id, Record *record)
{
    Table t(db, table);
    *record = t.newRecord();
    if (id <= 0)
        return Status::ok();
    const Status st = t.fetch(key, { id }, *record);
    if (st.isNotFound())
        *record = t.newRecord();
    return st.isError() ? st : Status::ok();
}

} // namespace

QuoteConversion::QuoteConversion(Services services, qint32 requestId, bool isRfq, bool automatic)
    : m_services(std::move(services))
    , m_requestId(requestId)
    , m_isRfq(isRfq)
    , m_automatic(automatic)
{ }

QuoteConversion::QuoteConversion(Services services, const Record &request, bool isRfq, bool automatic)
    : QuoteConversion(std::move(services), request.toLong("QuoteID"), isRfq, automatic)
{
    m_request = request;
}

Response QuoteConversion::prepare()
{
    bizlib::Database &db = *m_services.db;
    if (!m_request.isValid()) {
        Table requests(db, QStringLiteral("WebQuotes"));
        m_request = requests.newRecord();
        m_lastStatus = requests.fetch(QStringLiteral("QUOTEIDKEY"), { m_requestId }, m_request);
        if (!m_lastStatus)
            return Response::Cancelled;
    }

    const qint32 templateId = m_request.toLong("TemplateID");
    const qint32 previousId = m_request.toLong("PreviousID");
    m_sourceId = templateId != 0 ? templateId : previousId;
    if (m_sourceId == 0 && !m_isRfq && askForSource() == Response::Cancelled)
        return Response::Cancelled;

    if (m_request.toLong("HasAttachments") == 1) {
        WebRecordCopies copies(db, m_services.dataFolder);
        m_lastStatus = copies.hasLocalDriveAttachments(ConversionOwner::quote(0, m_requestId), &m_hasLocalAttachments);
        if (!m_lastStatus)
            return Response::Cancelled;
        if (m_hasLocalAttachments) {
            m_copyLocal = m_automatic
                || (m_services.prompter
                    && m_services.prompter->askYesNo(
                        QStringLiteral("Do you want to copy attachments from the original quote?"),
                        QStringLiteral("Copy original attachments?"), true));
        }
    }
    m_prepared = true;
    return Response::Completed;
}

Response QuoteConversion::askForSource()
{
    const int answer = m_services.prompter
        ? m_services.prompter->alert(
            QStringLiteral("Do you want to use a template as the basis of the quote workings, or quote manually?"),
            QStringLiteral("Use a template?"), bizlib::Prompter::Icon::Question,
            QStringLiteral("&Template|&Manual|&Cancel"), 1)
        : 3;
    switch (answer) {
    case 1: {
        Record chosen;
        if (m_services.select
            && m_services.select->selectTemplate(m_request.text("TemplateHint"), &chosen) == Response::Completed) {
            m_template = chosen;
            m_sourceId = chosen.toLong("QuoteID");
        }
        return Response::Completed;
    }
    case 2:
        m_request.setLong("TemplateID", 0);
        return Response::Completed;
    default:
        m_lastStatus = Status::ok();
        return Response::Cancelled;
    }
}

Status QuoteConversion::startQuote()
{
    bizlib::Database &db = *m_services.db;
    Table quotes(db, QStringLiteral("Quotes"));
    if (m_sourceId != 0) {
        Record source = quotes.newRecord();
        Status st = quotes.fetch(QStringLiteral("QUOTEIDKEY"), { m_sourceId }, source);
        if (st.isError())
            return st;
        if (st.isNotFound()) {
            m_request.setLong("TemplateID", 0);
            m_request.setLong("PreviousID", 0);
            m_sourceId = 0;
        } else {
            // The new quote starts as a copy of the source's header, without its number.
            Record numbered;
            st = quotes.prime(numbered);
            if (!st)
                return st;
            m_quote = source;
            m_quote.setLong("Number", 0);
            m_quote.setText("Revision", QString());
            m_newQuoteId = numbered.toLong("QuoteID");
            m_quote.setLong("QuoteID", m_newQuoteId);
            bizlib::QuoteLibrary library(db, m_services.user);
            st = library.copyQuote(m_sourceId, m_newQuoteId);
            if (!st)
                return st;
        }
    }
    if (m_newQuoteId == 0) {
        const Status st = quotes.prime(m_quote);
        if (!st)
            return st;
        m_newQuoteId = m_quote.toLong("QuoteID");
    }
    // The request's fields by name; then the quote is the new quote again, and its number is the
    // one the quote counter will issue, never the web request's number. The request's quantity
    // leads the source's list instead of overwriting its first place, and the website's price for
    // it is the target the pricing is given.
    const Record source = m_quote;
    m_quote.copyMatching(m_request);
    bizlib::QuoteLibrary::leadWithRequestedQuantity(m_quote, source);
    m_quote.setLong("QuoteID", m_newQuoteId);
    m_quote.setLong("OrderID", 0);
    m_quote.setLong("Number", 0);
    if (m_template.isValid()) {
        for (const char *field : { "JobTypeID", "MarkupMethod", "PriceList", "Markup", "UseTargetPrice" })
            m_quote.setValue(QLatin1String(field), m_template.value(QLatin1String(field)));
    }
    return Status::ok();
}

Status QuoteConversion::readDefaultStatus(QString *status)
{
    Table defaults(*m_services.db, QStringLiteral("DEFAULTS"));
    bizlib::TableCursor first(defaults, QStringLiteral("DEFAULTSIDKEY"));
    Record row;
    const Status st = first.next(row);
    *status = st ? row.text("QuoteStatus") : QString();
    return st.isError() ? st : Status::ok();
}

Status QuoteConversion::fillHeader()
{
    bizlib::Database &db = *m_services.db;
    QString status;
    Status st = readDefaultStatus(&status);
    if (!st)
        return st;
    const QString initials = m_services.user.userCode.trimmed().left(3);
    m_quote.setLong("CreatedOn", bizlib::DateTime::today());
    m_quote.setLong("CreatedAt", bizlib::DateTime::now());
    m_quote.setText("CreatedBy", initials);
    m_quote.setText("Estimator", initials);
    m_quote.setText("Status", status);
    m_quote.setText("QuoteType", QStringLiteral("Quote"));
    // Nothing of the source's own history goes with the copy: not its web-order pricing, note,
    // template flag, website synchronisation or project.
    for (const char *field : { "AutoWebQuote", "NoteID", "IsTemplate", "Website", "ProjectID" })
        m_quote.setLong(QLatin1String(field), 0);

    Record rep;
    Table users(db, QStringLiteral("Users"));
    rep = users.newRecord();
    const QString repCode = m_quote.text("Rep").trimmed();
    st = repCode.isEmpty() ? Status::notFound() : users.fetch(QStringLiteral("USERKEY"), { repCode }, rep);
    if (st.isError())
        return st;
    m_quote.setText("RepCode", st ? rep.text("RepCode") : QString());

    bizlib::MainLibrary main(db);
    bizlib::MainLibrary::TaxCodeRequest tax;
    tax.currentCode = m_quote.text("TaxCode");
    tax.clientId = m_quote.toLong("ClientID");
    tax.contactId = m_quote.toLong("ContactID");
    tax.deliveryClientId = tax.clientId;
    tax.deliveryContactId = tax.contactId;
    bizlib::params::TaxCodeParams taxCode;
    st = main.assignTaxCode(tax, &taxCode);
    if (!st)
        return st;
    m_quote.setText("TaxCode", taxCode.text("TaxCode"));
    m_quote.setLong("TaxCodeForce", taxCode.toLong("TaxCodeForce"));

    if (m_isRfq) {
        m_quote.setText("QuoteType", QStringLiteral("RFQ"));
        m_quote.setText("Revision", QStringLiteral("#"));
        m_quote.setLong("SignatoryID", kNoSignatory);
        m_quote.setText("Status", QStringLiteral("Incomplete"));
        if (!m_services.rfqEstimator.trimmed().isEmpty())
            m_quote.setText("Estimator", m_services.rfqEstimator.trimmed());
    }
    return Status::ok();
}

Status QuoteConversion::stageFiles(const std::function<Status(const QString &path)> &created, FileJournal *journal)
{
    if (!m_prepared)
        return m_lastStatus = Status::error(QStringLiteral("The web quote request was not read."));
    m_staged.clear();
    bizlib::LocalFileCopy rules = m_services.localCopies;
    if (rules.allowedFolders.isEmpty())
        rules.allowedFolders << bizlib::MainLibrary::localPath(m_services.dataFolder.trimmed());
    WebRecordCopies copies(*m_services.db, m_services.dataFolder);
    return m_lastStatus = copies.stageFiles(ConversionOwner::quote(0, m_requestId),
               m_hasLocalAttachments && !m_copyLocal, rules, created, &m_staged, journal);
}

QStringList QuoteConversion::refusals() const
{
    QStringList out;
    for (const WebRecordCopies::StagedFile &f : m_staged)
        if (!f.refused.isEmpty())
            out << f.refused;
    return out;
}

Status QuoteConversion::build()
{
    if (!m_prepared)
        return m_lastStatus = Status::error(QStringLiteral("The web quote request was not read."));
    bizlib::Database &db = *m_services.db;
    bizlib::QuoteLibrary library(db, m_services.user);
    const auto failed = [this](const Status &st) { return m_lastStatus = st; };

    Status st = startQuote();
    if (!st)
        return failed(st);
    if (!(st = readOptional(
              db, QStringLiteral("Clients"), QStringLiteral("CLIENTIDKEY"), m_quote.toLong("ClientID"), &m_client)))
        return failed(st);
    if (m_client.toLong("ClientID") != 0) {
        // A template has no client: the quote names the request's.
        m_quote.setText("Name", m_client.text("Name"));
        m_quote.setText("ClientCode", m_client.text("Code"));
    }
    if (!(st = readOptional(
              db, QStringLiteral("JobTypes"), QStringLiteral("JOBTYPEIDKEY"), m_quote.toLong("JobTypeID"), &m_jobType)))
        return failed(st);
    if (!(st = library.assignMarkups(m_quote, true, true, false, 0)) || !(st = library.assignQuantities(m_quote)))
        return failed(st);
    m_quote.setLong("Checked", 0); // a quote made without a user is saved as unchecked

    const ConversionOwner owner = ConversionOwner::quote(m_newQuoteId, m_requestId);
    WebSpecSections sections(db);
    bool hadTabTexts = false;
    if (!(st = sections.fill(owner, m_request, &hadTabTexts)))
        return failed(st);
    st = hadTabTexts ? sections.copyTabTexts(owner) : library.syncQuoteSpec(m_quote);
    if (!st || !(st = library.assignQuoteSpec(m_quote)) || !(st = fillHeader()))
        return failed(st);

    WebRecordCopies copies(db, m_services.dataFolder);
    qint32 noteId = 0;
    if (!(st = copies.copyNotes(owner, &noteId)))
        return failed(st);
    if (noteId != 0)
        m_quote.setLong("NoteID", noteId);
    if (!(st = copies.copyAttachments(owner, m_hasLocalAttachments && !m_copyLocal, m_staged)))
        return failed(st);
    return m_lastStatus = Status::ok();
}

} // namespace quotes
