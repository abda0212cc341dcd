#pragma once

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "bizlib/spell/SpellPrompter.h"
#include "notes/WebNoteEditor.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace notestest {

inline const QDateTime kNow(QDate(2026, 3, 14), QTime(10, 5, 30));

// Corrects every misspelt word to its first suggestion and records the words asked about.
class FirstSuggestion : public bizlib::spell::SpellPrompter
{
public:
    QStringList asked;
    Answer ask(const Query &query) override
    {
        asked << query.word;
        return { Action::Replace, query.suggestions.value(0, query.word) };
    }
};

inline qint32 insertRow(bizlib::Database &db, const QString &table, const std::function<void(bizlib::Record &)> &fill)
{
    bizlib::Table t(db, table);
    bizlib::Record r;
    EXPECT_TRUE(t.prime(r).isOk());
    fill(r);
    EXPECT_TRUE(t.insert(r).isOk());
    return r.toLong(t.def().autoNumberField);
}

inline bizlib::Record readRow(bizlib::Database &db, const QString &table, const QString &key, qint32 id)
{
    bizlib::Table t(db, table);
    bizlib::Record r = t.newRecord();
    EXPECT_TRUE(t.fetch(key, { id }, r).isOk());
    return r;
}

} // namespace notestest
