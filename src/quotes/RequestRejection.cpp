#include "quotes/RequestRejection.h"

#include "bizlib/Clock.h"
#include "bizlib/DataLibrary.h"
#include "bizlib/Database.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/forms/PhraseForm.h"
#include "config/AppContext.h"
#include "data/ChangeNotice.h"
#include "data/WebTaskRequests.h"
#include "notes/FieldSpelling.h"
#include "notes/PhraseDrop.h"
#include "notes/PhraseToolbox.h"

namespace quotes {

namespace {

using bizlib::forms::Response;
using notes::PhraseDrop;

QString idFieldOf(const bizlib::Record &request)
{
    const bizlib::TableDef &def = request.table();
    return def.fields.at(def.primary().fields.first()).name;
}

// The date from which the website's history is synchronised: the company defaults' own.
qint32 defaultWebHistory(bizlib::Database &db)
{
    bizlib::Table defaults(db, QStringLiteral("DEFAULTS"));
    bizlib::TableCursor cursor(defaults, QStringLiteral("DEFAULTSIDKEY"));
    bizlib::Record r = defaults.newRecord();
    return cursor.next(r).isOk() ? r.toLong("WebHistory") : 0;
}

} // namespace

const RejectionVariant &RejectionVariant::quote()
{
    static const RejectionVariant v { Kind::Quote, QStringLiteral("WebQuoteReject"),
        QStringLiteral("Reject web quote request"), QStringLiteral("WebQuotes"), &data::ClaimVariant::quoteRejection(),
        true, QString::fromLatin1(data::RequestClaim::kProcessing) };
    return v;
}

const RejectionVariant &RejectionVariant::order()
{
    static const RejectionVariant v { Kind::Order, QStringLiteral("WebOrderReject"), QStringLiteral("Reject web order"),
        QStringLiteral("WebOrders"), &data::ClaimVariant::orderRejection(), true,
        QString::fromLatin1(data::RequestClaim::kProcessing) };
    return v;
}

const RejectionVariant &RejectionVariant::signup()
{
    static const RejectionVariant v { Kind::Signup, QStringLiteral("WebSignupReject"),
        QStringLiteral("Reject web registration"), QStringLiteral("WebSignup"), &data::ClaimVariant::signupRejection(),
        false, QStringLiteral("Rejected") };
    return v;
}

QString RequestRejection::subject() const
{
    if (!m_request.isValid())
        return {};
    if (m_variant.kind != RejectionVariant::Kind::Signup)
        return m_request.text("Title").trimmed();
    QStringList parts;
    for (const char *field : { "FullName", "Company" }) {
        const QString part = m_request.text(QLatin1String(field)).trimmed();
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QStringLiteral(" - "));
}

RequestRejection::RequestRejection(Services services, const RejectionVariant &variant, const bizlib::Record &request)
    : m_services(std::move(services))
    , m_variant(variant)
    , m_request(request)
{
    if (!m_services.changeNotice) {
        config::AppContext *ctx = m_services.ctx;
        m_services.changeNotice = [ctx] { data::sendChangeNotice(*ctx->db, ctx->glo.companyNo); };
    }
    // The sign-up window edits the sign-up's own response.
    if (m_variant.kind == RejectionVariant::Kind::Signup)
        m_comments = m_request.text("Response").left(kMaxComments);
}

RequestRejection::~RequestRejection() = default;

void RequestRejection::report(const bizlib::Status &status, const QString &what)
{
    m_lastStatus = status;
    if (bizlib::Prompter *prompter = m_services.ctx->prompter)
        prompter->alert(
            what + QStringLiteral("\n\n") + status.message(), m_variant.title, bizlib::Prompter::Icon::Hand);
}

bool RequestRejection::prepaidWarningDeclined()
{
    if (m_variant.kind != RejectionVariant::Kind::Order || m_request.toLong("Prepaid") != 1
        || PhraseDrop::clipped(m_request.text("Status")) == QLatin1String(data::RequestClaim::kProcessing))
        return false;
    bizlib::Table notes(*m_services.ctx->db, QStringLiteral("WebNotes"));
    bizlib::TableCursor first(notes, QStringLiteral("ORDERIDKEY"));
    first.setRange({ m_request.toLong("OrderID") });
    bizlib::Record note = notes.newRecord();
    if (!first.next(note).isOk() || PhraseDrop::clipped(note.text("Class")).toUpper() != QLatin1String("PAYMENT"))
        return false;
    bizlib::Prompter *prompter = m_services.ctx->prompter;
    return !prompter || !prompter->askYesNo(prepaidQuestion(), prepaidCaption(), false);
}

bool RequestRejection::open()
{
    config::AppContext &ctx = *m_services.ctx;
    m_response = Response::Cancelled;
    if (prepaidWarningDeclined())
        return false;
    const qint32 id = m_request.toLong(idFieldOf(m_request));
    m_claim = std::make_unique<data::RequestClaim>(
        *ctx.db, *m_variant.claim, id, ctx.prompter, m_services.changeNotice, ctx.glo.user.userCode);
    const auto outcome = m_claim->claim(false, {}, m_request.text("Status"));
    if (outcome == data::RequestClaim::Outcome::Failed) {
        report(m_claim->lastStatus(), QStringLiteral("The request could not be claimed."));
        return false;
    }
    if (outcome != data::RequestClaim::Outcome::Claimed && outcome != data::RequestClaim::Outcome::Unlocked)
        return false;
    // What the window shows and sends is the row as it is now, not the list's copy.
    bizlib::Table requests(*ctx.db, m_variant.table);
    m_lastStatus = requests.fetch(requests.def().primary().name, { id }, m_request);
    if (!m_lastStatus) {
        m_claim->release();
        if (m_lastStatus.isError())
            report(m_lastStatus, QStringLiteral("The request could not be read."));
        return false;
    }
    if (m_variant.phraseList) {
        if (const bizlib::Status st = readPhrases(); st.isError())
            report(st, QStringLiteral("The rejection phrases could not be read."));
    }
    return true;
}

bizlib::Status RequestRejection::readPhrases()
{
    m_phrases.clear();
    bizlib::Table table(*m_services.ctx->db, QStringLiteral("PHRASE"));
    bizlib::TableCursor cursor(table, QStringLiteral("CATEGORYKEY"));
    cursor.setRange({ phraseCategory() });
    bizlib::Status st = cursor.setFilter(phraseFilter());
    if (!st)
        return st;
    bizlib::Record r = table.newRecord();
    while ((st = cursor.next(r)).isOk())
        m_phrases << Phrase { r.toLong("PhraseID"), PhraseDrop::clipped(r.text("PhraseTitle")), r.text("PhraseText") };
    return st.isNotFound() ? bizlib::Status::ok() : st;
}

void RequestRejection::setComments(const QString &text)
{
    m_comments = text.left(kMaxComments);
}

bool RequestRejection::pickPhrase(int index)
{
    if (index < 0 || index >= m_phrases.size())
        return false;
    const Phrase &phrase = m_phrases.at(index);
    const QString text = PhraseDrop::clipped(phrase.text);
    if (text.isEmpty() || !m_services.ctx->prompter)
        return false;
    m_phraseTitle = phrase.title;
    const std::optional<QString> result = PhraseDrop::apply(
        m_comments, text, *m_services.ctx->prompter, kMaxComments, bizlib::Prompter::Icon::Exclamation);
    if (!result)
        return false;
    m_comments = *result;
    return true;
}

void RequestRejection::reset()
{
    m_phraseTitle.clear();
    m_comments.clear();
}

bool RequestRejection::dropPhrase(const QString &text)
{
    if (PhraseDrop::clipped(text).isEmpty() || !m_services.ctx->prompter)
        return false;
    const std::optional<QString> result = PhraseDrop::apply(m_comments, text, *m_services.ctx->prompter, kMaxComments);
    if (!result)
        return false;
    m_comments = *result;
    return true;
}

void RequestRejection::commentsSelected()
{
    notes::PhraseToolbox::refreshPhrases(*m_services.ctx, QStringLiteral("Response"), QStringLiteral("Web"));
}

void RequestRejection::checkSpelling(bool run, bool report)
{
    const notes::FieldSpelling spelling { m_services.speller, m_services.ctx->prompter, m_services.dictionary };
    setComments(spelling.check(m_comments, run, report));
}

Response RequestRejection::addPhrase(int *added)
{
    if (!m_services.forms)
        return Response::Cancelled;
    bizlib::Database &db = *m_services.ctx->db;
    bizlib::Table phrases(db, QStringLiteral("PHRASE"));
    bizlib::Record phrase = phrases.newRecord();
    phrase.setText("Category", phraseCategory());
    phrase.setText("Subcategory", phraseSubcategory());
    // The group flag the list shows, so that the new phrase is offered where it was added.
    phrase.setLong("Other", 1);
    if (const bizlib::Status st = bizlib::MainLibrary(db).addListOption(
            QStringLiteral("PHR:Subcategory"), phraseSubcategory(), phraseCategory());
        !st) {
        report(st, QStringLiteral("The phrase subcategory could not be added."));
        return Response::Cancelled;
    }
    bizlib::Status error;
    const Response response
        = bizlib::forms::PhraseForm::update(db, *m_services.forms, bizlib::forms::Request::Insert, phrase, &error);
    if (error.isError())
        report(error, QStringLiteral("The phrase form could not be opened."));
    if (response != Response::Completed)
        return response;
    readPhrases();
    if (added) {
        *added = -1;
        for (int i = 0; i < m_phrases.size(); ++i) {
            if (m_phrases.at(i).id == phrase.toLong("PhraseID"))
                *added = i;
        }
    }
    return response;
}

bool RequestRejection::ok()
{
    if (!m_claim || !m_claim->isHeld())
        return m_response == Response::Completed;
    config::AppContext &ctx = *m_services.ctx;
    bizlib::Database &db = *ctx.db;
    const QString description = PhraseDrop::clipped(m_comments);
    const qint32 webHistory = defaultWebHistory(db);
    bizlib::params::WebTaskParams task;
    data::RequestClaim::Assignments alsoSet;
    switch (m_variant.kind) {
    case RejectionVariant::Kind::Quote:
        task = data::WebTaskRequests::quoteRejected(m_request, description, webHistory);
        break;
    case RejectionVariant::Kind::Order:
        task = data::WebTaskRequests::orderRejected(m_request, description, webHistory);
        break;
    case RejectionVariant::Kind::Signup:
        task = data::WebTaskRequests::signupRejected(m_request, description, webHistory);
        alsoSet = { { QStringLiteral("ResponseDate"), bizlib::DateTime::today() },
            { QStringLiteral("ResponseTime"), bizlib::DateTime::now() },
            { QStringLiteral("ResponseBy"), ctx.glo.user.userCode }, { QStringLiteral("Response"), m_comments } };
        break;
    }
    task.setText("TaskUser", ctx.glo.user.userCode);

    const QString notQueued = QStringLiteral("The rejection was NOT sent: the webtask could not be stored. The request "
                                             "is still held by this window; press OK to try again, or Cancel.");
    bizlib::Transaction tx(db);
    if (!tx.status()) {
        report(tx.status(), notQueued);
        return false;
    }
    if (const bizlib::Status st = m_claim->handOn(m_variant.statusAfterOk, alsoSet); !st) {
        if (!st.isNotFound()) {
            report(st, notQueued);
            return false;
        }
        // Nothing left to reject here, and the row is not this window's to write back.
        m_claim->settle();
        report(st, QStringLiteral("The rejection was NOT sent."));
        return true;
    }
    bizlib::Record created;
    bizlib::Status st = bizlib::DataLibrary(db, ctx.glo.user).webTask(task, &created);
    if (st && created.toLong("WebTaskID") <= 0)
        st = bizlib::Status::error(QStringLiteral("The webtask was not given a number."));
    if (st)
        st = tx.commit();
    if (!st) {
        report(st, notQueued);
        return false;
    }
    m_task = created;
    m_claim->settle();
    m_services.changeNotice();
    m_lastStatus = bizlib::Status::ok();
    m_response = Response::Completed;
    return true;
}

void RequestRejection::close()
{
    if (m_response == Response::Completed || !m_claim || !m_claim->isHeld())
        return;
    if (const bizlib::Status st = m_claim->release(); st.isError())
        report(st, QStringLiteral("The request could not be given back; it stays \"Processing\"."));
}

} // namespace quotes
