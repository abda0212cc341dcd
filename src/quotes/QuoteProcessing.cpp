#include "quotes/QuoteProcessing.h"

#include "bizlib/Database.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"
#include "bizlib/forms/QuoteUpdate.h"
#include "bizlib/forms/SelectLibrary.h"
#include "bizlib/params/QuoteUpdateParams.h"
#include "bizlib/quote/QuoteForm.h"
#include "bizlib/report/PdfQuotes.h"
#include "config/AppContext.h"
#include "config/FrameEvents.h"
#include "config/WindowEvents.h"
#include "data/ChangeNotice.h"
#include "quotes/AttachmentDownloader.h"
#include "quotes/FileJournal.h"
#include "quotes/QuoteCompletion.h"
#include "quotes/QuoteConversion.h"
#include "quotes/RfqNotice.h"
#include "quotes/WebNotify.h"
#include "notes/PhraseToolbox.h"

#include <optional>

namespace quotes {

using bizlib::Record;
using bizlib::Status;
using bizlib::forms::Response;

namespace {

Record readOptional(bizlib::Database &db, const QString &table, const QString &key, qint32 id)
{
    bizlib::Table t(db, table);
    Record r = t.newRecord();
    if (id > 0 && t.fetch(key, { id }, r))
        return r;
    return t.newRecord();
}

bool found(const Record &r, const char *idField)
{
    return r.isValid() && r.toLong(QLatin1String(idField)) != 0;
}

QString formattedAddress(bizlib::Database &db, const Record &r)
{
    return bizlib::MainLibrary(db).formatAddress(r.toLong("CountryID"), r.text("Postcode"), r.text("County"),
        r.text("Town"), r.text("Address3"), r.text("Address2"), r.text("Address1"));
}

} // namespace

std::optional<QuoteProcessing::Arguments> QuoteProcessing::automaticArguments(
    const config::ConsoleSettings &settings, const Record &request)
{
    const bool named = request.toLong("TemplateID") != 0 || request.toLong("PreviousID") != 0;
    if (settings.autoProcessRfqs && !named)
        return Arguments { true, true };
    if (settings.autoProcessQuotes && named)
        return Arguments { true, false };
    return std::nullopt;
}

QuoteProcessing::QuoteProcessing(Services services, const Record &request, bool automatic, bool isRfq)
    : m_services(std::move(services))
    , m_request(request)
    , m_automatic(automatic)
    , m_isRfq(isRfq)
{
    if (!m_services.changeNotice) {
        config::AppContext *ctx = m_services.ctx;
        m_services.changeNotice = [ctx] { data::sendChangeNotice(*ctx->db, ctx->glo.companyNo); };
    }
}

QuoteProcessing::~QuoteProcessing()
{
    close();
}

void QuoteProcessing::reach(const char *point) const
{
    if (m_services.checkpoint)
        m_services.checkpoint(point);
}

bool QuoteProcessing::open()
{
    config::AppContext &ctx = *m_services.ctx;
    bizlib::Database &db = *ctx.db;
    m_processingActive = true;
    m_client = readOptional(db, QStringLiteral("Clients"), QStringLiteral("CLIENTIDKEY"), m_request.toLong("ClientID"));
    m_contact
        = readOptional(db, QStringLiteral("Contacts"), QStringLiteral("CONTACTIDKEY"), m_request.toLong("ContactID"));
    const Record office
        = readOptional(db, QStringLiteral("Offices"), QStringLiteral("OFFICEIDKEY"), m_request.toLong("OfficeID"));
    const QString address = found(office, "OfficeID") ? formattedAddress(db, office)
        : found(m_client, "ClientID")                 ? formattedAddress(db, m_client)
                                                      : QString();

    m_claim = std::make_unique<data::RequestClaim>(
        db, data::ClaimVariant::quoteProcessing(), m_request.toLong("QuoteID"), ctx.prompter, m_services.changeNotice);
    const data::RequestClaim::Outcome outcome
        = m_claim->claim(m_automatic, { { QStringLiteral("Address"), address } }, m_request.text("Status"));
    if (outcome != data::RequestClaim::Outcome::Claimed && outcome != data::RequestClaim::Outcome::Unlocked) {
        m_lastStatus = m_claim->lastStatus();
        m_response = Response::Cancelled;
        m_processingActive = false;
        return false;
    }
    // The claim worked on the row as it is now; so does everything after it.
    bizlib::Table requests(db, QStringLiteral("WebQuotes"));
    m_lastStatus = requests.fetch(QStringLiteral("QUOTEIDKEY"), { m_request.toLong("QuoteID") }, m_request);
    if (!m_lastStatus) {
        m_claim->release();
        m_response = Response::Cancelled;
        m_processingActive = false;
        return false;
    }
    m_savedTemplate = m_request.toLong("TemplateID");
    if (ctx.settings.quotePhrases && ctx.glo.phraseToolboxThread == 0 && !m_automatic && ctx.frame)
        ctx.frame->postEvent(config::StartQuotePhrases);
    m_started = false;
    return true;
}

bool QuoteProcessing::mayStart() const
{
    if (m_started || !m_claim || !m_claim->isHeld())
        return false;
    const config::AppContext &ctx = *m_services.ctx;
    return !ctx.settings.quotePhrases || ctx.glo.phraseToolboxThread > 0 || m_automatic;
}

Response QuoteProcessing::run()
{
    if (m_started || !m_claim || !m_claim->isHeld())
        return m_response;
    m_started = true;
    config::AppContext &ctx = *m_services.ctx;
    m_refreshRequested = false;
    reach("claimed");

    std::optional<bizlib::forms::SelectLibrary> select;
    if (m_services.forms)
        select.emplace(*ctx.db, *m_services.forms, ctx.prompter);
    QuoteConversion::Services cs;
    cs.db = ctx.db;
    cs.prompter = ctx.prompter;
    cs.select = select ? &*select : nullptr;
    cs.user = ctx.glo.user;
    cs.rfqEstimator = ctx.settings.rfqEstimator;
    cs.dataFolder = ctx.brevix.globalData;
    QuoteConversion conversion(cs, m_request, m_isRfq, m_automatic);
    if (conversion.prepare() == Response::Cancelled) {
        m_processingActive = false;
        return cancelRoutine(conversion.lastStatus());
    }
    return m_automatic ? runAutomatic(conversion) : runManual(conversion);
}

Response QuoteProcessing::runAutomatic(QuoteConversion &conversion)
{
    config::AppContext &ctx = *m_services.ctx;
    FileJournal journal;
    Status st;
    {
        bizlib::Transaction tx(*ctx.db);
        st = tx.status();
        if (st)
            st = conversion.build(&journal);
        m_processingActive = false;
        m_newQuoteId = conversion.newQuoteId();
        m_quote = conversion.quote();
        if (st) {
            reach("converted");
            QuoteCompletion completion(*ctx.db, ctx.glo.user, ctx.brevix.globalData);
            st = completion.complete(m_quote, m_isRfq, &journal, m_services.checkpoint);
        }
        if (st) {
            st = m_claim->removeRequest();
            if (st)
                reach("deleted");
        }
        if (st)
            st = tx.commit();
        // Leaving the block without a commit rolls everything back.
    }
    if (!st) {
        journal.undo();
        return cancelRoutine(st);
    }
    journal.keep();
    m_claim->settle();
    reach("committed");
    afterStored(conversion.client());
    return finish(conversion.client());
}

Response QuoteProcessing::runManual(QuoteConversion &conversion)
{
    config::AppContext &ctx = *m_services.ctx;
    bizlib::Database &db = *ctx.db;
    FileJournal journal;
    Status st;
    {
        bizlib::Transaction tx(db);
        st = tx.status();
        if (st)
            st = conversion.build(&journal);
        if (st)
            st = tx.commit();
    }
    m_processingActive = false;
    m_newQuoteId = conversion.newQuoteId();
    m_quote = conversion.quote();
    if (!st) {
        journal.undo();
        return cancelRoutine(st);
    }
    reach("converted");
    m_refreshRequested = true;

    bizlib::QuoteLibrary library(db, ctx.glo.user);
    bizlib::forms::QuoteUpdate::Hooks hooks = bizlib::pricedQuoteHooks(library);
    // The form's save is the final write: the quote numbered and stored and the request deleted
    // in the form's one transaction, or none of it.
    hooks.beforeSave = [this, &library](Record &quote) {
        Status saved = library.assignQuoteNumber(quote);
        return saved ? m_claim->removeRequest() : saved;
    };
    bizlib::params::QuoteUpdateParams params;
    params.setLong("ForceCalc", 1);
    params.setLong("OrderProcess", 0);
    Response response = Response::Cancelled;
    if (m_services.forms) {
        bizlib::forms::QuoteUpdate form(db, *m_services.forms, hooks, ctx.prompter);
        response = form.updateQuote(bizlib::forms::Request::Insert, params, m_quote);
        st = form.lastStatus();
    } else {
        st = Status::error(QStringLiteral("The quote form is not available."));
    }
    if (response == Response::Cancelled) {
        if (m_newQuoteId != 0 && m_quote.toLong("QuoteID") == m_newQuoteId) {
            const Status removed = library.removeQuote(m_newQuoteId);
            if (!removed)
                st = removed;
        }
        journal.undo();
        return cancelRoutine(st);
    }
    journal.keep();
    m_claim->settle();
    reach("committed");
    return finish(conversion.client());
}

void QuoteProcessing::afterStored(const Record &client)
{
    config::AppContext &ctx = *m_services.ctx;
    if (m_services.documents) {
        const bizlib::params::DocumentOutputParams letter
            = QuoteCompletion::letterParams(ctx.brevix.globalData, m_quote);
        const Status st = m_services.documents->run(letter, m_quote, &m_documentFile);
        if (!st)
            m_lastStatus = st;
    }
    if (m_services.mail && RfqNotice::isDue(ctx.settings, ctx.glo.user.userCode, m_isRfq))
        RfqNotice::send(*ctx.db, *m_services.mail, ctx.glo.user, m_quote, client);
}

Response QuoteProcessing::finish(const Record &client)
{
    config::AppContext &ctx = *m_services.ctx;
    if (ctx.settings.autoSaveAttachments && m_quote.toLong("HasAttachments") == 1 && m_services.downloader
        && !m_services.downloader->startForQuote(
            ctx.glo.companyNo, m_quote.toLong("QuoteID"), m_quote.text("Number"), m_quote.text("Revision")))
        m_lastStatus = Status::error(QStringLiteral("The attachment downloader could not be started."));
    m_response = Response::Completed;
    m_finished = true;
    if (m_services.mail) {
        WebNotify notify({ ctx.db, m_services.mail, &ctx.settings, ctx.glo.user });
        notify.send(QuoteCompletion::notificationText(m_quote, client, m_isRfq),
            QuoteCompletion::notificationSubject(m_isRfq), m_automatic, client, m_contact);
    }
    return m_response;
}

Response QuoteProcessing::cancelRoutine(const Status &why)
{
    m_processingActive = false;
    m_lastStatus = why;
    m_response = Response::Cancelled;
    m_finished = true;
    data::RequestClaim::Assignments restore;
    if (m_savedTemplate == 0)
        restore.append({ QStringLiteral("TemplateID"), 0 });
    if (m_claim)
        m_claim->release(restore);
    return m_response;
}

void QuoteProcessing::close()
{
    config::AppContext &ctx = *m_services.ctx;
    // The toolbox started for this request ends with it.
    notes::PhraseToolbox::closeRunning(ctx);
    if (m_claim && m_claim->isHeld())
        cancelRoutine(Status::ok());
    m_processingActive = false;
    m_refreshRequested = true;
}

} // namespace quotes
