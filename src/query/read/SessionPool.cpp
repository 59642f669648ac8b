#include "query/read/SessionPool.h"

#include "sap/RfcDestination.h"

#include <QThread>

#include <algorithm>

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
            BiText error;
            std::unique_ptr<RfcDestination> session = m_open(&error);
            if (!session) {
                m_refusal = {error.en.trimmed(), error.pt.trimmed()};
                break;
            }
            m_more.push_back(std::move(session));
        }
        if (!m_more.empty()) {
            std::vector<RfcDestination*> sessions{&m_own};
            for (const std::unique_ptr<RfcDestination>& session : m_more)
                sessions.push_back(session.get());
            for (RfcDestination* session : sessions) {
                m_threads.emplace_back(QThread::create([this, session] { serve(*session); }));
                m_threads.back()->start();
            }
        }
    }
    return static_cast<int>(m_more.size()) + 1;
}

bool SessionPool::serving() const
{
    std::lock_guard lock(m_lock);
    return !m_more.empty();
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

bool SessionPool::submit(Job job, bool urgent)
{
    if (available() < 2)
        return false;
    {
        std::lock_guard lock(m_lock);
        if (urgent)
            m_jobs.push_front(std::move(job));
        else
            m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    return true;
}

void SessionPool::runTogether(int count, const std::function<void(int, RfcDestination&)>& work)
{
    if (count <= 0)
        return;
    if (count == 1 || available() < 2) {
        for (int item = 0; item < count; ++item)
            work(item, m_own);
        return;
    }
    struct Shared {
        int done = 0;
        std::mutex lock;
        std::condition_variable finished;
    };
    const auto shared = std::make_shared<Shared>();
    for (int item = 0; item < count; ++item)
        submit(
            [shared, item, &work](RfcDestination& session) {
                work(item, session);
                std::lock_guard lock(shared->lock);
                ++shared->done;
                shared->finished.notify_all();
            },
            true);
    std::unique_lock lock(shared->lock);
    shared->finished.wait(lock, [&] { return shared->done == count; });
}

BiText SessionPool::note() const
{
    std::lock_guard lock(m_lock);
    const int open = static_cast<int>(m_more.size()) + 1;
    if (!m_opened || open >= m_wanted)
        return {};
    const auto why = [this](const QString& said) {
        return said.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(said);
    };
    return {QStringLiteral("the system allowed %1 of %2 sessions%3: the read went on with %1")
                .arg(open)
                .arg(m_wanted)
                .arg(why(m_refusal.en)),
            QStringLiteral("o sistema permitiu %1 de %2 sess\u00f5es%3: a leitura continuou com %1")
                .arg(open)
                .arg(m_wanted)
                .arg(why(m_refusal.pt))};
}
