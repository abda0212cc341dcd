#include "bizlib/Clock.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/forms/FormModel.h"
#include "bizlib/forms/RecordForms.h"
#include "support/ItemModelCheck.h"
#include "support/ScriptedForms.h"
#include "support/TestDatabase.h"

using namespace bizlib;
using namespace bizlib::forms;
using testsupport::DataTest;
using testsupport::ItemModelCheck;
using testsupport::ScriptedForms;

namespace {

Record phrase()
{
    Record r(Dictionary::instance().require(QStringLiteral("PHRASE")));
    r.setLong("PhraseID", 7);
    r.setText("PhraseTitle", QStringLiteral("Proof - PDF"));
    return r;
}

FormLayout phraseLayout()
{
    return FormLayout(QStringLiteral("Phrase"))
        .add(QStringLiteral("PhraseID"))
        .add(QStringLiteral("PhraseTitle"))
        .add(QStringLiteral("PhraseText"))
        .add(QStringLiteral("Other"));
}

TEST(FormLayout, labelsFieldsFromTheirNamesAndLeavesCredentialsOff)
{
    EXPECT_EQ(FormLayout::labelFor(QStringLiteral("PhraseTitle")), QStringLiteral("Phrase title"));
    EXPECT_EQ(FormLayout::labelFor(QStringLiteral("QTE:Quantity1")), QStringLiteral("Quantity 1"));
    EXPECT_EQ(FormLayout::labelFor(QStringLiteral("RFQ")), QStringLiteral("RFQ"));
    EXPECT_EQ(FormLayout::labelFor(QStringLiteral("UserID")), QStringLiteral("User ID"));

    const FormLayout users = FormLayout::forTable(Dictionary::instance().require(QStringLiteral("Users")));
    QStringList names;
    for (const FormLayout::Field &f : users.fields())
        names << f.name;
    EXPECT_TRUE(names.contains(QStringLiteral("Initials")));
    EXPECT_FALSE(names.contains(QStringLiteral("PasswordHash")));
    EXPECT_FALSE(names.contains(QStringLiteral("PasswordSalt")));
    EXPECT_TRUE(users.fields().first().readOnly); // UserID: the auto number
}

TEST(FormModel, cutsTextsToTheFieldWidthAndRefusesValuesOutsideTheType)
{
    Record quote(Dictionary::instance().require(QStringLiteral("Quotes")));
    FormLayout layout;
    layout.add(QStringLiteral("Revision"))
        .add(QStringLiteral("RFQ"), {}, FormLayout::Editor::Line)
        .add(QStringLiteral("Pages"))
        .add(QStringLiteral("TaxRate"))
        .add(QStringLiteral("CreatedOn"))
        .add(QStringLiteral("CreatedAt"))
        .add(QStringLiteral("Title"));
    FormModel form(Request::Change, { quote }, layout);

    EXPECT_EQ(form.maxLength(form.rowOf(QStringLiteral("Revision"))), 1);
    EXPECT_TRUE(form.setFieldText(QStringLiteral("Revision"), QStringLiteral("ABC")));
    EXPECT_EQ(form.record().text("Revision"), QStringLiteral("A"));
    EXPECT_TRUE(form.setFieldText(QStringLiteral("Title"), QString(600, u'x')));
    EXPECT_EQ(form.record().text("Title").size(), 500);

    EXPECT_TRUE(form.setFieldText(QStringLiteral("RFQ"), QStringLiteral("255")));
    EXPECT_FALSE(form.setFieldText(QStringLiteral("RFQ"), QStringLiteral("256"))); // a BYTE would wrap to 0
    EXPECT_FALSE(form.setFieldText(QStringLiteral("Pages"), QStringLiteral("-1")));
    EXPECT_FALSE(form.setFieldText(QStringLiteral("Pages"), QStringLiteral("12a")));
    EXPECT_EQ(form.record().toLong("RFQ"), 255);

    // DECIMAL(9,4): rounded to four places; six whole digits do not fit.
    EXPECT_TRUE(form.setFieldText(QStringLiteral("TaxRate"), QStringLiteral("17.55555")));
    EXPECT_EQ(form.fieldText(QStringLiteral("TaxRate")), QStringLiteral("17.5556"));
    EXPECT_FALSE(form.setFieldText(QStringLiteral("TaxRate"), QStringLiteral("123456.1")));
    EXPECT_FALSE(form.setFieldText(QStringLiteral("TaxRate"), QStringLiteral("1e3")));
    EXPECT_EQ(form.fieldText(QStringLiteral("TaxRate")), QStringLiteral("17.5556"));

    EXPECT_TRUE(form.setFieldText(QStringLiteral("CreatedOn"), QStringLiteral("2026-02-28")));
    EXPECT_EQ(form.record().toLong("CreatedOn"), DateTime::fromDate(QDate(2026, 2, 28)));
    EXPECT_FALSE(form.setFieldText(QStringLiteral("CreatedOn"), QStringLiteral("2026-02-30")));
    EXPECT_TRUE(form.setFieldText(QStringLiteral("CreatedAt"), QStringLiteral("09:30")));
    EXPECT_EQ(form.fieldText(QStringLiteral("CreatedAt")), QStringLiteral("09:30"));
    EXPECT_FALSE(form.setFieldText(QStringLiteral("CreatedAt"), QStringLiteral("25:00")));
    EXPECT_TRUE(form.setFieldText(QStringLiteral("CreatedOn"), QString()));
    EXPECT_EQ(form.record().toLong("CreatedOn"), 0);
    EXPECT_TRUE(form.isModified());
}

TEST(FormModel, viewAndTheAutoNumberAreReadOnly)
{
    FormModel view(Request::View, { phrase() }, phraseLayout());
    bool handlerRan = false;
    view.setAcceptHandler([&](FormModel &) {
        handlerRan = true;
        return Status::ok();
    });
    for (int row = 0; row < view.fieldCount(); ++row) {
        EXPECT_FALSE(view.isEditable(row));
        EXPECT_FALSE(view.flags(view.index(row, FormModel::ValueColumn)) & Qt::ItemIsEditable);
    }
    EXPECT_FALSE(view.setFieldText(QStringLiteral("PhraseTitle"), QStringLiteral("changed")));
    EXPECT_FALSE(view.setData(view.index(1, FormModel::ValueColumn), QStringLiteral("changed")));
    EXPECT_EQ(view.record().text("PhraseTitle"), QStringLiteral("Proof - PDF"));
    EXPECT_TRUE(view.accept());
    EXPECT_FALSE(handlerRan);

    FormModel change(Request::Change, { phrase() }, phraseLayout());
    EXPECT_FALSE(change.isEditable(change.rowOf(QStringLiteral("PHR:PhraseID"))));
    EXPECT_FALSE(change.setFieldText(QStringLiteral("PhraseID"), QStringLiteral("8")));
    EXPECT_TRUE(change.setFieldText(QStringLiteral("PHR:PhraseTitle"), QStringLiteral("Proof - paper")));
}

TEST(FormModel, aFailedSaveKeepsTheFormOpenWithTheEdits)
{
    FormModel form(Request::Change, { phrase() }, phraseLayout());
    int calls = 0;
    form.setAcceptHandler([&](FormModel &f) {
        ++calls;
        return f.record().text("PhraseText").isEmpty() ? Status::error(QStringLiteral("The phrase needs a text."))
                                                       : Status::ok();
    });
    ASSERT_TRUE(form.setFieldText(QStringLiteral("PhraseTitle"), QStringLiteral("Edited")));
    EXPECT_FALSE(form.accept());
    EXPECT_FALSE(form.isAccepted());
    EXPECT_EQ(form.lastError(), QStringLiteral("The phrase needs a text."));
    EXPECT_EQ(form.record().text("PhraseTitle"), QStringLiteral("Edited"));
    ASSERT_TRUE(form.setFieldText(QStringLiteral("PhraseText"), QStringLiteral("Some text")));
    EXPECT_TRUE(form.accept());
    EXPECT_TRUE(form.lastError().isEmpty());
    EXPECT_EQ(calls, 2);
}

TEST(FormModel, passesTheItemModelTesterWhileEdited)
{
    FormModel form(Request::Change, { phrase() }, phraseLayout());
    ItemModelCheck check(&form);
    const int flag = form.rowOf(QStringLiteral("Other"));
    EXPECT_EQ(form.editor(flag), FormLayout::Editor::Check);
    EXPECT_TRUE(form.setData(form.index(flag, FormModel::ValueColumn), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(form.record().toLong("Other"), 1);
    EXPECT_TRUE(form.setData(form.index(1, FormModel::ValueColumn), QStringLiteral("New title")));
    EXPECT_EQ(form.data(form.index(1, FormModel::LabelColumn)).toString(), QStringLiteral("Phrase title"));
    EXPECT_EQ(form.data(form.index(1, FormModel::ValueColumn), FormModel::MaxLengthRole).toInt(), 80);
    form.setRecord(0, phrase());
    EXPECT_EQ(form.fieldText(1), QStringLiteral("Proof - PDF"));
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

TEST(RecordForms, editRecordHandsBackEditsOnlyWhenCompleted)
{
    ScriptedForms forms;
    Record r = phrase();

    forms.answerForm({ { QStringLiteral("PhraseTitle"), QStringLiteral("Typed but cancelled") } }, false);
    EXPECT_EQ(forms.editRecord(Request::Change, r, phraseLayout()), Response::Cancelled);
    EXPECT_EQ(r.text("PhraseTitle"), QStringLiteral("Proof - PDF"));

    forms.answerForm({ { QStringLiteral("PhraseTitle"), QString(100, u'y') } });
    EXPECT_EQ(forms.editRecord(Request::Change, r, phraseLayout()), Response::Completed);
    EXPECT_EQ(r.text("PhraseTitle"), QString(80, u'y'));

    forms.answerForm({ { QStringLiteral("PhraseTitle"), QStringLiteral("Not allowed") } });
    EXPECT_EQ(forms.editRecord(Request::View, r, phraseLayout()), Response::Completed);
    EXPECT_EQ(r.text("PhraseTitle"), QString(80, u'y'));
    ASSERT_EQ(forms.formsShown().size(), 3);
    EXPECT_TRUE(forms.formsShown().at(2).readOnly);
    EXPECT_EQ(forms.formsShown().at(2).refused, QStringList { QStringLiteral("PhraseTitle") });
    EXPECT_EQ(forms.formsShown().at(2).caption, QStringLiteral("Phrase - View record"));
}

class RecordUpdate : public DataTest
{
};

TEST_P(RecordUpdate, insertShowsAPrimedNumberAndGivesItBackWhenCancelled)
{
    Table phrases(db(), QStringLiteral("PHRASE"));
    const FormLayout layout = FormLayout::forTable(phrases.def(), QStringLiteral("Phrase"));
    ScriptedForms forms;

    Record cancelled = phrases.newRecord();
    forms.cancelForm();
    EXPECT_EQ(forms.updateRecord(phrases, Request::Insert, cancelled, layout), Response::Cancelled);
    const QString shownNumber = forms.formsShown().at(0).values.value(QStringLiteral("PhraseID"));
    EXPECT_NE(shownNumber.toInt(), 0);
    EXPECT_EQ(cancelled.toLong("PhraseID"), 0);

    Record added = phrases.newRecord();
    forms.answerForm({ { QStringLiteral("PhraseTitle"), QStringLiteral("Hold for approval") },
        { QStringLiteral("PhraseID"), QStringLiteral("999") } });
    ASSERT_EQ(forms.updateRecord(phrases, Request::Insert, added, layout), Response::Completed);
    // The number given back is handed out again; the auto number cannot be typed over.
    EXPECT_EQ(added.toLong("PhraseID"), shownNumber.toInt());
    EXPECT_EQ(forms.formsShown().at(1).refused, QStringList { QStringLiteral("PhraseID") });

    Record stored = phrases.newRecord();
    ASSERT_TRUE(phrases.fetch(QStringLiteral("PHRASEIDKEY"), { added.toLong("PhraseID") }, stored).isOk());
    EXPECT_EQ(stored.text("PhraseTitle"), QStringLiteral("Hold for approval"));
}

TEST_P(RecordUpdate, changeWritesTheRowAndViewWritesNothing)
{
    Table phrases(db(), QStringLiteral("PHRASE"));
    Record r;
    ASSERT_TRUE(phrases.prime(r).isOk());
    r.setText("PhraseTitle", QStringLiteral("Original"));
    ASSERT_TRUE(phrases.insert(r).isOk());
    const FormLayout layout = FormLayout::forTable(phrases.def());
    ScriptedForms forms;

    forms.answerForm({ { QStringLiteral("PhraseTitle"), QStringLiteral("Viewed") } });
    EXPECT_EQ(forms.updateRecord(phrases, Request::View, r, layout), Response::Completed);
    forms.answerForm({ { QStringLiteral("PhraseTitle"), QStringLiteral("Changed") } });
    EXPECT_EQ(forms.updateRecord(phrases, Request::Change, r, layout), Response::Completed);

    Record stored = phrases.newRecord();
    ASSERT_TRUE(phrases.fetch(QStringLiteral("PHRASEIDKEY"), { r.toLong("PhraseID") }, stored).isOk());
    EXPECT_EQ(stored.text("PhraseTitle"), QStringLiteral("Changed"));
    qint64 count = 0;
    ASSERT_TRUE(phrases.count(&count).isOk());
    EXPECT_EQ(count, 1);
}

TEST_P(RecordUpdate, aRefusedInsertKeepsTheFormOpenAndStoresNothing)
{
    Table users(db(), QStringLiteral("Users"));
    Record first;
    ASSERT_TRUE(users.prime(first).isOk());
    first.setText("Initials", QStringLiteral("AB"));
    ASSERT_TRUE(users.insert(first).isOk());

    ScriptedForms forms;
    forms.answerForm({ { QStringLiteral("Initials"), QStringLiteral("AB") } });
    Record second = users.newRecord();
    EXPECT_EQ(
        forms.updateRecord(users, Request::Insert, second, FormLayout::forTable(users.def())), Response::Cancelled);
    ASSERT_EQ(forms.formsShown().size(), 1);
    EXPECT_FALSE(forms.formsShown().at(0).accepted);
    EXPECT_FALSE(forms.formsShown().at(0).error.isEmpty());
    qint64 count = 0;
    ASSERT_TRUE(users.count(&count).isOk());
    EXPECT_EQ(count, 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordUpdate, testsupport::allEngines(), testsupport::engineName);

} // namespace
