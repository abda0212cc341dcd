#pragma once

#include "bizlib/Status.h"

#include <QString>

namespace bizlib {

class Database;

// SYNCQUOTESPEC and SYNCORDERSPEC: the owner's tab texts on specification tabs (TAB:SpecSection 1
// and a section name, see SpecSections) take the texts of the owner's specification record: a
// tab text is updated, or inserted when missing and its section has text, or removed when the
// section is empty; further tab texts of the owner on the same tab are removed. Tab texts on
// other tabs are left alone. Without a specification record every section counts as empty.
// `ownerField`: "QuoteID" or "OrderID". All or nothing.
Status syncSpecTabs(Database &db, const QString &ownerField, qint32 ownerId);

} // namespace bizlib
