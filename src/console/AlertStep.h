#pragma once

#include "console/RequestLists.h"

#include <QString>

namespace bizlib {
class Record;
}
namespace bizlib::mail {
class MailSender;
}
namespace config {
struct AppContext;
struct ConsoleSettings;
} // namespace config

namespace console {

class AlertWindow;
class ProcessingProblems;
class QuoteListModel;
class RefreshCycle;
class SoundPlayer;

// What the monitor does with new activity at the end of each full refresh and on F5:
//
// 1. Automatic processing, when "AutoProcessQuotes" or "AutoProcessRFQs" is on: one walk of
//    AutoProcessing over the quote list (the same walk webconsole-auto makes), each request
//    processed by the monitor window in automatic mode. Each run goes to the processing list: the
//    quote it made, or why it failed. The selected row is restored afterwards. No quote or order
//    alert is raised in this mode.
// 2. Otherwise, when the quote or the order count grew since the counts seen at the last status
//    refresh: the frame gets 1524/1526 (a sound is configured: the console plays it) or
//    1525/1527, the enquiry sound plays, and with "EnquiryAlert" the window comes forward.
// 3. In either mode, when the sign-up count grew: 1624 and the sign-up sound, or 1625; with
//    "SignupAlert" the window comes forward.
// 4. The pending reminder (reminderDue()): an e-mail to the logged-on user listing what waits.
//
// Sounds that name no existing file are skipped silently (SoundPlayer). The reminder clock is the
// RefreshCycle's, on the monotonic clock, so midnight or a change of the system time never
// stretches or shortens the interval.
class AlertStep
{
public:
    struct Services
    {
        config::AppContext *ctx = nullptr; // settings, database, logged-on user, the frame's events
        const RequestLists *lists = nullptr; // the current counts
        QuoteListModel *quotes = nullptr; // the list automatic processing walks
        RefreshCycle *cycle = nullptr; // the reminder clock
        AlertWindow *window = nullptr;
        SoundPlayer *sounds = nullptr;
        bizlib::mail::MailSender *mail = nullptr; // EMAILDIALOG; none: no reminder is sent
        ProcessingProblems *problems = nullptr; // none: failures are not listed, nothing waits
    };

    explicit AlertStep(Services services);

    // One step; `seen`: the counts of the last status refresh.
    void run(const RequestLists::Counts &seen);

    // Whether automatic processing takes this web quote request: a template or previous quote
    // priced by the website (WebCalc 1) with "AutoProcessQuotes", a request for quotation (neither
    // identifier set) with "AutoProcessRFQs".
    static bool qualifies(const config::ConsoleSettings &settings, const bizlib::Record &request);
    // The identifiers of the requests that processing completed, in the order processed.
    QList<qint32> processAutomatically();
    // "PendingReminder" on, an interval set, something waiting, and the interval passed since the
    // last reminder or automatic processing.
    bool reminderDue(const RequestLists::Counts &now) const;
    void sendReminder(const RequestLists::Counts &now);

    static QString reminderSubject();
    static QString reminderBody(int intervalMinutes, const RequestLists::Counts &now);

private:
    void alertEnquiries(const RequestLists::Counts &now, const RequestLists::Counts &seen);
    void alertSignups(const RequestLists::Counts &now, const RequestLists::Counts &seen);
    void post(int event);

    Services m_s;
};

} // namespace console
