#include "notes/PhraseDrop.h"

#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using notes::PhraseDrop;
using testsupport::ScriptedPrompter;

namespace {

enum { Overwrite = 1, Append = 2, Cancel = 3 };

TEST(PhraseDrop, anEmptyOrBlankFieldTakesThePhraseWithoutAsking)
{
    ScriptedPrompter prompter;
    EXPECT_EQ(PhraseDrop::apply(QString(), QStringLiteral("Artwork approved."), prompter),
        QStringLiteral("Artwork approved."));
    EXPECT_EQ(PhraseDrop::apply(QStringLiteral("   "), QStringLiteral("Artwork approved."), prompter),
        QStringLiteral("Artwork approved."));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_TRUE(prompter.beeps().isEmpty());
}

TEST(PhraseDrop, aFieldWithTextAsksOverwriteAppendOrCancel)
{
    ScriptedPrompter prompter;
    prompter.answer(Overwrite);
    EXPECT_EQ(PhraseDrop::apply(QStringLiteral("Old reason"), QStringLiteral("New phrase   "), prompter),
        QStringLiteral("New phrase"));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text,
        QStringLiteral("There is already text in this field, press Overwrite to erase the existing text,  "
                       "Append to add on the end, or Cancel to abandon, "));
    EXPECT_EQ(prompter.shown().first().caption, QStringLiteral("Warning"));
    EXPECT_EQ(prompter.shown().first().buttons, QStringLiteral("&Overwrite|&Append|&Cancel"));
    EXPECT_EQ(prompter.beeps().size(), 1);

    prompter.answer(Append);
    EXPECT_EQ(PhraseDrop::apply(QStringLiteral("Old reason   "), QStringLiteral("new phrase"), prompter),
        QStringLiteral("Old reason, new phrase"));

    prompter.answer(Cancel);
    EXPECT_FALSE(PhraseDrop::apply(QStringLiteral("Old reason"), QStringLiteral("new phrase"), prompter));
}

TEST(PhraseDrop, theResultIsCutToWhatTheFieldHolds)
{
    ScriptedPrompter prompter;
    prompter.answer(Append);
    EXPECT_EQ(PhraseDrop::apply(QStringLiteral("abcdef"), QStringLiteral("ghijkl"), prompter, 10),
        QStringLiteral("abcdef, gh"));
}

} // namespace
