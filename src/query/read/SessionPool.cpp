#include "query/read/SessionPool.h"

#include "sap/RfcDestination.h"

#include <QThread>

#include <algorithm>
#include <atomic>

SessionPool::SessionPool(RfcDestination& own, int sessions, Opener open)
    : m_own(own), m_wanted(std::clamp(sessions, 1, kMostSessions)), m_open(std::move(open))
{
}

int SessionPool::fromSetting(const QString& text)
{
    bool ok = false;
    const int sessions = text.trimmed().toInt(&ok);
    return ok ? std::clamp(sessions, 1, kMostSessions) : kDefaultSessions;
}

SessionPool::~SessionPool()
{
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (const std::unique_ptr<QThread>& thread : m_threads)
        thread->wait();
    for (const std::unique_ptr<RfcDestination>& session : m_more)
        session->logoff();
}

int SessionPool::available()
{
    std::lock_guard lock(m_lock);
    if (!m_opened) {
        m_opened = true;
        while (m_open && static_cast<int>(m_more.size()) + 1 < m_wanted) {
            QString error;
            std::unique_ptr<RfcDestination> session = m_open(&error);
            if (!session) {
                m_refusal = error.trimmed();
                break;
            }
            RfcDestination& served = *session;
            m_more.push_back(std::move(session));
            m_threads.emplace_back(QThread::create([this, &served] { serve(served); }));
            m_threads.back()->start();
        }
    }
    return static_cast<int>(m_more.size()) + 1;
}

void SessionPool::serve(RfcDestination& session)
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_lock);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job(session);
    }
}

bool SessionPool::submit(Job job)
{
    if (available() < 2)
        return false;
    {
        std::lock_guard lock(m_lock);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    return true;
}

bool SessionPool::runOneHere()
{
    Job job;
    {
        std::lock_guard lock(m_lock);
        if (m_jobs.empty())
            return false;
        job = std::move(m_jobs.front());
        m_jobs.pop_front();
    }
    job(m_own);
    return true;
}

void SessionPool::runTogether(int count, const std::function<void(int, RfcDestination&)>& work)
{
    if (count <= 0)
        return;
    struct Shared {
        std::atomic<int> next{0};
        std::atomic<int> done{0};
        std::mutex lock;
        std::condition_variable finished;
    };
    const auto shared = std::make_shared<Shared>();
    const auto serveItems = [shared, count, &work](RfcDestination& session) {
        for (int item = shared->next++; item < count; item = shared->next++) {
            work(item, session);
            if (++shared->done == count) {
                std::lock_guard lock(shared->lock);
                shared->finished.notify_all();
            }
        }
    };
    // Helpers that find every item taken return at once; work is not touched after the last
    // item is done.
    const int helpers = count == 1 ? 0 : std::min(count, available()) - 1;
    for (int h = 0; h < helpers; ++h)
        submit(serveItems);
    serveItems(m_own);
    std::unique_lock lock(shared->lock);
    shared->finished.wait(lock, [&] { return shared->done.load() == count; });
}

QString SessionPool::note() const
{
    std::lock_guard lock(m_lock);
    const int open = static_cast<int>(m_more.size()) + 1;
    if (!m_opened || open >= m_wanted)
        return {};
    QString text = QStringLiteral("the system allowed %1 of %2 sessions").arg(open).arg(m_wanted);
    if (!m_refusal.isEmpty())
        text += QStringLiteral(" (%1)").arg(m_refusal);
    return text + QStringLiteral(": the read went on with %1").arg(open);
}
