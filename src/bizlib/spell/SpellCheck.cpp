#include "bizlib/spell/SpellCheck.h"

#include "bizlib/spell/SpellChecker.h"
#include "bizlib/spell/SpellPrompter.h"
#include "bizlib/spell/WordScanner.h"

#include <QHash>
#include <QSet>

namespace bizlib::spell {

SpellCheck::SpellCheck(SpellChecker &checker)
    : m_checker(checker)
{ }

SpellCheck::Result SpellCheck::check(const QString &text, SpellPrompter &prompter, const QString &dictionary)
{
    SpellChecker checker;
    const Status st = checker.open(dictionary);
    if (!st) {
        Result r;
        r.text = text;
        r.status = st;
        return r;
    }
    return SpellCheck(checker).run(text, prompter);
}

SpellCheck::Result SpellCheck::run(const QString &text, SpellPrompter &prompter)
{
    Result r;
    r.text = text;
    if (!m_checker.isOpen()) {
        r.status = Status::error(QStringLiteral("No spelling dictionary is loaded. The text was not checked."));
        return r;
    }
    QSet<QString> ignored;
    QHash<QString, QString> replaceAll;
    // Words are found in the original text; `shift` is how far the corrections made so far have
    // moved the rest of it.
    qsizetype shift = 0;
    for (const WordScanner::Word &w : WordScanner::words(text)) {
        const QString word = text.mid(w.start, w.length);
        const qsizetype at = w.start + shift;
        QString replacement;
        if (replaceAll.contains(word)) {
            replacement = replaceAll.value(word);
        } else {
            if (ignored.contains(word) || m_checker.isCorrect(word))
                continue;
            ++r.misspelt;
            const SpellPrompter::Answer a = prompter.ask({ word, m_checker.suggestions(word), r.text, at });
            switch (a.action) {
            case SpellPrompter::Action::Cancel:
                r.cancelled = true;
                return r;
            case SpellPrompter::Action::Ignore:
                continue;
            case SpellPrompter::Action::IgnoreAll:
                ignored.insert(word);
                continue;
            case SpellPrompter::Action::ReplaceAll:
                replaceAll.insert(word, a.replacement);
                break;
            case SpellPrompter::Action::Replace:
                break;
            }
            replacement = a.replacement;
        }
        if (replacement == word)
            continue;
        r.text.replace(at, w.length, replacement);
        shift += replacement.size() - w.length;
        ++r.replaced;
    }
    return r;
}

} // namespace bizlib::spell
