#include "notes/FieldSpelling.h"

#include "bizlib/Prompter.h"
#include "bizlib/spell/SpellCheck.h"
#include "bizlib/spell/SpellChecker.h"

namespace notes {

QString FieldSpelling::check(const QString &text, bool run, bool report) const
{
    QString out = text;
    if (run && speller) {
        const bizlib::spell::SpellCheck::Result r = bizlib::spell::SpellCheck::check(
            text, *speller, dictionary.isEmpty() ? bizlib::spell::SpellChecker::defaultDictionary() : dictionary);
        if (!r.status && prompter)
            prompter->alert(r.status.message(), QStringLiteral("Spelling"), bizlib::Prompter::Icon::Hand);
        out = r.text;
    }
    if (report && prompter)
        prompter->message(QStringLiteral("The spelling check is complete."), QStringLiteral("Spelling"),
            bizlib::Prompter::Icon::Information);
    return out;
}

} // namespace notes
