#include "notes/PhraseToolbox.h"

#include "bizlib/NetRefresh.h"
#include "bizlib/Table.h"
#include "bizlib/TableListModel.h"
#include "bizlib/forms/FormLayout.h"
#include "bizlib/forms/PhraseForm.h"
#include "notes/PhraseDrop.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QRegularExpression>
#include <atomic>

namespace notes {

namespace {

// Toolbox numbers are handed out once per process, so a number never names two toolboxes.
std::atomic<qint32> g_lastNumber { 0 };

struct GroupFlag
{
    const char *group;
    const char *flag;
};

// The groups the list filters on, and the flag each one reads. "Sundry" reads PHR:Other, the flag
// that a new "Sundry" phrase is given.
const GroupFlag kFilterFlags[] = {
    { "Estimating", "Estimating" },
    { "Production", "Production" },
    { "Costing", "Costing" },
    { "Accounts", "Accounts" },
    { "Stock", "Stock" },
    { "CRM", "CRM" },
    { "SOP", "SOP" },
    { "Internet", "Internet" },
    { "Sundry", "Other" },
    { "RDC", "RDC" },
    { "Purchasing", "Purchasing" },
};

// The groups of the type list and the flag a new phrase of that group gets.
const GroupFlag kNewPhraseFlags[] = {
    { "Estimating", "Estimating" },
    { "Production", "Production" },
    { "Costing", "Costing" },
    { "Accounts", "Accounts" },
    { "Stock", "Stock" },
    { "CRM", "CRM" },
    { "RDC", "RDC" },
    { "Sundry", "Other" },
};

const char *flagOf(const QString &group, const GroupFlag *begin, const GroupFlag *end)
{
    for (const GroupFlag *g = begin; g != end; ++g) {
        if (group.compare(QLatin1String(g->group), Qt::CaseInsensitive) == 0)
            return g->flag;
    }
    return nullptr;
}

QString oneLine(const QString &text, int width)
{
    static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]+"));
    return QString(text).replace(lineBreaks, QStringLiteral(" ")).left(width).trimmed();
}

} // namespace

const QStringList &PhraseToolbox::typeList()
{
    static const QStringList types { QStringLiteral("Estimating"), QStringLiteral("Production"),
        QStringLiteral("Costing"), QStringLiteral("Accounts"), QStringLiteral("Stock"), QStringLiteral("CRM"),
        QStringLiteral("RDC"), QStringLiteral("Sundry"), QStringLiteral("All") };
    return types;
}

PhraseToolbox::PhraseToolbox(config::AppContext &ctx)
    : m_ctx(ctx)
    , m_number(++g_lastNumber)
    , m_table(std::make_unique<bizlib::Table>(*ctx.db, QStringLiteral("PHRASE")))
    , m_changes(std::make_unique<bizlib::NetRefresh>(*ctx.db, changeChannel()))
{
    using Column = bizlib::TableListModel::Column;
    m_list = std::make_unique<bizlib::TableListModel>(*m_table, QStringLiteral("PHRASETITLEKEY"),
        QList<Column> {
            { QStringLiteral("Phrases"), QStringLiteral("PhraseTitle"),
                [](const bizlib::Record &r) { return PhraseDrop::clipped(r.text("PhraseTitle").left(80)); } },
            { QStringLiteral("Text"), QStringLiteral("PhraseText"),
                [](const bizlib::Record &r) { return oneLine(r.text("PhraseText"), 255); } },
            { QStringLiteral("Field"), QStringLiteral("PhraseField"),
                [](const bizlib::Record &r) { return PhraseDrop::clipped(r.text("PhraseField").left(50)); } },
        });
    m_changes->reset();
}

PhraseToolbox::~PhraseToolbox()
{
    end();
}

bool PhraseToolbox::start(QObject *window, const QString &group, const QString &field)
{
    if (QObject *other = running(m_ctx); other && other != window)
        return false;
    m_window = window;
    m_running = true;
    m_ctx.glo.phraseToolboxThread = m_number;
    m_ctx.glo.phraseToolbox = window;
    setGroup(group);
    m_ctx.glo.phraseField = PhraseDrop::clipped(field);
    return true;
}

void PhraseToolbox::end()
{
    if (!m_running)
        return;
    m_running = false;
    if (m_ctx.glo.phraseToolboxThread == m_number)
        m_ctx.glo.phraseToolboxThread = 0;
    if (m_ctx.glo.phraseToolbox == m_window)
        m_ctx.glo.phraseToolbox = nullptr;
}

QObject *PhraseToolbox::running(const config::AppContext &ctx)
{
    return ctx.glo.phraseToolbox.data();
}

void PhraseToolbox::closeRunning(config::AppContext &ctx)
{
    if (QObject *window = running(ctx))
        QMetaObject::invokeMethod(window, "close", Qt::QueuedConnection);
    ctx.glo.phraseToolbox = nullptr;
    ctx.glo.phraseToolboxThread = 0;
}

void PhraseToolbox::refreshPhrases(config::AppContext &ctx, const QString &field, const QString &group)
{
    ctx.glo.phraseField = PhraseDrop::clipped(field);
    if (!PhraseDrop::clipped(group).isEmpty())
        ctx.glo.phraseType = PhraseDrop::clipped(group);
    if (QObject *window = running(ctx))
        QMetaObject::invokeMethod(window, "phraseFieldChanged", Qt::QueuedConnection);
}

void PhraseToolbox::setGroup(const QString &group)
{
    const QString g = PhraseDrop::clipped(group);
    m_ctx.glo.phraseType = g.isEmpty() ? QStringLiteral("All") : g;
}

QString PhraseToolbox::heading() const
{
    const QString field = PhraseDrop::clipped(m_ctx.glo.phraseField);
    if (field.isEmpty())
        return QCoreApplication::translate("PhraseTools", "Phrases");
    return QCoreApplication::translate("PhraseTools", "Phrases for:") + u' ' + field.toLower();
}

QString PhraseToolbox::groupFilter(const QString &group, const bizlib::TableDef &phrases)
{
    const char *flag = flagOf(PhraseDrop::clipped(group), std::begin(kFilterFlags), std::end(kFilterFlags));
    if (!flag)
        return QStringLiteral("PHR:PhraseTitle");
    // A flag the table does not have: the group lists nothing rather than failing.
    if (phrases.fieldIndex(QLatin1String(flag)) < 0)
        return QStringLiteral("0");
    return QStringLiteral("PHR:%1 = 1").arg(QLatin1String(flag));
}

QString PhraseToolbox::filter(Tab tab) const
{
    const QString own = groupFilter(m_ctx.glo.phraseType, m_table->def());
    if (tab != Tab::Linked || PhraseDrop::clipped(m_ctx.glo.phraseField).isEmpty())
        return own;
    return QStringLiteral("(%1) AND (UPPER(PHR:PhraseField) = UPPER(GLO:PhraseField) OR PHR:PhraseField = '')")
        .arg(own);
}

bizlib::FilterBindings PhraseToolbox::bindings() const
{
    return { { QStringLiteral("glo:phrasetype"), m_ctx.glo.phraseType },
        { QStringLiteral("glo:phrasefield"), PhraseDrop::clipped(m_ctx.glo.phraseField) } };
}

bizlib::Status PhraseToolbox::reset(Tab tab)
{
    const bizlib::Status st = m_list->setFilter(filter(tab), bindings());
    if (!st)
        return st;
    m_changes->reset();
    return m_list->reset();
}

bool PhraseToolbox::phrasesChanged()
{
    return m_changes->changed();
}

bizlib::Status PhraseToolbox::dragText(qint32 phraseId, QString *text) const
{
    text->clear();
    if (phraseId == 0)
        return bizlib::Status::ok();
    bizlib::Record phrase = m_table->newRecord();
    const bizlib::Status st = m_table->fetch(QStringLiteral("PHRASEIDKEY"), { phraseId }, phrase);
    if (st.isNotFound())
        return bizlib::Status::ok();
    if (st)
        *text = phrase.text("PhraseText");
    return st;
}

void PhraseToolbox::primeGroupFlags(bizlib::Record &phrase, const QString &group)
{
    const QString g = PhraseDrop::clipped(group);
    if (g.compare(QLatin1String("All"), Qt::CaseInsensitive) == 0) {
        for (const GroupFlag &f : kNewPhraseFlags)
            phrase.setLong(QLatin1String(f.flag), 1);
    } else if (const char *flag = flagOf(g, std::begin(kNewPhraseFlags), std::end(kNewPhraseFlags))) {
        phrase.setLong(QLatin1String(flag), 1);
    } else if (const char *other = flagOf(g, std::begin(kFilterFlags), std::end(kFilterFlags));
               other && phrase.table().fieldIndex(QLatin1String(other)) >= 0) {
        // A group the caller chose outside the type list ("Purchasing"): its own flag, so the new
        // phrase shows in the list it was added from.
        phrase.setLong(QLatin1String(other), 1);
    }
    phrase.setLong("WebEnable", 1);
}

bizlib::forms::Response PhraseToolbox::newPhrase(
    bizlib::forms::RecordForms &forms, bizlib::Record *phrase, bizlib::Status *error)
{
    bizlib::Record r = m_table->newRecord();
    primeGroupFlags(r, m_ctx.glo.phraseType);
    const bizlib::forms::Response response
        = bizlib::forms::PhraseForm::update(*m_ctx.db, forms, bizlib::forms::Request::Insert, r, error);
    if (response == bizlib::forms::Response::Completed && phrase)
        *phrase = r;
    return response;
}

} // namespace notes
