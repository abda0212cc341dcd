#include "bizlib/spell/SpellCheck.h"

#include "bizlib/spell/SpellChecker.h"
#include "bizlib/spell/SpellPrompter.h"
#include "bizlib/spell/WordScanner.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace bizlib::spell;

namespace {

std::string str(const QString &s)
{
    return s.toStdString();
}

// Answers each question from a script (the last answer repeats) and records the questions.
class ScriptedSpellPrompter : public SpellPrompter
{
public:
    QList<Answer> answers;
    QList<Query> asked;

    Answer ask(const Query &q) override
    {
        asked << q;
        if (answers.isEmpty())
            return { Action::Ignore, {} };
        return answers.size() == 1 ? answers.first() : answers.takeFirst();
    }
    // Words asked about, in order.
    QStringList words() const
    {
        QStringList out;
        for (const Query &q : asked)
            out << q.word;
        return out;
    }
};

// A prompter that takes the first suggestion for every word.
class FirstSuggestionPrompter : public ScriptedSpellPrompter
{
public:
    Answer ask(const Query &q) override
    {
        asked << q;
        return { Action::Replace, q.suggestions.value(0, q.word) };
    }
};

QStringList scanned(const QString &text)
{
    QStringList out;
    for (const WordScanner::Word &w : WordScanner::words(text))
        out << text.mid(w.start, w.length);
    return out;
}

class SpellCheckWithDictionary : public testing::Test
{
protected:
    void SetUp() override
    {
        const bizlib::Status st = m_checker.open();
        ASSERT_TRUE(st.isOk()) << str(st.message());
    }
    SpellChecker m_checker;
};

} // namespace

TEST(SpellWordScanner, findsWordsAndSkipsNumbersAddressesAndLinks)
{
    EXPECT_EQ(scanned(QStringLiteral("Hello, world! It's O'Neill's well-known \"quote\".")),
        (QStringList { QStringLiteral("Hello"), QStringLiteral("world"), QStringLiteral("It's"),
            QStringLiteral("O'Neill's"), QStringLiteral("well"), QStringLiteral("known"), QStringLiteral("quote") }));
    EXPECT_EQ(scanned(QStringLiteral("Call 0800 123456 for the 3rd A4 proof, 12.50 each")),
        (QStringList { QStringLiteral("Call"), QStringLiteral("for"), QStringLiteral("the"), QStringLiteral("proof"),
            QStringLiteral("each") }));
    EXPECT_EQ(scanned(QStringLiteral("Mail jo.bloggs@exmple.cmo or see (www.exmple.cmo), https://x.cmo/a?b=c "
                                     "exmple.cmo/prices mailto:jo@x.cmo now")),
        (QStringList { QStringLiteral("Mail"), QStringLiteral("or"), QStringLiteral("see"), QStringLiteral("now") }));
    EXPECT_TRUE(scanned(QStringLiteral("  \r\n '' -- ... ")).isEmpty());
    const QString accented = QStringLiteral("café naïve");
    const QList<WordScanner::Word> words = WordScanner::words(accented);
    ASSERT_EQ(words.size(), 2);
    EXPECT_EQ(words[1], (WordScanner::Word { 5, 5 }));
}

TEST_F(SpellCheckWithDictionary, knowsWordsAndSuggestsForMisspeltOnes)
{
    EXPECT_TRUE(m_checker.isCorrect(QStringLiteral("receive")));
    EXPECT_TRUE(m_checker.isCorrect(QStringLiteral("don't")));
    EXPECT_TRUE(m_checker.isCorrect(QStringLiteral("don\u2019t")));
    EXPECT_FALSE(m_checker.isCorrect(QStringLiteral("recieve")));
    const QStringList s = m_checker.suggestions(QStringLiteral("recieve"));
    ASSERT_FALSE(s.isEmpty());
    EXPECT_EQ(str(s.first()), "receive");
    EXPECT_TRUE(m_checker.suggestions(QStringLiteral("Recieve")).contains(QStringLiteral("Receive")));

    EXPECT_FALSE(m_checker.isCorrect(QStringLiteral("Brevixo")));
    m_checker.addWord(QStringLiteral("Brevixo"));
    EXPECT_TRUE(m_checker.isCorrect(QStringLiteral("Brevixo")));
}

TEST_F(SpellCheckWithDictionary, walkReplacesMisspeltWordsThroughThePrompter)
{
    FirstSuggestionPrompter prompter;
    const QString text = QStringLiteral("We will recieve teh artwork for job 1234 from jo@exmple.cmo tomorow.");
    const SpellCheck::Result r = SpellCheck(m_checker).run(text, prompter);
    EXPECT_TRUE(r.status.isOk());
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(str(r.text), "We will receive the artwork for job 1234 from jo@exmple.cmo tomorrow.");
    EXPECT_EQ(prompter.words(),
        (QStringList { QStringLiteral("recieve"), QStringLiteral("teh"), QStringLiteral("tomorow") }));
    EXPECT_EQ(r.misspelt, 3);
    EXPECT_EQ(r.replaced, 3);
    // Each question shows the text as corrected so far, with the word's place in it.
    const SpellPrompter::Query &third = prompter.asked[2];
    EXPECT_EQ(str(third.text.mid(third.position, third.word.size())), "tomorow");
    EXPECT_TRUE(third.text.startsWith(QLatin1String("We will receive the artwork")));
}

TEST_F(SpellCheckWithDictionary, ignoreAllReplaceAllAndTypedWords)
{
    ScriptedSpellPrompter prompter;
    prompter.answers
        = { { SpellPrompter::Action::IgnoreAll, {} }, { SpellPrompter::Action::ReplaceAll, QStringLiteral("the") },
              { SpellPrompter::Action::Replace, QStringLiteral("Brevixo Print") } };
    const SpellCheck::Result r
        = SpellCheck(m_checker).run(QStringLiteral("Xyzzq teh cat, Xyzzq teh dog, Brevixoo."), prompter);
    EXPECT_EQ(str(r.text), "Xyzzq the cat, Xyzzq the dog, Brevixo Print.");
    EXPECT_EQ(
        prompter.words(), (QStringList { QStringLiteral("Xyzzq"), QStringLiteral("teh"), QStringLiteral("Brevixoo") }));
    EXPECT_EQ(r.replaced, 3);
}

TEST_F(SpellCheckWithDictionary, cancelStopsAndKeepsEarlierCorrections)
{
    ScriptedSpellPrompter prompter;
    prompter.answers
        = { { SpellPrompter::Action::Replace, QStringLiteral("receive") }, { SpellPrompter::Action::Cancel, {} } };
    const SpellCheck::Result r = SpellCheck(m_checker).run(QStringLiteral("recieve teh tomorow"), prompter);
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.status.isOk());
    EXPECT_EQ(str(r.text), "receive teh tomorow");
    EXPECT_EQ(prompter.asked.size(), 2);
}

TEST_F(SpellCheckWithDictionary, correctTextAsksNothing)
{
    ScriptedSpellPrompter prompter;
    const QString text = QStringLiteral("The proofs for order 5521 are ready; see https://example.com/p/5521.");
    const SpellCheck::Result r = SpellCheck(m_checker).run(text, prompter);
    EXPECT_EQ(r.text, text);
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST(SpellCheckDictionary, missingDictionaryIsAClearErrorAndTheTextComesBackUnchanged)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("xx_XX"));
    ScriptedSpellPrompter prompter;
    const QString text = QStringLiteral("recieve teh parcel");
    const SpellCheck::Result r = SpellCheck::check(text, prompter, base);
    EXPECT_TRUE(r.status.isError());
    EXPECT_TRUE(r.status.message().contains(base + QStringLiteral(".aff"))) << str(r.status.message());
    EXPECT_EQ(r.text, text);
    EXPECT_TRUE(prompter.asked.isEmpty());

    SpellChecker checker;
    EXPECT_TRUE(checker.open(QString()).isError());
    EXPECT_FALSE(checker.isOpen());
    EXPECT_TRUE(SpellCheck(checker).run(text, prompter).status.isError());

    // Through the whole operation with the installed dictionary, given as its .dic file.
    FirstSuggestionPrompter first;
    const SpellCheck::Result ok
        = SpellCheck::check(text, first, SpellChecker::defaultDictionary() + QStringLiteral(".dic"));
    EXPECT_TRUE(ok.status.isOk()) << str(ok.status.message());
    EXPECT_EQ(str(ok.text), "receive the parcel");
}
