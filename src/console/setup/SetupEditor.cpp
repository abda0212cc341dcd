#include "console/setup/SetupEditor.h"

#include "bizlib/Clock.h"
#include "bizlib/DataLibrary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/forms/SelectLibrary.h"
#include "bizlib/quote/QuoteLibrary.h"
#include "config/AppContext.h"
#include "config/BizlibSystemTables.h"
#include "config/ConsoleSettingsFile.h"
#include "config/PathText.h"
#include "config/SystemConfigFile.h"
#include "config/TraceLog.h"
#include "console/setup/SetupLookup.h"
#include "console/SoundPlayer.h"
#include "data/WebTaskRequests.h"
#include "notes/Desktop.h"

#include <QDir>
#include <QFileInfo>

namespace console {

namespace {

using Icon = bizlib::Prompter::Icon;

bool automatedSignups(const QString &process)
{
    const QString p = process.trimmed().toUpper();
    return p == QLatin1String("EXISTING") || p == QLatin1String("AUTO");
}

// The program's working folder, restored after a dialog that may have moved it.
class KeepWorkingFolder
{
public:
    KeepWorkingFolder()
        : m_folder(QDir::currentPath())
    { }
    ~KeepWorkingFolder() { QDir::setCurrent(m_folder); }
    KeepWorkingFolder(const KeepWorkingFolder &) = delete;
    KeepWorkingFolder &operator=(const KeepWorkingFolder &) = delete;

private:
    QString m_folder;
};

} // namespace

SetupEditor::SetupEditor(config::AppContext &context, bizlib::forms::RecordForms &forms, notes::Desktop &desktop,
    SoundPlayer &sounds, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
    , m_forms(forms)
    , m_desktop(desktop)
    , m_sounds(sounds)
{ }

SetupEditor::~SetupEditor() = default;

QStringList SetupEditor::pageNames()
{
    return { tr("General"), tr("Options"), tr("Defaults"), tr("Alerts"), tr("Timers"), tr("Connection"),
        tr("Payment") };
}

QString SetupEditor::reportTypeOf(const QString &field)
{
    const SetupLookup *l = SetupLookup::find(field);
    return l ? l->reportType : QString();
}

config::TraceLog &SetupEditor::trace()
{
    if (m_ctx.trace)
        return *m_ctx.trace;
    if (!m_ownTrace)
        m_ownTrace = std::make_unique<config::TraceLog>(config::TraceOptions { true });
    return *m_ownTrace;
}

QVariant SetupEditor::value(const QString &field) const
{
    const SetupField *f = SetupField::find(field);
    return f ? f->get(m_values) : QVariant();
}

bool SetupEditor::isEnabled(const QString &field) const
{
    const config::ConsoleSettings &s = m_values.settings;
    const QString name = field.toUpper();
    if (name == QLatin1String("INI:RFQESTIMATOR"))
        return s.autoProcessRfqs;
    if (name == QLatin1String("INI:RFQNOTIFY"))
        return s.autoProcessRfqs && (!m_rfqRuleOnChange || !config::clipRight(s.rfqEstimator).isEmpty());
    if (name == QLatin1String("INI:PENDINGINTERVAL"))
        return s.pendingReminder;
    if (name == QLatin1String("DEF:GATEWAYURL") || name == QLatin1String("DEF:GATEWAYID"))
        return m_gateway.fieldsEnabled();
    return true;
}

bool SetupEditor::isRequired(const QString &field) const
{
    const QString name = field.toUpper();
    return (name == QLatin1String("DEF:GATEWAYURL") || name == QLatin1String("DEF:GATEWAYID"))
        && m_gateway.fieldsRequired();
}

void SetupEditor::load()
{
    m_values.settings = m_ctx.settings;
    m_values.startupWebConsole = m_ctx.brevix.startupWebConsole;
    m_values.defaults = {};
    if (m_ctx.db)
        CompanyDefaults::read(*m_ctx.db, &m_values.defaults);
    m_defaultsAsRead = m_values.defaults;
    m_gateway = PaymentGateway();
    m_gateway.setUp(m_values.defaults);
    m_changed = false;
    m_rfqRuleOnChange = false;
    m_loaded = m_values;
    Q_EMIT valuesChanged();
}

bool SetupEditor::store(const QString &field, const QVariant &value)
{
    const SetupField *f = SetupField::find(field);
    if (!f)
        return false;
    const QVariant before = f->get(m_values);
    f->set(m_values, value);
    if (f->get(m_values) == before)
        return false;
    if (f->raisesSaveQuestion)
        m_changed = true;
    return true;
}

void SetupEditor::applyRules(const QString &field)
{
    const QString name = field.toUpper();
    config::ConsoleSettings &s = m_values.settings;
    if (name == QLatin1String("INI:AUTOPROCESSRFQS") || name == QLatin1String("INI:RFQESTIMATOR"))
        m_rfqRuleOnChange = true;
    if (name == QLatin1String("INI:SIGNUPPROCESS") && automatedSignups(s.signupProcess)) {
        store(QStringLiteral("INI:AUTOEMAILREP"), true);
        store(QStringLiteral("INI:AUTOEMAILMANAGER"), true);
    }
    if (name == QLatin1String("DEF:GATEWAYTYPE"))
        m_gateway.typeChanged(m_values.defaults);
}

bool SetupEditor::accept(const QString &field, const QVariant &value)
{
    const bool changed = store(field, value);
    // The sign-up choice ticks the notification boxes each time it is made, not only on a change.
    if (changed || field.compare(QLatin1String("INI:SIGNUPPROCESS"), Qt::CaseInsensitive) == 0)
        applyRules(field);
    Q_EMIT valuesChanged();
    return changed;
}

bool SetupEditor::exists(const SetupLookup &lookup, const QString &code, bizlib::Record *found)
{
    if (!m_ctx.db)
        return false;
    bizlib::Table table(*m_ctx.db, lookup.table);
    bizlib::Record r;
    if (lookup.isLayout()) {
        bool ok = false;
        const qint32 number = code.toInt(&ok);
        bizlib::Table types(*m_ctx.db, QStringLiteral("ReportTypes"));
        bizlib::Record type;
        if (!ok || !table.fetch(lookup.key, { number }, r)
            || !types.fetch(QStringLiteral("NAMEKEY"), { lookup.reportType }, type)
            || r.toLong("ReportTypeID") != type.toLong("ReportTypeID"))
            return false;
    } else if (!table.fetch(lookup.key, { code }, r) && !table.fetch(lookup.key, { code.toUpper() }, r)) {
        return false;
    }
    if (found)
        *found = r;
    return true;
}

QString SetupEditor::describe(const QString &field)
{
    const SetupLookup *lookup = SetupLookup::find(field);
    const QString code = value(field).toString().trimmed();
    bizlib::Record found;
    if (!lookup || code.isEmpty() || !exists(*lookup, code, &found))
        return {};
    return found.text(lookup->descriptionField);
}

bool SetupEditor::runList(const SetupLookup &lookup, bizlib::Record *chosen)
{
    if (!m_ctx.db)
        return false;
    bizlib::forms::SelectLibrary library(*m_ctx.db, m_forms, m_ctx.prompter);
    return lookup.list(library, chosen) == bizlib::forms::Response::Completed;
}

void SetupEditor::adopt(const SetupLookup &lookup, const bizlib::Record &record)
{
    const QString code = record.text(lookup.codeField);
    store(lookup.field, code);
    applyRules(lookup.field);
    bizlib::Prompter *ask = m_ctx.prompter;
    if (lookup.field == QLatin1String("INI:SIGNUPACCOUNT") && record.toLong("WebEnable") != 1) {
        if (ask) {
            ask->alert(QStringLiteral("WARNING: The selected client has not been web-enabled... please choose an "
                                      "another client, or web-enable this client first."),
                QStringLiteral("Invalid client selected"), Icon::Exclamation);
        }
        store(lookup.field, QString());
        Q_EMIT focusRequested(lookup.field);
    } else if (lookup.field == QLatin1String("DEF:WEBMARKUP")) {
        bizlib::QuoteLibrary quotes(*m_ctx.db, m_ctx.glo.user);
        const bizlib::Status st = quotes.checkMarkup(code, bizlib::DateTime::today());
        if (!st) {
            if (ask)
                ask->alert(st.message(), QStringLiteral("Markup profile"), Icon::Exclamation);
            store(lookup.field, QString());
        }
    }
}

void SetupEditor::acceptCode(const QString &field, const QString &text)
{
    const SetupLookup *lookup = SetupLookup::find(field);
    const QString code = config::clipRight(text).trimmed();
    store(field, code);
    if (!lookup) {
        Q_EMIT valuesChanged();
        return;
    }
    const bool blank = code.isEmpty() || (lookup->isLayout() && code.toInt() == 0);
    bizlib::Record found;
    if (!blank && exists(*lookup, code, &found)) {
        adopt(*lookup, found);
        Q_EMIT valuesChanged();
    } else if (!blank) {
        select(field);
    } else {
        Q_EMIT valuesChanged();
    }
}

void SetupEditor::select(const QString &field)
{
    const SetupLookup *lookup = SetupLookup::find(field);
    if (!lookup)
        return;
    bizlib::Record chosen;
    if (runList(*lookup, &chosen)) {
        adopt(*lookup, chosen);
    } else {
        const QString held = value(field).toString().trimmed();
        const bool blank = held.isEmpty() || (lookup->isLayout() && held.toInt() == 0);
        // A code typed by hand that names nothing is not kept.
        if (!blank && !exists(*lookup, held, nullptr))
            store(field, lookup->isLayout() ? QVariant(0) : QVariant(QString()));
    }
    Q_EMIT valuesChanged();
}

bool SetupEditor::acceptFolder(const QString &field, const QString &path)
{
    accept(field, path);
    if (QFileInfo(config::clipRight(path)).isDir())
        return true;
    if (m_ctx.prompter)
        m_ctx.prompter->beep(Icon::Exclamation);
    return false;
}

void SetupEditor::chooseFolder(const QString &field)
{
    QString folder;
    {
        KeepWorkingFolder keep;
        folder = m_desktop.chooseFolder(QStringLiteral("Select target folder"), value(field).toString());
    }
    if (!folder.isEmpty())
        accept(field, QDir::toNativeSeparators(folder));
}

void SetupEditor::chooseSound(const QString &field)
{
    QStringList files;
    {
        KeepWorkingFolder keep;
        files = m_desktop.chooseFiles(QStringLiteral("Select sound file"),
            { { QStringLiteral("WAV files (*.wav)"), QStringLiteral("*.wav") } }, false);
    }
    if (!files.isEmpty())
        accept(field, QDir::toNativeSeparators(files.first()));
}

void SetupEditor::selectDate(const QString &field)
{
    if (!m_ctx.db)
        return;
    bizlib::forms::SelectLibrary library(*m_ctx.db, m_forms, m_ctx.prompter);
    qint32 day = value(field).toInt();
    if (library.selectDate(&day) == bizlib::forms::Response::Completed)
        accept(field, day);
}

void SetupEditor::play(const QString &field)
{
    m_sounds.play(value(field).toString());
}

void SetupEditor::openWebsite()
{
    const QString url = config::clipRight(m_values.settings.webUrl);
    if (!url.isEmpty())
        m_desktop.open(url);
}

bool SetupEditor::save()
{
    const config::ConsoleSettings &s = m_values.settings;
    bizlib::Prompter *ask = m_ctx.prompter;
    if (config::clipRight(s.adminEmail).isEmpty() && !s.autoEmailRep && !s.autoEmailManager
        && automatedSignups(s.signupProcess)) {
        if (ask) {
            ask->alert(QStringLiteral("WARNING: Automated signups require an adminstrator email address, or the "
                                      "client sales-rep/manager to be notified... please change your email settings."),
                QStringLiteral("No sign-up emails"), Icon::Exclamation);
        }
        Q_EMIT focusRequested(QStringLiteral("INI:ADMINEMAIL"));
        return false;
    }
    Q_EMIT busyChanged(true);
    QStringList problems;
    m_ctx.settings = m_values.settings;
    m_ctx.brevix.startupWebConsole = m_values.startupWebConsole;
    // Only what this workstation changed: the files are read again just before the write.
    if (!config::putIniSettings(m_ctx.settings, m_ctx.settingsFiles(), trace(), &m_loaded.settings))
        problems << tr("The settings files could not be written.");
    m_ctx.web.webVersion = m_ctx.settings.webVersion;

    bizlib::Status st = m_ctx.db ? CompanyDefaults::write(*m_ctx.db, m_values.defaults, &m_defaultsAsRead)
                                 : bizlib::Status::error(tr("no database"));
    if (!st) {
        problems << tr("The company defaults could not be saved (%1).").arg(st.message());
    } else {
        bizlib::DataLibrary library(*m_ctx.db, m_ctx.glo.user);
        st = library.webTask(data::WebTaskRequests::defaultsUpdated(
            CompanyDefaults::systemRecordId(*m_ctx.db), m_values.defaults.webHistory));
        if (!st)
            problems << tr("The website could not be told of the new defaults (%1).").arg(st.message());
    }
    Q_EMIT titleChanged(QStringLiteral("Web console - ") + m_ctx.settings.webUrl.toLower());

    QString error;
    if (!config::writeSystemConfig(m_ctx.brevix, m_ctx.paths.localIni, &error)) {
        trace().message(QStringLiteral("System configuration not saved: ") + error);
        problems << tr("The workstation settings could not be written (%1).").arg(error);
    }

    const bool failed = !problems.isEmpty();
    const SetupValues kept = m_values;
    const SetupValues loadedBefore = m_loaded;
    load();
    if (failed) {
        // What could not be stored stays on the screen, leaving the tab asks again, and the next
        // Save compares with what was read before these edits.
        m_values = kept;
        m_loaded = loadedBefore;
        m_changed = true;
        Q_EMIT valuesChanged();
    }
    Q_EMIT busyChanged(false);
    if (ask) {
        if (failed) {
            ask->alert(QStringLiteral("WARNING: ") + problems.join(u' ')
                    + tr(" Everything else has been saved; the webmon service may need to be restarted for it to "
                         "take effect."),
                tr("Settings not saved"), Icon::Exclamation);
        } else {
            ask->alert(QStringLiteral("Web settings have been modified, the webmon service may need to be restarted "
                                      "for these parameters to take effect."),
                QStringLiteral("Settings modified"), Icon::Information);
        }
    }
    return true;
}

void SetupEditor::cancel()
{
    if (m_ctx.db) {
        config::BizlibSystemTables tables(*m_ctx.db);
        config::reloadSystemConfig(m_ctx.brevix, m_ctx.settings, m_ctx.settingsFiles(), tables, m_ctx.glo.companyNo,
            trace(), m_ctx.paths.workingFolder);
        // The company of this run is start-up's to say, not the file's.
        m_ctx.brevix.companyNo = m_ctx.glo.companyNo;
        if (!m_ctx.glo.companyName.isEmpty())
            m_ctx.brevix.companyName = m_ctx.glo.companyName;
        m_ctx.web.webVersion = m_ctx.settings.webVersion;
    }
    load();
}

bool SetupEditor::leave()
{
    if (!hasEdits())
        return true;
    const bool yes = !m_ctx.prompter
        || m_ctx.prompter->askYesNo(
            QStringLiteral("Some settings may have changed, do you want to save the new values?"),
            QStringLiteral("Settings changed"), true);
    if (yes)
        return save();
    cancel();
    return true;
}

} // namespace console
