#include "quotes/QuoteProcessing.h"

#include "bizlib/AttachmentFiles.h"
#include "bizlib/Database.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/forms/QuoteUpdate.h"
#include "bizlib/forms/SelectLibrary.h"
#include "bizlib/params/QuoteUpdateParams.h"
#include "bizlib/quote/QuoteForm.h"
#include "bizlib/report/PdfQuotes.h"
#include "config/AppContext.h"
#include "config/AttachmentCopyRules.h"
#include "config/FrameEvents.h"
#include "config/IniFile.h"
#include "config/TraceLog.h"
#include "config/WindowEvents.h"
#include "data/ChangeNotice.h"
#include "data/ClaimBook.h"
#include "data/ClaimCleanup.h"
#include "data/ProcessingNotice.h"
#include "notes/PhraseToolbox.h"
#include "quotes/AttachmentDownloader.h"
#include "quotes/FileJournal.h"
#include "quotes/QuoteCompletion.h"
#include "quotes/QuoteConversion.h"
#include "quotes/RfqNotice.h"
#include "quotes/WebNotify.h"

#include <QFileInfo>
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

void QuoteProcessing::keepClaimSeen()
{
    if (!m_claim || !m_claim->isHeld() || m_services.keepSeenMs < 0 || !m_sinceSeen.isValid()
        || m_sinceSeen.elapsed() < m_services.keepSeenMs)
        return;
    config::AppContext &ctx = *m_services.ctx;
    const Status st = data::ClaimBook(*ctx.db).heartbeat({ m_claim->owner() });
    m_sinceSeen.start();
    if (!st && ctx.trace)
        ctx.trace->message(QStringLiteral("The claim of web quote request %1 could not be marked seen: %2")
                               .arg(m_request.toLong("Number"))
                               .arg(st.message()));
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

    m_claim = std::make_unique<data::RequestClaim>(db, data::ClaimVariant::quoteProcessing(),
        m_request.toLong("QuoteID"), ctx.prompter, m_services.changeNotice, ctx.glo.user.userCode, dataFolders());
    const data::RequestClaim::Outcome outcome
        = m_claim->claim(m_automatic, { { QStringLiteral("Address"), address } }, m_request.text("Status"));
    if (outcome != data::RequestClaim::Outcome::Claimed && outcome != data::RequestClaim::Outcome::Unlocked) {
        m_lastStatus = m_claim->lastStatus();
        if (outcome == data::RequestClaim::Outcome::Failed)
            tell(m_lastStatus, QStringLiteral("The web quote request could not be claimed."));
        else if (outcome == data::RequestClaim::Outcome::Gone)
            tell(Status::notFound(QStringLiteral("It was processed or removed by another workstation.")),
                QStringLiteral("The web quote request is no longer there."));
        m_response = Response::Cancelled;
        m_processingActive = false;
        return false;
    }
    m_sinceSeen.start(); // the claim's row says it was seen now
    // The claim worked on the row as it is now; so does everything after it.
    bizlib::Table requests(db, QStringLiteral("WebQuotes"));
    m_lastStatus = requests.fetch(QStringLiteral("QUOTEIDKEY"), { m_request.toLong("QuoteID") }, m_request);
    if (!m_lastStatus) {
        tell(m_lastStatus, QStringLiteral("The web quote request could not be read."));
        m_claim->release();
        m_response = Response::Cancelled;
        m_processingActive = false;
        return false;
    }
    m_readTemplate = m_request.toLong("TemplateID");
    m_readPrevious = m_request.toLong("PreviousID");
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
    keepClaimSeen();

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
    cs.localCopies = localCopyRules(ctx);
    QuoteConversion conversion(cs, m_request, m_isRfq, m_automatic);
    const Response prepared = conversion.prepare();
    m_converted = conversion.request();
    if (prepared == Response::Cancelled) {
        m_processingActive = false;
        tell(conversion.lastStatus(), QStringLiteral("The web quote request could not be read."));
        return cancelRoutine(conversion.lastStatus());
    }
    // The files first, each recorded before it is written: a run that ends on the way leaves
    // nothing that the next cleanup does not find.
    FileJournal journal;
    const Status staged = conversion.stageFiles(
        [this](const QString &path) {
            keepClaimSeen();
            return m_claim->recordNow(data::RunItem::file(path));
        },
        &journal);
    if (!staged) {
        journal.undo();
        m_processingActive = false;
        tell(staged, QStringLiteral("The attachments of the web quote request could not be copied."));
        return cancelRoutine(staged);
    }
    m_refusals = conversion.refusals();
    reach("staged");
    return m_automatic ? runAutomatic(conversion, journal) : runManual(conversion, journal);
}

Response QuoteProcessing::runAutomatic(QuoteConversion &conversion, FileJournal &journal)
{
    config::AppContext &ctx = *m_services.ctx;
    QList<data::RunItem> moves;
    Status st;
    keepClaimSeen();
    {
        bizlib::Transaction tx(*ctx.db);
        st = tx.status();
        if (st)
            st = conversion.build();
        m_processingActive = false;
        m_newQuoteId = conversion.newQuoteId();
        m_quote = conversion.quote();
        m_converted = conversion.request();
        if (st) {
            reach("converted");
            QuoteCompletion completion(*ctx.db, ctx.glo.user, ctx.brevix.globalData);
            st = completion.complete(m_quote, m_isRfq, &moves, m_services.checkpoint);
        }
        if (st) {
            // The request goes with the stored quote, or neither: only while this run still holds it.
            st = m_claim->removeRequest(moves);
            if (st)
                reach("deleted");
        }
        if (st)
            st = tx.commit();
        // Leaving the block without a commit rolls everything back.
    }
    if (!st) {
        journal.undo();
        tell(st, QStringLiteral("The web quote request could not be turned into a quote."));
        return cancelRoutine(st);
    }
    journal.keep();
    reach("committed");
    if (!moves.isEmpty()) {
        keepClaimSeen();
        finishMoves(); // without moves the commit has ended the claim's record already
    }
    m_claim->settle();
    afterStored(conversion.client());
    return finish(conversion.client());
}

void QuoteProcessing::finishMoves()
{
    QList<data::RunItem> notMoved;
    Status st = m_claim->finishMoves(&notMoved);
    // A copy that could not take its new name keeps its first one, and its record says so.
    bizlib::Table attachments(*m_services.ctx->db, QStringLiteral("Attachments"));
    for (const data::RunItem &move : std::as_const(notMoved)) {
        Record row = attachments.newRecord();
        if (!attachments.fetch(QStringLiteral("ATTACHMENTIDKEY"), { move.key }, row))
            continue;
        row.setText("LocalPath", move.path);
        row.setText("Filename", QFileInfo(move.path).fileName());
        const Status kept = attachments.updateIfUnchanged(row, { QStringLiteral("LocalPath") });
        if (st && !kept.isOk() && !kept.isNotFound())
            st = kept;
    }
    if (!st)
        m_lastStatus = st;
}

Response QuoteProcessing::runManual(QuoteConversion &conversion, FileJournal &journal)
{
    config::AppContext &ctx = *m_services.ctx;
    bizlib::Database &db = *ctx.db;
    Status st;
    keepClaimSeen();
    {
        bizlib::Transaction tx(db);
        st = tx.status();
        if (st)
            st = conversion.build();
        // The quote's rows are committed before the form opens (the form reads them); the run's
        // record says whose they are until the form's save takes them over.
        if (st)
            st = m_claim->record(data::RunItem::row(QStringLiteral("Quotes"), conversion.newQuoteId()));
        if (st)
            st = tx.commit();
    }
    m_processingActive = false;
    m_newQuoteId = conversion.newQuoteId();
    m_quote = conversion.quote();
    m_converted = conversion.request();
    if (!st) {
        journal.undo();
        tell(st, QStringLiteral("The web quote request could not be turned into a quote."));
        return cancelRoutine(st);
    }
    journal.keep();
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
        // What the run made (the quote's rows and copied files) goes with the release.
        tell(st, QStringLiteral("The quote was not saved."));
        return cancelRoutine(st);
    }
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

QuoteOutcome QuoteProcessing::outcome() const
{
    QuoteOutcome o;
    o.response = m_response;
    o.rfq = m_isRfq;
    o.failure = m_told;
    if (m_finished && m_response == Response::Completed) {
        o.quoteRef = m_quote.text("Number").trimmed() + m_quote.text("Revision").trimmed();
        o.failure.clear();
        if (m_lastStatus.isError())
            o.afterwards = m_lastStatus.message();
    }
    return o;
}

Response QuoteProcessing::cancelRoutine(const Status &why)
{
    m_processingActive = false;
    m_lastStatus = why;
    m_response = Response::Cancelled;
    m_finished = true;
    // The request gets back its status, and the template and previous quote as the conversion
    // left them (it clears those that name no quote, and "Manual" clears the template).
    data::RequestClaim::Assignments restore;
    const qint32 templateId = m_savedTemplate == 0 ? 0
        : m_converted.isValid()                    ? m_converted.toLong("TemplateID")
                                                   : m_readTemplate;
    const qint32 previousId = m_converted.isValid() ? m_converted.toLong("PreviousID") : m_readPrevious;
    if (templateId != m_readTemplate)
        restore.append({ QStringLiteral("TemplateID"), templateId });
    if (previousId != m_readPrevious)
        restore.append({ QStringLiteral("PreviousID"), previousId });
    if (m_claim && m_claim->isHeld()) {
        const Status released = m_claim->release(restore);
        if (released.isError())
            tell(released,
                QStringLiteral("The web quote request could not be given back; it stays \"Processing\" until this "
                               "console gives it back (when the database answers again) or it is unlocked."));
        else if (released.isNotFound() && why.isOk())
            tell(released, QStringLiteral("The web quote request was not given back."));
    }
    return m_response;
}

void QuoteProcessing::tell(const Status &st, const QString &what)
{
    if (st.isOk())
        return;
    m_told = data::tellFailure(*m_services.ctx, !m_automatic,
        QStringLiteral("Web quote request %1").arg(m_request.toLong("Number")), QStringLiteral("Web quote processing"),
        st, what);
}

QStringList QuoteProcessing::dataFolders() const
{
    const config::AppContext &ctx = *m_services.ctx;
    return bizlib::AttachmentFiles::dataFolders(ctx.brevix.globalData, ctx.brevix.localData);
}

bizlib::LocalFileCopy QuoteProcessing::localCopyRules(const config::AppContext &ctx)
{
    return config::attachmentCopyRules(
        config::IniFile(ctx.paths.localIni), ctx.brevix.globalData, ctx.brevix.localData);
}

void QuoteProcessing::close()
{
    config::AppContext &ctx = *m_services.ctx;
    // The toolbox started for this request ends with it.
    notes::PhraseToolbox::closeRunning(ctx);
    if (m_claim && m_claim->isHeld())
        cancelRoutine(Status::ok());
    // A release that failed is tried once more as the window closes.
    if (m_claim && m_claim->isHeld()) {
        const Status again = m_claim->release();
        if (again.isError() && m_told.isEmpty())
            tell(again,
                QStringLiteral("The database is not answering: the web quote request stays \"Processing\" until "
                               "this console gives it back."));
    }
    m_processingActive = false;
    m_refreshRequested = true;
}

} // namespace quotes
