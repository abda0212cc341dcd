#pragma once

#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/params/WebTaskParams.h"

namespace bizlib {

class Database;

// Operations of the business system's DATA library that work on records of the database.
class DataLibrary
{
public:
    DataLibrary(Database &db, const Session &session);

    // WEBTASK: raises a webtask from the 743-byte parameter record. The new `WebTask` row takes
    // every field of the record whose name matches, then the library's own values: today's date,
    // the time now, the logged-on user's code, status "Pending" and the record's priority
    // (0 when not given). On success *created holds the new task, with its WTSK:WebTaskID.
    // A failed insert gives the primed number back; nothing is written then.
    Status webTask(const params::WebTaskParams &request, Record *created = nullptr);

private:
    Database &m_db;
    const Session &m_session;
};

} // namespace bizlib
