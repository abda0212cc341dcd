#pragma once

#include <QString>
#include <QStringList>

namespace bizlib {

class Record;

// The twelve specification sections of quotes and orders (Size, Brief, Repro, Proof, Printing,
// Finishing, Materials, Delivery, Private, Special, Notes, Other) and the tabs that feed them.
class SpecSections
{
public:
    // The sections in their fixed order; each is also the field name in SpecTexts.
    static const QStringList &names();

    // The section a tab of this name feeds: the name upper-cased with trailing blanks ignored,
    // "PREPRESS" standing for Repro. Empty for any other name.
    static QString sectionForTab(const QString &tabName);

    // The quote's specification summary (QTE:Spec) made from a SpecTexts record: one line
    // "Section: text" per non-empty section in order, the Private section left out (it is not
    // shown to clients), lines separated by "\n", cut to `maxLength` characters.
    static QString summary(const Record &specText, int maxLength = 4000);
};

} // namespace bizlib
