#include "bizlib/Database.h"
#include "support/TestDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace bizlib;

namespace {

bool answers(Database &db)
{
    QSqlQuery q;
    return db.exec(QStringLiteral("SELECT 1"), {}, &q).isOk() && q.next() && q.value(0).toInt() == 1;
}

// Holds a database in a thread-local object made before the thread first uses the database, so
// that it is destroyed after the database's own thread-local records (as a static object is
// destroyed after those of the main thread).
struct LateHolder
{
    std::unique_ptr<Database> db;
};
thread_local LateHolder t_late;

} // namespace

// A database goes at the end of every life its threads can give it: on a thread whose own records
// are already gone, on another thread while the thread that used it still runs, and after that
// thread ended. The connections of the threads close with them.
TEST(DatabaseThreads, destroyedOnAnyThreadAtAnyTime_closesEveryConnectionOnce)
{
    testsupport::TestDatabase t(testsupport::Engine::SQLite);
    ASSERT_TRUE(t.isAvailable());
    const qsizetype before = QSqlDatabase::connectionNames().size();

    bool lateAnswered = false;
    std::thread([&] {
        t_late.db = std::make_unique<Database>(t.config());
        lateAnswered = answers(*t_late.db);
    }).join();
    EXPECT_TRUE(lateAnswered);

    auto shared = std::make_unique<Database>(t.config());
    std::mutex m;
    std::condition_variable wake;
    int step = 0;
    bool answeredAfter = false;
    std::thread user([&] {
        answers(*shared);
        std::unique_lock lock(m);
        step = 1;
        wake.notify_all();
        wake.wait(lock, [&] { return step == 2; });
        // The database it used has gone meanwhile; another one works as usual.
        Database next(t.config());
        answeredAfter = answers(next);
    });
    {
        std::unique_lock lock(m);
        wake.wait(lock, [&] { return step == 1; });
    }
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before + 1);
    shared.reset();
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before);
    {
        const std::lock_guard lock(m);
        step = 2;
    }
    wake.notify_all();
    user.join();
    EXPECT_TRUE(answeredAfter);

    Database outlived(t.config());
    std::thread([&] { answers(outlived); }).join();
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before) << "a thread's connection outlived it";
    EXPECT_TRUE(answers(outlived));
    outlived.close();
    EXPECT_FALSE(outlived.isOpen());
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before);
}
