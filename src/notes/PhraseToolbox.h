#pragma once

#include "bizlib/FilterExpression.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormRequest.h"
#include "bizlib/forms/PhraseForm.h"
#include "config/AppContext.h"

#include <memory>

namespace bizlib {
class NetRefresh;
class Record;
class Table;
class TableListModel;
struct TableDef;
} // namespace bizlib
namespace bizlib::forms {
class RecordForms;
} // namespace bizlib::forms

namespace notes {

// The logic of `PhraseTools`, the phrase toolbox: the stored phrases of one group, in title order,
// for dragging into the text fields of the processing and rejection windows.
//
// One toolbox runs at a time. Its number (a stable, non-zero identifier of this toolbox) is kept
// in GLO:PhraseToolboxThread (`ctx.glo.phraseToolboxThread`) and its window in `ctx.glo.phraseToolbox`
// while it runs. start() sets both only when this toolbox runs; end() clears each only while it still
// names this toolbox, so a second start, or a toolbox closed by a processing window and replaced by a
// new one, never leaves a processing window waiting for a toolbox that is there.
//
// The list's filter comes from the group (GLO:PhraseType) and, on the "Linked" tab, the text field
// the phrases are for (GLO:PhraseField, bound as a value). Group "Sundry" lists the phrases with
// `PHR:Other` set, the flag a new "Sundry" phrase gets; a group whose flag the phrase table lacks lists
// nothing; any other group ("All") lists every phrase with a title.
class PhraseToolbox
{
public:
    enum class Tab { Linked = 1, All = 2 };

    // The change-notice channel of the phrase table: a new phrase notifies it, and every toolbox
    // resets its list when it moved (another workstation changed the phrases).
    static QString changeChannel() { return bizlib::forms::PhraseForm::changeChannel(); }
    // The groups offered in the "Type" list, in order.
    static const QStringList &typeList();

    // `ctx.db` must be set.
    explicit PhraseToolbox(config::AppContext &ctx);
    ~PhraseToolbox(); // ends the toolbox
    PhraseToolbox(const PhraseToolbox &) = delete;
    PhraseToolbox &operator=(const PhraseToolbox &) = delete;

    // Starts this toolbox for `window`: false (and nothing changed) when another toolbox runs; the
    // caller then brings running() to the front and ends. Otherwise the number and the window are
    // recorded, GLO:PhraseType becomes `group` ("All" when empty) and GLO:PhraseField `field`
    // (trailing blanks removed; may be empty).
    bool start(QObject *window, const QString &group, const QString &field);
    // The end: the number and the window are cleared where they still name this toolbox.
    void end();
    bool isRunning() const { return m_running; }
    qint32 number() const { return m_number; }

    // The running toolbox's window, or nullptr.
    static QObject *running(const config::AppContext &ctx);
    // What a processing window does when it ends: posts a close to the running toolbox (the window
    // closes once the event loop runs) and clears the number and the window at once, so that a
    // new request starts a new toolbox rather than finding the closing one.
    static void closeRunning(config::AppContext &ctx);
    // REFRESHPHRASES: the text field the phrases are for (and, when given, the group) change; a
    // running toolbox is told (its window's slot phraseFieldChanged() runs from the event loop).
    static void refreshPhrases(config::AppContext &ctx, const QString &field, const QString &group = {});

    // The group shown (GLO:PhraseType) and the field (GLO:PhraseField).
    QString group() const { return m_ctx.glo.phraseType; }
    QString field() const { return m_ctx.glo.phraseField; }
    void setGroup(const QString &group);
    // The first column's heading: "Phrases for: <field in lower case>", or "Phrases" without a field.
    QString heading() const;

    // The filter expression of a group on the phrase table `phrases`.
    static QString groupFilter(const QString &group, const bizlib::TableDef &phrases);
    // The list's filter on a tab, and the names it binds (GLO:PhraseType, GLO:PhraseField).
    QString filter(Tab tab) const;
    bizlib::FilterBindings bindings() const;

    // The list (PHRASE in `PHR:PhraseTitleKey` order; columns title, text on one line, field).
    bizlib::TableListModel &list() { return *m_list; }
    // Rebuilds the filter for `tab` and re-reads the list from its first row.
    bizlib::Status reset(Tab tab);
    // True when another workstation (or this one) changed the phrases since the last look.
    bool phrasesChanged();

    // The text a drag of the phrase `phraseId` carries, read afresh: empty for 0 or a phrase that
    // has gone (a drag with no phrase selected drops nothing).
    bizlib::Status dragText(qint32 phraseId, QString *text) const;

    // A new phrase primed from the toolbox: the flag of `group` ("Sundry": `PHR:Other`; "All": all
    // eight of the type list), `PHR:WebEnable` 1.
    static void primeGroupFlags(bizlib::Record &phrase, const QString &group);
    // UPDATEPHRASE for a new phrase of the group shown: the form, the insert, the change notice.
    // On Completed *phrase (if given) holds the phrase as stored.
    bizlib::forms::Response newPhrase(
        bizlib::forms::RecordForms &forms, bizlib::Record *phrase = nullptr, bizlib::Status *error = nullptr);

private:
    config::AppContext &m_ctx;
    qint32 m_number;
    QObject *m_window = nullptr;
    bool m_running = false;
    std::unique_ptr<bizlib::Table> m_table;
    std::unique_ptr<bizlib::TableListModel> m_list;
    std::unique_ptr<bizlib::NetRefresh> m_changes;
};

} // namespace notes
