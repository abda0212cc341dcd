#pragma once

#include "console/setup/PaymentGateway.h"
#include "console/setup/SetupFields.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace bizlib {
class Record;
}
namespace bizlib::forms {
class RecordForms;
}
namespace config {
struct AppContext;
class TraceLog;
} // namespace config
namespace notes {
class Desktop;
}

namespace console {

class SoundPlayer;
struct SetupLookup;

// The Setup tab's logic. The controls edit a working copy of the settings (values()); the
// process-wide settings, the files and the company defaults record change only when the copy is
// saved, and Cancel (or No to the save question) throws the copy away: the system configuration
// and the settings are read again from the files and the defaults from the database. So that
// no edit stays on the screen without taking effect, leaving the tab asks whether to save
// whenever the copy differs from what was loaded, on any page (hasEdits()).
//
// Save writes to the web monitor settings file and the workstation INI file only the keys whose
// value this workstation changed (see config::putIniSettings()): another workstation's changes
// saved since this one loaded the settings stay.
//
// Controls are named as in SetupField ("INI:WEBURL"). The widgets hand every accepted value to
// accept() (or to acceptCode()/acceptFolder() for the fields with a lookup or a folder) and
// show values() again whenever valuesChanged() is signalled.
class SetupEditor : public QObject
{
    Q_OBJECT

public:
    SetupEditor(config::AppContext &context, bizlib::forms::RecordForms &forms, notes::Desktop &desktop,
        SoundPlayer &sounds, QObject *parent = nullptr);
    ~SetupEditor() override;

    // The page list ("Default settings"): the pages' tab texts in order.
    static QStringList pageNames();
    // The report type (by name) whose layouts a layout field lists, empty for other fields.
    static QString reportTypeOf(const QString &field);

    const SetupValues &values() const { return m_values; }
    QVariant value(const QString &field) const;
    // The dependent controls: the estimator (and its lookup) and "Notify estimator by email"
    // follow "Automatically transfer RFQs to estimator queue"; the reminder interval follows
    // "Send reminder email ..."; the gateway address and account ID follow the gateway type.
    bool isEnabled(const QString &field) const;
    bool isRequired(const QString &field) const;
    // The settings-changed flag: a control that raises the save question was changed since the
    // last load or save.
    bool isChanged() const { return m_changed; }
    // Anything differs from what load() read (any page's control, the layouts, Alerts, Timers,
    // Connection and Payment too), or the settings-changed flag is set.
    bool hasEdits() const { return m_changed || m_values != m_loaded; }
    // What the code of a lookup field names (a user's or client's name, a code's, profile's or
    // layout's description); empty when the field holds nothing the table knows.
    QString describe(const QString &field);

    // Starts a working copy from the settings as the program holds them now and the defaults
    // record as it is in the database now; the changed flag is cleared.
    void load();

    // A control accepted with `value`. The dependent controls follow; choosing "Existing" or
    // "Auto" sign-up processing ticks both e-mail notification boxes (whenever it is chosen,
    // also when it was chosen already); choosing the "Paypal" gateway fills in its address. True
    // when the value changed.
    bool accept(const QString &field, const QVariant &value);
    // A code or layout number typed into a lookup field: looked up in its table; when not found
    // the field's selection list opens. Blank (or 0 for a layout) is taken as it is.
    void acceptCode(const QString &field, const QString &text);
    // The lookup button of a field: its selection list. The chosen record's code is taken; a
    // cancelled list leaves the field, unless what it holds is not in the table, which clears it.
    // The sign-up account must be a web-enabled client and the markup profile must pass the
    // markup check for today; otherwise the field is cleared.
    void select(const QString &field);
    // A hot folder typed by hand: stored; false (after the exclamation beep, no message) when
    // the folder does not exist, and the widget puts the focus back on the field.
    bool acceptFolder(const QString &field, const QString &path);
    // The folder and sound file dialogs ("Select target folder", "Select sound file").
    void chooseFolder(const QString &field);
    void chooseSound(const QString &field);
    // The calendar of a date field (SELECTDATE).
    void selectDate(const QString &field);
    // The Play buttons and "Open website url" (the address as edited, without trailing blanks).
    void play(const QString &field);
    void openWebsite();

    // Save: the sign-up e-mail check (false when it refuses: nothing is saved), then the
    // settings files, the defaults record, the "Defaults"/"Update" webtask (only when the
    // defaults were saved), the system configuration file and the closing message. A part that
    // fails is named in the message and keeps the changed flag set.
    bool save();
    // Cancel: the edits are dropped; settings, system configuration and defaults read again.
    void cancel();
    // Leaving the tab: with any edit (hasEdits()), asks whether to save; Yes saves, No cancels.
    // False when the user should stay on the tab (the save was refused).
    bool leave();

Q_SIGNALS:
    void valuesChanged();
    void focusRequested(const QString &field);
    void titleChanged(const QString &title); // "Web console - " + the saved address, lower case
    void busyChanged(bool busy);

private:
    bool store(const QString &field, const QVariant &value);
    void applyRules(const QString &field);
    void adopt(const SetupLookup &lookup, const bizlib::Record &record);
    bool exists(const SetupLookup &lookup, const QString &code, bizlib::Record *found);
    bool runList(const SetupLookup &lookup, bizlib::Record *chosen);
    config::TraceLog &trace();

    config::AppContext &m_ctx;
    bizlib::forms::RecordForms &m_forms;
    notes::Desktop &m_desktop;
    SoundPlayer &m_sounds;
    std::unique_ptr<config::TraceLog> m_ownTrace;
    SetupValues m_values;
    SetupValues m_loaded; // m_values as load() read them
    CompanyDefaults m_defaultsAsRead;
    PaymentGateway m_gateway;
    bool m_changed = false;
    bool m_rfqRuleOnChange = false; // the estimator rule has been applied on a change
};

} // namespace console
