#include "bizlib/Dictionary.h"
#include "bizlib/TableListModel.h"
#include "bizlib/forms/FormLayout.h"
#include "notes/NoteTestSupport.h"
#include "notes/PhraseDragFormat.h"
#include "notes/PhraseToolbox.h"
#include "notes/ui/PhraseTextEdit.h"
#include "notes/ui/PhraseTools.h"
#include "support/ItemModelCheck.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QMimeData>
#include <QPointer>
#include <QTableView>

using notes::PhraseToolbox;
using notestest::insertRow;
using Tab = PhraseToolbox::Tab;

namespace {

// The note editor's field, with the drop entry points a drag reaches.
struct NoteField : notes::ui::PhraseTextEdit
{
    using PhraseTextEdit::PhraseTextEdit;
    using PhraseTextEdit::canInsertFromMimeData;
    using PhraseTextEdit::insertFromMimeData;
};

class Phrases : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped())
            return;
        ctx.db = &db();
    }

    qint32 phrase(const QString &title, const QString &field, const QStringList &flags, const QString &text = {})
    {
        return insertRow(db(), QStringLiteral("PHRASE"), [&](bizlib::Record &r) {
            r.setText("PhraseTitle", title);
            r.setText("PhraseText", text.isEmpty() ? title + QStringLiteral(" text") : text);
            r.setText("PhraseField", field);
            for (const QString &f : flags)
                r.setLong(f, 1);
        });
    }

    static QStringList titles(PhraseToolbox &box)
    {
        QStringList out;
        for (int row = 0; row < box.list().rowCount(); ++row)
            out << box.list().record(row).text("PhraseTitle");
        return out;
    }

    QStringList listed(const QString &group, const QString &field, Tab tab)
    {
        PhraseToolbox box(ctx);
        box.start(nullptr, group, field);
        const bizlib::Status st = box.reset(tab);
        EXPECT_TRUE(st.isOk()) << st.message().toStdString();
        return titles(box);
    }

    config::AppContext ctx;
};

TEST_P(Phrases, eachGroupListsThePhrasesWithItsFlag_sundryReadingOther)
{
    phrase(QStringLiteral("Artwork"), QStringLiteral("Notes"), { QStringLiteral("Estimating") });
    phrase(QStringLiteral("Delivery"), QStringLiteral("Delivery"), { QStringLiteral("Estimating") });
    phrase(QStringLiteral("Pack in 250s"), {}, { QStringLiteral("Production") });
    phrase(QStringLiteral("Call first"), {}, { QStringLiteral("Other") });
    phrase(QStringLiteral("Old sundry flag"), {}, { QStringLiteral("Sundry") });
    phrase(QString(), {}, { QStringLiteral("Estimating") }); // no title: never in "All"
    const QList<QPair<QString, QStringList>> cases {
        { QStringLiteral("Estimating"), { QString(), QStringLiteral("Artwork"), QStringLiteral("Delivery") } },
        { QStringLiteral("Production"), { QStringLiteral("Pack in 250s") } },
        { QStringLiteral("Sundry"), { QStringLiteral("Call first") } },
        { QStringLiteral("All"),
            { QStringLiteral("Artwork"), QStringLiteral("Call first"), QStringLiteral("Delivery"),
                QStringLiteral("Old sundry flag"), QStringLiteral("Pack in 250s") } },
        { QString(), // no group: "All"
            { QStringLiteral("Artwork"), QStringLiteral("Call first"), QStringLiteral("Delivery"),
                QStringLiteral("Old sundry flag"), QStringLiteral("Pack in 250s") } },
    };
    for (const auto &[group, expected] : cases)
        EXPECT_EQ(listed(group, {}, Tab::All), expected) << group.toStdString();

    // A group whose flag the phrase table lacks lists nothing and is no error.
    bizlib::TableDef without = bizlib::Dictionary::instance().require(QStringLiteral("PHRASE"));
    const int sop = without.fieldIndex(QStringLiteral("SOP"));
    without.fieldLookup.remove(QStringLiteral("sop"));
    without.describedNames.removeIf([sop](const auto &it) { return it.value() == sop; });
    EXPECT_EQ(PhraseToolbox::groupFilter(QStringLiteral("SOP"), without), QStringLiteral("0"));
}

TEST_P(Phrases, linkedTabListsThePhrasesOfTheFieldAndOfAnyField_allTabEveryFieldOfTheGroup)
{
    phrase(QStringLiteral("Artwork"), QStringLiteral("Notes"), { QStringLiteral("Estimating") });
    phrase(QStringLiteral("Any field"), {}, { QStringLiteral("Estimating") });
    phrase(QStringLiteral("Delivery"), QStringLiteral("Delivery"), { QStringLiteral("Estimating") });
    phrase(QStringLiteral("Quoted"), QStringLiteral("O'Brien's"), { QStringLiteral("Estimating") });
    EXPECT_EQ(listed(QStringLiteral("Estimating"), QStringLiteral("notes"), Tab::Linked),
        (QStringList { QStringLiteral("Any field"), QStringLiteral("Artwork") }));
    EXPECT_EQ(listed(QStringLiteral("Estimating"), QStringLiteral("notes"), Tab::All).size(), 4);
    // The field is a value, never part of the expression: a quote in it is just a character.
    EXPECT_EQ(listed(QStringLiteral("Estimating"), QStringLiteral("O'Brien's"), Tab::Linked),
        (QStringList { QStringLiteral("Any field"), QStringLiteral("Quoted") }));
    EXPECT_EQ(listed(QStringLiteral("Estimating"), {}, Tab::Linked).size(), 4);

    PhraseToolbox box(ctx);
    box.start(nullptr, {}, QStringLiteral("Notes  "));
    EXPECT_EQ(box.heading(), QStringLiteral("Phrases for: notes"));
    box.start(nullptr, {}, {});
    EXPECT_EQ(box.heading(), QStringLiteral("Phrases"));
}

TEST_P(Phrases, theNumberIsSetOnlyByTheRunningToolboxAndClearedOnlyWhileItNamesIt)
{
    QWidget firstWindow, secondWindow, thirdWindow; // closeRunning() closes a window
    PhraseToolbox first(ctx);
    ASSERT_TRUE(first.start(&firstWindow, QStringLiteral("Estimating"), {}));
    const qint32 number = ctx.glo.phraseToolboxThread;
    EXPECT_NE(number, 0);
    EXPECT_EQ(PhraseToolbox::running(ctx), &firstWindow);

    // A second start while one runs changes nothing; its end clears nothing.
    {
        PhraseToolbox second(ctx);
        EXPECT_FALSE(second.start(&secondWindow, QStringLiteral("Production"), {}));
    }
    EXPECT_EQ(ctx.glo.phraseToolboxThread, number);
    EXPECT_EQ(ctx.glo.phraseType, QStringLiteral("Estimating"));

    // A processing window closes it; a new one starts before the first has ended.
    PhraseToolbox::closeRunning(ctx);
    EXPECT_EQ(ctx.glo.phraseToolboxThread, 0);
    PhraseToolbox third(ctx);
    ASSERT_TRUE(third.start(&thirdWindow, QStringLiteral("Production"), {}));
    first.end();
    EXPECT_EQ(ctx.glo.phraseToolboxThread, third.number());
    EXPECT_NE(third.number(), number);
    third.end();
    EXPECT_EQ(ctx.glo.phraseToolboxThread, 0);
    EXPECT_EQ(PhraseToolbox::running(ctx), nullptr);
}

TEST_P(Phrases, aNewPhraseGetsTheFlagOfItsGroupAndIsSeenByOtherToolboxes)
{
    const QList<QPair<QString, QStringList>> cases {
        { QStringLiteral("Estimating"), { QStringLiteral("Estimating") } },
        { QStringLiteral("Sundry"), { QStringLiteral("Other") } },
        { QStringLiteral("All"),
            { QStringLiteral("Estimating"), QStringLiteral("Production"), QStringLiteral("Costing"),
                QStringLiteral("Accounts"), QStringLiteral("Stock"), QStringLiteral("CRM"), QStringLiteral("RDC"),
                QStringLiteral("Other") } },
    };
    const QStringList flags { QStringLiteral("Estimating"), QStringLiteral("Production"), QStringLiteral("Costing"),
        QStringLiteral("Accounts"), QStringLiteral("Stock"), QStringLiteral("CRM"), QStringLiteral("RDC"),
        QStringLiteral("Other"), QStringLiteral("Sundry"), QStringLiteral("Purchasing") };
    for (const auto &[group, set] : cases) {
        bizlib::Record r(bizlib::Dictionary::instance().require(QStringLiteral("PHRASE")));
        PhraseToolbox::primeGroupFlags(r, group);
        for (const QString &f : flags)
            EXPECT_EQ(r.toLong(f), set.contains(f) ? 1 : 0) << group.toStdString() << " " << f.toStdString();
        EXPECT_EQ(r.toLong("WebEnable"), 1);
    }

    PhraseToolbox elsewhere(ctx);
    elsewhere.reset(Tab::All);
    PhraseToolbox box(ctx);
    box.start(nullptr, QStringLiteral("Sundry"), {});
    testsupport::ScriptedForms forms;
    forms.answerForm({ { QStringLiteral("PhraseTitle"), QStringLiteral("Call before delivery") } });
    bizlib::Record stored;
    ASSERT_EQ(box.newPhrase(forms, &stored), bizlib::forms::Response::Completed);
    EXPECT_EQ(stored.toLong("Other"), 1);
    EXPECT_TRUE(elsewhere.phrasesChanged());
    ASSERT_TRUE(box.reset(Tab::Linked).isOk());
    EXPECT_EQ(titles(box), QStringList { QStringLiteral("Call before delivery") });
}

TEST_P(Phrases, theWindowRunsOnce_andADragCarriesThePhraseReadAfreshOrNothing)
{
    const qint32 id = phrase(QStringLiteral("Proof"), QStringLiteral("Notes"), { QStringLiteral("Estimating") });
    auto *tools = notes::ui::PhraseTools::start(ctx, QStringLiteral("Estimating"), QStringLiteral("Notes"));
    ASSERT_NE(tools, nullptr);
    testsupport::ItemModelCheck check(&tools->toolbox().list());
    EXPECT_EQ(notes::ui::PhraseTools::start(ctx, QStringLiteral("Production")), tools);
    int windows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        windows += qobject_cast<notes::ui::PhraseTools *>(w) != nullptr;
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(tools->typeBox()->currentText(), QStringLiteral("Estimating"));

    // The phrase changed after it was listed: the drag takes the stored text.
    bizlib::Table table(db(), QStringLiteral("PHRASE"));
    bizlib::Record r = notestest::readRow(db(), QStringLiteral("PHRASE"), QStringLiteral("PHRASEIDKEY"), id);
    r.setText("PhraseText", QStringLiteral("A PDF proof follows."));
    ASSERT_TRUE(table.update(r).isOk());
    ASSERT_EQ(tools->listView()->currentIndex().row(), 0);
    std::unique_ptr<QMimeData> drag = tools->dragData();
    ASSERT_TRUE(drag);
    for (const QString &identifier : notes::PhraseDragFormat::sourceIdentifiers())
        EXPECT_EQ(notes::PhraseDragFormat::phraseText(drag.get(), identifier), QStringLiteral("A PDF proof follows."));

    // A field that takes phrases takes the drag by its identifier "Phrase" (and only by it).
    testsupport::ScriptedPrompter prompter;
    NoteField field(&prompter);
    field.setPlainText(QStringLiteral("   "));
    QMimeData other;
    other.setData(notes::PhraseDragFormat::mimeType(QStringLiteral("Phrase01")), "not for this field");
    EXPECT_FALSE(field.canInsertFromMimeData(&other));
    ASSERT_TRUE(field.canInsertFromMimeData(drag.get()));
    field.insertFromMimeData(drag.get());
    EXPECT_EQ(field.toPlainText(), QStringLiteral("A PDF proof follows."));

    // No row selected: no drag, and an empty phrase changes no field.
    tools->listView()->setCurrentIndex({});
    EXPECT_FALSE(tools->dragData());
    EXPECT_FALSE(field.dropPhrase(QString()));
    EXPECT_EQ(field.toPlainText(), QStringLiteral("A PDF proof follows."));
    EXPECT_TRUE(prompter.shown().isEmpty());

    // REFRESHPHRASES reaches the running window; a processing window that ends closes it.
    notes::PhraseToolbox::refreshPhrases(ctx, QStringLiteral("Response"));
    QCoreApplication::processEvents();
    EXPECT_EQ(tools->toolbox().list().headerData(0, Qt::Horizontal).toString(), QStringLiteral("Phrases for: response"));
    QPointer<notes::ui::PhraseTools> alive(tools);
    PhraseToolbox::closeRunning(ctx);
    EXPECT_EQ(ctx.glo.phraseToolboxThread, 0);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(ctx.glo.phraseToolboxThread, 0);
    EXPECT_TRUE(check.problems().isEmpty()) << check.problems().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, Phrases, testsupport::allEngines(), testsupport::engineName);

} // namespace
