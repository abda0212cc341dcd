#pragma once

#include "AccountList.h"
#include "WebTaskWorker.h"
#include "demo/DemoData.h"

#include <QStringList>

namespace bizlib {
class Database;
}

namespace webmon {

// Plays the web monitor service against a business database, one round at a time, so that a
// console on the same database sees what it would see beside the real service.
class WebMonitor
{
public:
    struct Setup
    {
        QString uploadFolder; // where the files of arriving attachments are written
        QString accountsFile; // "accounts.xml" in the GlobalData folder
        int companyNo = 0; // whose consoles are told about changes
        WebTaskWorker::Options tasks;
        quint32 seed = 1;
    };

    // What one round did, for the log.
    struct Report
    {
        QStringList arrived; // "web quote request 1027 (RFQ)", ...
        QStringList tasks; // "#12 Client Syncall: 45% complete", ...
        int tasksLeft = 0; // steps not written: someone else changed the task first
        int accounts = 0;
    };

    WebMonitor(bizlib::Database &db, const Setup &setup);

    // One round at `now`, in this order:
    // 1. new requests arrive, each in a transaction of its own: the first round brings one web
    //    quote request, one web order and one business sign-up; later rounds none to two requests
    //    of any kind (web quote requests from a template, repeating a previous quote or asking
    //    for a quotation; product and service orders, a third of them from a consumer who signs
    //    up with the order; business sign-ups);
    // 2. every webtask in hand moves one step (WebTaskWorker);
    // 3. the account list file is written (AccountList);
    // 4. when a table changed, the consoles' change stamp is bumped.
    // Stops at the first failure and says what failed; what was written before it stays, and
    // the stamp is still bumped for it.
    bizlib::Status round(const QDateTime &now, Report *report);

    // The consoles' change-notice channel of a company: "NetRefreshwebconsole" and the company
    // number in two digits.
    static QString channelFor(int companyNo);

private:
    bizlib::Status arrive(const QDateTime &now, Report *report);
    bizlib::Status arriveOne(int kind, const QDateTime &now, Report *report);
    bizlib::Status moveTasks(const QDateTime &now, Report *report, bool *changed);

    bizlib::Database &m_db;
    Setup m_setup;
    QRandomGenerator m_rng;
    demo::DemoData m_data;
    WebTaskWorker m_tasks;
    AccountList m_accounts;
    int m_round = 0;
};

} // namespace webmon
