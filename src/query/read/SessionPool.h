#pragma once

#include "shell/BiText.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QThread;
class RfcDestination;

// The sessions (logons) of one system a read may use at once: the caller's own, and more opened
// when a read first has calls to make side by side. Once there are several, each is served by a
// thread of its own and every call goes through them, so that a session is never called from
// two threads at once. A system that refuses another logon leaves the read with the sessions
// it has, and a note says so. Sessions opened here log off with the pool.
class SessionPool
{
public:
    static constexpr int kMostSessions = 8;
    static constexpr int kDefaultSessions = 3;
    // A new logon of the same system, or nothing with the system's reason.
    using Opener = std::function<std::unique_ptr<RfcDestination>(BiText* error)>;
    using Job = std::function<void(RfcDestination& session)>;

    // sessions: how many may be used at once, the caller's own included (1..kMostSessions).
    SessionPool(RfcDestination& own, int sessions, Opener open);
    // Waits for the jobs given, then logs off the sessions it opened.
    ~SessionPool();
    SessionPool(const SessionPool&) = delete;
    SessionPool& operator=(const SessionPool&) = delete;

    // A setting's text as a number of sessions: kDefaultSessions when it is empty or no
    // number, else held to 1 … kMostSessions.
    static int fromSetting(const QString& text);

    int wanted() const { return m_wanted; }
    // How many sessions calls can go to now, opening more the first time; at least 1.
    int available();
    // Whether more sessions were opened: then every call goes through the pool.
    bool serving() const;
    // Gives a job to the next free session, before the others waiting when it is urgent (a
    // call the read waits for); false when there is only the caller's own session, which the
    // caller then calls itself.
    bool submit(Job job, bool urgent = false);
    // Runs work(0) … work(count - 1), each on one session, up to available() at once. Returns
    // when every item has run.
    void runTogether(int count, const std::function<void(int item, RfcDestination&)>& work);

    // What the user should know: a system that allowed fewer sessions than asked. Empty else.
    BiText note() const;

private:
    void serve(RfcDestination& session);

    RfcDestination& m_own;
    int m_wanted;
    Opener m_open;
    bool m_opened = false;
    std::vector<std::unique_ptr<RfcDestination>> m_more;
    std::vector<std::unique_ptr<QThread>> m_threads;
    BiText m_refusal;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
};
