#pragma once

#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"

#include <QString>

namespace bizlib {

class Database;

// Operations of the business system's MAIN and DATA libraries on client accounts and their codes:
// ASSIGNACCOUNTCODE, VALIDATECODE, VALIDATENOMINAL, VALIDATETAXCODE and CLIENTUPDATES.
// An object belongs to the thread that made it, as the database connections do.
class ClientLibrary
{
public:
    static constexpr int kMaxCodeLength = 10;

    // CLIENTUPDATES actions.
    enum class UpdateAction { Inserted = 1, Changed = 2 };

    ClientLibrary(Database &db, const Session &session);

    // ASSIGNACCOUNTCODE: a code of at most kMaxCodeLength characters that no client uses yet for an
    // account called `name`: the first six letters and digits of the upper-cased name (fewer when
    // the name has fewer; "CLIENT" when it has none), then the lowest number from 01 that makes the
    // code free, with two digits up to 99, then three, then four. `tablePrefix` says which accounts
    // (only "CLI", the clients, is known). Error when every number is taken or the table cannot be
    // read. Two workstations may be given the same code at the same moment: the second insert then
    // fails on the unique code, and the caller asks again.
    Status assignAccountCode(const QString &name, const QString &tablePrefix, QString *code);

    // VALIDATECODE: a client code must not be empty, must fit kMaxCodeLength characters and must
    // hold no blank, no control character and none of / \ : * ? " < > | (codes name the clients'
    // folders on the website and on disk). Error with the reason otherwise.
    static Status validateCode(const QString &code);

    // VALIDATENOMINAL: `nominal` is a code of the nominal-code table of type `nominalType`
    // ("Income"; letter case ignored). NotFound with the reason otherwise; *record (if given) holds
    // the nominal record when found.
    Status validateNominal(const QString &nominal, const QString &nominalType, Record *record = nullptr);

    // VALIDATETAXCODE: `taxCode` is a code of the tax-rate table of type `taxType` ("Sales").
    // NotFound with the reason otherwise.
    Status validateTaxCode(const QString &taxCode, const QString &taxType);

    // CLIENTUPDATES: brings the derived fields of `client` (a Clients record about to be written) in
    // line with what was entered; `previous` is the record as it was before (an empty record for a
    // new account). Changes the record only, never the database:
    //   - CLI:NameCaps = the upper-cased trimmed CLI:Name;
    //   - CLI:Contact = the name of the primary contact (CLI:ContactID) when it names one;
    //   - Inserted: CLI:CreatedOn = today and CLI:CreatedBy = the logged-on user, when not set.
    // `silent` and `batch` are the two flags of the library's call; this implementation asks
    // nothing, so they change nothing. Error only when the contact cannot be read.
    Status clientUpdates(UpdateAction action, Record &client, const Record &previous, bool silent = false,
        bool batch = false);

private:
    Database &m_db;
    const Session &m_session;
};

} // namespace bizlib
