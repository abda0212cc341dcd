#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "bizlib/forms/SelectLibrary.h"
#include "bizlib/forms/SelectionList.h"
#include "support/ItemModelCheck.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

using namespace bizlib;
using namespace bizlib::forms;
using testsupport::DataTest;
using testsupport::ItemModelCheck;
using testsupport::ScriptedForms;

namespace {

class SelectLists : public DataTest
{
protected:
    void add(const QString &table, const std::function<void(Record &)> &fill)
    {
        Table t(db(), table);
        Record r;
        ASSERT_TRUE(t.prime(r).isOk());
        fill(r);
        const Status st = t.insert(r);
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
    }

    void addUser(const QString &initials, const QString &name, int active = 1)
    {
        add(QStringLiteral("Users"), [&](Record &r) {
            r.setText("Initials", initials);
            r.setText("FullName", name);
            r.setLong("Active", active);
        });
    }

    void addQuote(const QString &title, int isTemplate, int number = 0)
    {
        add(QStringLiteral("Quotes"), [&](Record &r) {
            r.setText("Title", title);
            r.setLong("IsTemplate", isTemplate);
            r.setLong("Number", number);
        });
    }

    void addPhrase(const QString &title, const QString &field, const QString &group, const QString &category = {})
    {
        add(QStringLiteral("PHRASE"), [&](Record &r) {
            r.setText("PhraseTitle", title);
            r.setText("PhraseField", field);
            r.setText("Category", category);
            if (!group.isEmpty())
                r.setLong(group, 1);
        });
    }

    static QStringList column(SelectionList &list, const QString &field)
    {
        while (list.model().canFetchMore({}))
            list.model().fetchMore({});
        QStringList out;
        for (int row = 0; row < list.rowCount(); ++row)
            out << list.recordAt(row).text(field);
        return out;
    }
};

TEST_P(SelectLists, selectUser_listsActiveUsersLocatesAndReturnsTheChoice)
{
    addUser(QStringLiteral("TD"), QStringLiteral("Tom Dawson"));
    addUser(QStringLiteral("AB"), QStringLiteral("Andrew Barker"));
    addUser(QStringLiteral("MK"), QStringLiteral("Maya Kaur"));
    addUser(QStringLiteral("OLD"), QStringLiteral("Gone Away"), 0);

    SelectionList list(db(), SelectLibrary::userList());
    ASSERT_TRUE(list.open().isOk());
    EXPECT_EQ(column(list, QStringLiteral("Initials")),
        (QStringList { QStringLiteral("AB"), QStringLiteral("MK"), QStringLiteral("TD") }));

    ScriptedForms forms;
    SelectLibrary library(db(), forms);
    Record user;
    forms.locateAndSelect(QStringLiteral("m"));
    ASSERT_EQ(library.selectUser(&user), Response::Completed);
    EXPECT_EQ(user.text("FullName"), QStringLiteral("Maya Kaur"));
    EXPECT_EQ(forms.listsShown().at(0).caption, QStringLiteral("Select a user"));

    forms.cancelList();
    EXPECT_EQ(library.selectUser(&user), Response::Cancelled);
    EXPECT_EQ(user.text("Initials"), QStringLiteral("MK")); // left as it was
}

TEST_P(SelectLists, selectTemplate_offersTemplatesOnlyAndOpensOnTheHint)
{
    addQuote(QStringLiteral("Posters A2"), 1);
    addQuote(QStringLiteral("Business cards"), 1);
    addQuote(QStringLiteral("Leaflets A5"), 1);
    addQuote(QStringLiteral("Leaflets for Smith & Co"), 0, 1001);

    SelectionList list(db(), SelectLibrary::templateList(QStringLiteral("leaf")));
    ASSERT_TRUE(list.open().isOk());
    EXPECT_EQ(column(list, QStringLiteral("Title")),
        (QStringList {
            QStringLiteral("Business cards"), QStringLiteral("Leaflets A5"), QStringLiteral("Posters A2") }));
    EXPECT_EQ(list.currentRow(), 1);

    ScriptedForms forms;
    SelectLibrary library(db(), forms);
    forms.selectRow(-1); // the row the list opened on
    Record quote;
    ASSERT_EQ(library.selectTemplate(QStringLiteral("Leaf"), &quote), Response::Completed);
    EXPECT_EQ(quote.text("Title"), QStringLiteral("Leaflets A5"));
    EXPECT_EQ(quote.toLong("IsTemplate"), 1);
}

TEST_P(SelectLists, selectPhrase_filtersByFieldAndGroupOrCategory)
{
    addPhrase(QStringLiteral("Call back"), QStringLiteral("Subject"), QStringLiteral("Other"));
    addPhrase(QStringLiteral("Any field"), QString(), QStringLiteral("Other"));
    addPhrase(QStringLiteral("Wrong group"), QStringLiteral("Subject"), QStringLiteral("Production"));
    addPhrase(QStringLiteral("Wrong field"), QStringLiteral("Notes"), QStringLiteral("Other"));
    addPhrase(QStringLiteral("Duplicate request"), QStringLiteral("notes"), QString(), QStringLiteral("Rejection"));

    SelectionList subject(db(), SelectLibrary::phraseList(QStringLiteral("Subject"), QStringLiteral("Other")));
    ASSERT_TRUE(subject.open().isOk());
    EXPECT_EQ(column(subject, QStringLiteral("PhraseTitle")),
        (QStringList { QStringLiteral("Any field"), QStringLiteral("Call back") }));

    SelectionList rejection(db(), SelectLibrary::phraseList(QStringLiteral("Notes"), QStringLiteral("rejection")));
    ASSERT_TRUE(rejection.open().isOk());
    EXPECT_EQ(column(rejection, QStringLiteral("PhraseTitle")), (QStringList { QStringLiteral("Duplicate request") }));

    // A group text is never spliced into the expression unless it is a known group flag.
    SelectionList odd(db(), SelectLibrary::phraseList(QStringLiteral("Subject"), QStringLiteral("1 = 1 OR 1")));
    ASSERT_TRUE(odd.open().isOk());
    EXPECT_EQ(odd.rowCount(), 0);

    ScriptedForms forms;
    SelectLibrary library(db(), forms);
    forms.locateAndSelect(QStringLiteral("call"));
    Record chosen;
    ASSERT_EQ(library.selectPhrase(QStringLiteral("Subject"), QStringLiteral("Other"), &chosen), Response::Completed);
    EXPECT_EQ(chosen.text("PhraseTitle"), QStringLiteral("Call back"));
}

TEST_P(SelectLists, selectClientAlias_honoursTheCallersFilter)
{
    for (const auto &[name, web] :
        { std::pair { "NORTHGATE PRINT", 1 }, std::pair { "ACME WIDGETS", 0 }, std::pair { "BETA STUDIO", 1 } }) {
        add(QStringLiteral("Clients"), [&](Record &r) {
            r.setText("Name", QString::fromLatin1(name));
            r.setText("NameCaps", QString::fromLatin1(name));
            r.setText("Code", QString::fromLatin1(name).left(4));
            r.setLong("WebEnable", web);
        });
    }
    ScriptedForms forms;
    SelectLibrary library(db(), forms);
    forms.locateAndSelect(QStringLiteral("a"));
    Record client;
    ASSERT_EQ(library.selectClientAlias(&client, QStringLiteral("CLIA:WebEnable = 1")), Response::Completed);
    // "ACME" is not web-enabled: the locator lands on the first web-enabled name after "A".
    EXPECT_EQ(client.text("Name"), QStringLiteral("BETA STUDIO"));
}

TEST_P(SelectLists, resourceMarkupAndLayoutLists_listWhatTheSettingsChooseFrom)
{
    for (const auto &[code, category] : { std::pair { "VOUCH", "Sundry" }, std::pair { "COURIER", "Sundry" },
             std::pair { "LAMINATE", "Finishing" } }) {
        add(QStringLiteral("Outwork"), [&](Record &r) {
            r.setText("Code", QString::fromLatin1(code));
            r.setText("Category", QString::fromLatin1(category));
        });
    }
    add(QStringLiteral("Labour"), [](Record &r) { r.setText("Code", QStringLiteral("VAN")); });
    for (const auto &[profile, from] : { std::pair { "STD", 100 }, std::pair { "STD", 200 }, std::pair { "WEB", 50 } }) {
        add(QStringLiteral("Markups"), [&](Record &r) {
            r.setText("Markup", QString::fromLatin1(profile));
            r.setLong("ValidFrom", from);
        });
    }
    qint32 estimates = 0;
    add(QStringLiteral("ReportTypes"), [&](Record &r) {
        r.setText("Name", QStringLiteral("Estimates"));
        estimates = r.toLong("ReportTypeID");
    });
    add(QStringLiteral("ReportTypes"), [](Record &r) { r.setText("Name", QStringLiteral("Invoices")); });
    for (const auto &[type, description] : { std::pair { 0, "Quote letter" }, std::pair { 1, "Invoice" } }) {
        add(QStringLiteral("ReportLayouts"), [&, type = type, description = description](Record &r) {
            r.setLong("ReportTypeID", estimates + type);
            r.setText("Description", QString::fromLatin1(description));
        });
    }

    SelectionList sundry(db(), SelectLibrary::outworkList(QStringLiteral("Sundry")));
    ASSERT_TRUE(sundry.open().isOk());
    EXPECT_EQ(column(sundry, QStringLiteral("Code")), (QStringList { QStringLiteral("COURIER"), QStringLiteral("VOUCH") }));
    SelectionList markups(db(), SelectLibrary::markupList());
    ASSERT_TRUE(markups.open().isOk());
    EXPECT_EQ(column(markups, QStringLiteral("ValidFrom")),
        (QStringList { QStringLiteral("200"), QStringLiteral("100"), QStringLiteral("50") })); // newest period first

    ScriptedForms forms;
    testsupport::ScriptedPrompter prompter;
    SelectLibrary library(db(), forms, &prompter);
    Record chosen;
    forms.locateAndSelect(QStringLiteral("v"));
    ASSERT_EQ(library.selectOutwork(&chosen, QStringLiteral("Sundry")), Response::Completed);
    EXPECT_EQ(chosen.text("Code"), QStringLiteral("VOUCH"));
    forms.selectRow(0);
    ASSERT_EQ(library.selectLabour(&chosen), Response::Completed);
    EXPECT_EQ(chosen.text("Code"), QStringLiteral("VAN"));
    forms.locateAndSelect(QStringLiteral("web"));
    ASSERT_EQ(library.viewMarkups(&chosen), Response::Completed);
    EXPECT_EQ(chosen.text("Markup"), QStringLiteral("WEB"));
    forms.selectRow(0);
    ASSERT_EQ(library.selectDesign(QStringLiteral("Estimates"), &chosen), Response::Completed);
    EXPECT_EQ(chosen.text("Description"), QStringLiteral("Quote letter"));
    EXPECT_EQ(forms.listsShown().last().rowsLoaded, 1);
    EXPECT_EQ(library.selectDesign(QStringLiteral("Statements"), &chosen), Response::Cancelled);
    EXPECT_TRUE(library.lastStatus().isNotFound());
    EXPECT_EQ(prompter.shown().size(), 1);
}

TEST_P(SelectLists, locator_fetchesFurtherPagesAndComparesNumbersAsNumbers)
{
    for (int i = 0; i < 30; ++i)
        addUser(QStringLiteral("U%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("User %1").arg(i));
    SelectionList users(db(), SelectLibrary::userList());
    users.model().setPageSize(5);
    ASSERT_TRUE(users.open().isOk());
    EXPECT_EQ(users.rowCount(), 5);
    const int row = users.locate(QStringLiteral("u27"));
    EXPECT_EQ(row, 27);
    EXPECT_EQ(users.recordAt(row).text("Initials"), QStringLiteral("U27"));
    EXPECT_EQ(users.locate(QStringLiteral("ZZ")), users.rowCount() - 1); // after the last: the last row
    EXPECT_EQ(users.rowCount(), 30);
    EXPECT_EQ(users.locate(QString()), 0);
    EXPECT_FALSE(users.choose(30));
    EXPECT_FALSE(users.hasChoice());

    for (int n : { 20, 1000, 100 })
        addQuote(QStringLiteral("Quote %1").arg(n), 0, n);
    SelectionList::Definition byNumber;
    byNumber.table = QStringLiteral("Quotes");
    byNumber.key = QStringLiteral("NUMBERKEY");
    byNumber.columns = { { QStringLiteral("Number"), QStringLiteral("Number"), {}, false } };
    SelectionList quotes(db(), byNumber);
    ASSERT_TRUE(quotes.open().isOk());
    // The tester joins after the first page is read: the list model fetches pages without guarding
    // against the tester's own re-entrant fetchMore() calls.
    ItemModelCheck check(&quotes.model());
    EXPECT_EQ(quotes.recordAt(quotes.locate(QStringLiteral("100"))).toLong("Number"), 100);
    EXPECT_EQ(quotes.recordAt(quotes.locate(QStringLiteral("21"))).toLong("Number"), 100);
    EXPECT_TRUE(quotes.choose(2));
    EXPECT_EQ(quotes.chosen().toLong("Number"), 1000);
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

TEST_P(SelectLists, aListThatCannotBeReadIsReportedAndCancelled)
{
    ScriptedForms forms;
    testsupport::ScriptedPrompter prompter;
    SelectLibrary library(db(), forms, &prompter);
    Record user;
    forms.selectRow(0);
    EXPECT_EQ(library.selectUser(&user, QStringLiteral("USR:Active = = 1")), Response::Cancelled);
    EXPECT_TRUE(library.lastStatus().isError());
    EXPECT_TRUE(forms.listsShown().isEmpty());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Hand);
    EXPECT_FALSE(user.isValid());
}

TEST_P(SelectLists, selectDate_opensOnTheDayOrTodayAndReturnsTheDayChosen)
{
    ScriptedForms forms;
    SelectLibrary library(db(), forms);
    qint32 day = 0;
    forms.answerDate(QDate(2026, 3, 14));
    ASSERT_EQ(library.selectDate(&day), Response::Completed);
    EXPECT_EQ(day, DateTime::fromDate(QDate(2026, 3, 14)));
    EXPECT_EQ(forms.datesShown().at(0).second, QDate::currentDate());

    forms.cancelDate();
    EXPECT_EQ(library.selectDate(&day), Response::Cancelled);
    EXPECT_EQ(day, DateTime::fromDate(QDate(2026, 3, 14)));
    EXPECT_EQ(forms.datesShown().at(1).second, QDate(2026, 3, 14));
}

INSTANTIATE_TEST_SUITE_P(Engines, SelectLists, testsupport::allEngines(), testsupport::engineName);

} // namespace
