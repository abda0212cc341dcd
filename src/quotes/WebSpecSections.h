#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "quotes/ConversionOwner.h"

namespace bizlib {
class Database;
}

namespace quotes {

// The specification of a new quote or order taken from its web request: the twelve sections of
// its specification text record (SpecTexts) filled from the request's tab texts, and the tab
// texts copied onto it.
class WebSpecSections
{
public:
    static constexpr int kSectionLength = 1000;

    explicit WebSpecSections(bizlib::Database &db);

    // Fills the owner's specification text record: the existing one with every section cleared
    // first, or a new one. Each tab text of the request (in key order: tab, then tab text) whose
    // tab exists, feeds a section (TAB:SpecSection 1) and is named after a section (see
    // SpecSections::sectionForTab) sets that section, cut to kSectionLength characters; a later
    // text for the same section wins. Only a request with no tab texts at all gives its own
    // twelve section texts (Spec<Section>), each when not empty. *hadTabTexts tells which it was.
    bizlib::Status fill(const ConversionOwner &owner, const bizlib::Record &request, bool *hadTabTexts);

    // The tab texts of the owner are replaced by copies of the request's non-empty tab texts (as
    // fill() read them, when it ran for this request), each with a new identifier, the owner set
    // and no request. A copy that cannot be inserted gives its number back and the others are
    // still copied.
    bizlib::Status copyTabTexts(const ConversionOwner &owner);

private:
    bizlib::Database &m_db;
    QList<bizlib::Record> m_requestTabTexts; // as fill() read them, for copyTabTexts()
    qint32 m_readFor = -1; // the request they belong to
};

} // namespace quotes
