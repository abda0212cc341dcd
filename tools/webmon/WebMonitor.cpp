#include "WebMonitor.h"

#include "bizlib/NetRefresh.h"
#include "bizlib/Table.h"

#include <array>

namespace webmon {

namespace {

enum Kind { TemplateQuote, PreviousQuote, RfqQuote, ProductOrder, ServiceOrder, ConsumerOrder, BusinessSignup };

// What arrives in a later round, weighted: quote requests most, sign-ups least.
constexpr Kind kLaterArrivals[] = { TemplateQuote, TemplateQuote, PreviousQuote, RfqQuote, RfqQuote, ProductOrder,
    ServiceOrder, ProductOrder, ConsumerOrder, BusinessSignup, BusinessSignup };

// One line of the log: the request's number and title, or its name.
QString describe(bizlib::Database &db, const QString &table, const QString &key, qint32 id, const QString &what)
{
    bizlib::Table t(db, table);
    bizlib::Record r = t.newRecord();
    if (!t.fetch(key, { id }, r))
        return QStringLiteral("%1 #%2").arg(what).arg(id);
    if (table == QLatin1String("WebSignup"))
        return QStringLiteral("%1 from %2 (%3)").arg(what, r.text("FullName"), r.text("Company"));
    return QStringLiteral("%1 %2: %3").arg(what).arg(r.toLong("Number")).arg(r.text("Title"));
}

} // namespace

WebMonitor::WebMonitor(bizlib::Database &db, const Setup &setup)
    : m_db(db)
    , m_setup(setup)
    , m_rng(setup.seed)
    , m_data(db, setup.seed ^ 0x5eed)
    , m_tasks(db, setup.tasks, m_rng)
    , m_accounts(m_rng)
{
    m_data.setUploadFolder(setup.uploadFolder);
}

QString WebMonitor::channelFor(int companyNo)
{
    return QStringLiteral("NetRefreshwebconsole%1").arg(companyNo, 2, 10, QChar(u'0'));
}

bizlib::Status WebMonitor::round(const QDateTime &now, Report *report)
{
    *report = {};
    ++m_round;
    bool tasksChanged = false;
    bizlib::Status st = arrive(now, report);
    if (st)
        st = moveTasks(now, report, &tasksChanged);
    if (st) {
        st = m_accounts.refresh(m_db, now);
        QString error;
        if (st && !m_accounts.write(m_setup.accountsFile, &error))
            st = bizlib::Status::error(error);
        report->accounts = int(m_accounts.accounts().size());
    }
    if (!report->arrived.isEmpty() || tasksChanged) {
        bizlib::NetRefresh net(m_db, channelFor(m_setup.companyNo));
        const bizlib::Status notified = net.notify();
        if (st && !notified)
            st = notified;
    }
    return st;
}

bizlib::Status WebMonitor::arrive(const QDateTime &now, Report *report)
{
    QList<Kind> kinds;
    if (m_round == 1) {
        kinds = { Kind(m_rng.bounded(3)), m_rng.bounded(2) == 0 ? ProductOrder : ServiceOrder, BusinessSignup };
    } else {
        // Now and then a quiet round; mostly one request, sometimes two.
        const int count = std::array { 0, 1, 1, 1, 2 }.at(m_rng.bounded(5));
        for (int i = 0; i < count; ++i)
            kinds << kLaterArrivals[m_rng.bounded(int(std::size(kLaterArrivals)))];
    }
    for (const Kind kind : kinds) {
        const bizlib::Status st = arriveOne(kind, now, report);
        if (!st)
            return st;
    }
    return bizlib::Status::ok();
}

bizlib::Status WebMonitor::arriveOne(int kind, const QDateTime &now, Report *report)
{
    using QuoteKind = demo::DemoData::QuoteKind;
    qint32 id = 0;
    bizlib::Status st;
    switch (Kind(kind)) {
    case TemplateQuote:
    case PreviousQuote:
    case RfqQuote: {
        const QuoteKind quoteKind = kind == TemplateQuote ? QuoteKind::Template
            : kind == PreviousQuote                       ? QuoteKind::Previous
                                                          : QuoteKind::Rfq;
        st = m_data.addArrivingQuote(quoteKind, now, &id);
        if (st)
            report->arrived << describe(m_db, QStringLiteral("WebQuotes"), QStringLiteral("QUOTEIDKEY"), id,
                kind == TemplateQuote       ? QStringLiteral("web quote request (template)")
                    : kind == PreviousQuote ? QStringLiteral("web quote request (repeat)")
                                            : QStringLiteral("web quote request (RFQ)"));
        break;
    }
    case ProductOrder:
    case ServiceOrder:
    case ConsumerOrder: {
        const bool service = kind == ServiceOrder || (kind == ConsumerOrder && m_rng.bounded(2) == 0);
        st = m_data.addArrivingOrder(service, kind == ConsumerOrder, now, &id);
        if (st)
            report->arrived << describe(m_db, QStringLiteral("WebOrders"), QStringLiteral("ORDERIDKEY"), id,
                QStringLiteral("%1 web order%2")
                    .arg(service ? QStringLiteral("service") : QStringLiteral("product"),
                        kind == ConsumerOrder ? QStringLiteral(" (B2C, with its sign-up)") : QString()));
        break;
    }
    case BusinessSignup:
        st = m_data.addArrivingSignup(now, &id);
        if (st)
            report->arrived << describe(
                m_db, QStringLiteral("WebSignup"), QStringLiteral("WEBSIGNUPIDKEY"), id, QStringLiteral("B2B sign-up"));
        break;
    }
    return st;
}

bizlib::Status WebMonitor::moveTasks(const QDateTime &now, Report *report, bool *changed)
{
    QList<WebTaskWorker::Step> steps;
    bizlib::Status st = m_tasks.plan(now, &steps);
    for (const WebTaskWorker::Step &step : std::as_const(steps)) {
        if (!st)
            break;
        bool applied = false;
        st = m_tasks.apply(step, &applied);
        if (!st)
            break;
        if (!applied) {
            ++report->tasksLeft;
            continue;
        }
        *changed = true;
        report->tasks << QStringLiteral("#%1 %2 %3: %4")
                             .arg(step.read.toLong("WebTaskID"))
                             .arg(step.read.text("TaskType").trimmed(), step.read.text("TaskRequest").trimmed(),
                                 step.summary);
    }
    return st;
}

} // namespace webmon
