#include "quotes/WebSpecSections.h"

#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/quote/SpecSections.h"

namespace quotes {

namespace {

bizlib::Status readAll(bizlib::Table &table, const QString &key, const QVariantList &range, QList<bizlib::Record> *rows)
{
    bizlib::TableCursor cursor(table, key);
    cursor.setRange(range);
    bizlib::Record row;
    bizlib::Status st;
    while ((st = cursor.next(row)))
        rows->append(row);
    return st.isNotFound() ? bizlib::Status::ok() : st;
}

} // namespace

WebSpecSections::WebSpecSections(bizlib::Database &db)
    : m_db(db)
{ }

bizlib::Status WebSpecSections::fill(const ConversionOwner &owner, const bizlib::Record &request, bool *hadTabTexts)
{
    bizlib::Table specs(m_db, QStringLiteral("SpecTexts"));
    bizlib::Record spec = specs.newRecord();
    bizlib::Status st = specs.fetch(owner.ownerKey(), { owner.id }, spec);
    if (st.isError())
        return st;
    const bool existing = st.isOk();
    if (existing) {
        for (const QString &section : bizlib::SpecSections::names())
            spec.setText(section, QString());
    }

    bizlib::Table texts(m_db, QStringLiteral("TabTexts"));
    QList<bizlib::Record> &tabTexts = m_requestTabTexts;
    tabTexts.clear();
    m_readFor = -1;
    st = readAll(texts, owner.webTabKey(), { owner.requestId }, &tabTexts);
    if (!st)
        return st;
    m_readFor = owner.requestId;
    // The tabs are a short reference list: read once, not once per text.
    bizlib::Table tabs(m_db, QStringLiteral("Tabs"));
    QList<bizlib::Record> allTabs;
    if (!tabTexts.isEmpty() && !(st = readAll(tabs, QStringLiteral("TABIDKEY"), {}, &allTabs)))
        return st;
    QHash<qint32, bizlib::Record> tabById;
    for (const bizlib::Record &tab : std::as_const(allTabs))
        tabById.insert(tab.toLong("TabID"), tab);
    for (const bizlib::Record &text : std::as_const(tabTexts)) {
        const bizlib::Record tab = tabById.value(text.toLong("TabID"));
        if (!tab.isValid() || tab.toLong("SpecSection") != 1)
            continue;
        const QString section = bizlib::SpecSections::sectionForTab(tab.text("Name"));
        if (!section.isEmpty())
            spec.setText(section, text.text("Text").left(kSectionLength));
    }
    *hadTabTexts = !tabTexts.isEmpty();
    if (!*hadTabTexts) {
        for (const QString &section : bizlib::SpecSections::names()) {
            const QString own = request.text(QStringLiteral("Spec") + section);
            if (!own.isEmpty())
                spec.setText(section, own.left(kSectionLength));
        }
    }

    if (existing)
        return specs.update(spec);
    bizlib::Record numbered;
    st = specs.prime(numbered);
    if (!st)
        return st;
    spec.setLong("SpecTextID", numbered.toLong("SpecTextID"));
    spec.setLong(owner.ownerField(), owner.id);
    st = specs.insert(spec);
    if (!st)
        specs.release(spec);
    return st;
}

bizlib::Status WebSpecSections::copyTabTexts(const ConversionOwner &owner)
{
    bizlib::Table texts(m_db, QStringLiteral("TabTexts"));
    const bizlib::TableDef &def = texts.def();
    bizlib::Status st = m_db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                                      .arg(def.sqlTable(), def.sqlColumn(def.fieldIndex(owner.ownerField()))),
        { owner.id });
    if (!st)
        return st;
    QList<bizlib::Record> requestTexts = m_requestTabTexts;
    if (m_readFor != owner.requestId && !(st = readAll(texts, owner.webTabKey(), { owner.requestId }, &requestTexts)))
        return st;
    for (const bizlib::Record &text : std::as_const(requestTexts)) {
        if (text.text("Text").isEmpty())
            continue;
        bizlib::Record copy;
        st = texts.prime(copy);
        if (!st)
            return st;
        const qint32 id = copy.toLong("TabTextID");
        copy = text;
        copy.setLong("TabTextID", id);
        copy.setLong(owner.ownerField(), owner.id);
        copy.setLong(owner.webTabField(), 0);
        // A tab text that cannot be stored is skipped; inside the conversion's transaction only
        // its own insert is undone, and the rest goes on.
        bizlib::Savepoint skippable(m_db);
        if (!skippable.status())
            return skippable.status();
        if (texts.insert(copy)) {
            if (!(st = skippable.release()))
                return st;
            continue;
        }
        if (!(st = skippable.rollback()))
            return st;
        texts.release(copy);
    }
    return bizlib::Status::ok();
}

} // namespace quotes
