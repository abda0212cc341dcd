#include "console/RefreshWorker.h"

#include "bizlib/Database.h"

namespace console {

RefreshWorker::RefreshWorker(bizlib::Database *reads, QObject *parent)
    : QObject(parent)
    , m_reads(reads)
    , m_context(new QObject)
{
    m_thread.setObjectName(QStringLiteral("monitor reads"));
    // The thread's connections close on the thread before wait() returns, not in its thread-local
    // storage afterwards, when the program may already be taking down what closing them needs.
    connect(
        &m_thread, &QThread::finished, m_context, [] { bizlib::Database::releaseThisThread(); }, Qt::DirectConnection);
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

RefreshWorker::~RefreshWorker()
{
    if (m_busy && m_reads) {
        if (const Qt::HANDLE id = m_threadId.load())
            m_reads->giveUpThread(id);
    }
    m_thread.quit();
    m_thread.wait();
    delete m_context;
}

bool RefreshWorker::start(std::function<void()> read, std::function<void()> done)
{
    if (m_busy)
        return false;
    m_busy = true;
    QMetaObject::invokeMethod(
        m_context,
        [this, read = std::move(read), done = std::move(done)]() mutable {
            m_threadId = QThread::currentThreadId();
            read();
            // Posted to this object: a second half still pending when it is destroyed is dropped.
            QMetaObject::invokeMethod(
                this,
                [this, done = std::move(done)] {
                    done();
                    m_busy = false;
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return true;
}

} // namespace console
