#pragma once

#include <QHash>
#include <QMutex>
#include <QString>

#include <chrono>

// Slows down the guessing of passwords: after a failed logon of a user from an address, that
// pair's attempts are taken one at a time, each after a wait that doubles with every failure
// up to a ceiling; a success forgets the failures. Other users and other addresses never wait.
// Safe to use from several connections' threads at once.
class LogonThrottle
{
public:
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::milliseconds;

    static constexpr Duration kFirstDelay{250};
    static constexpr Duration kLongestDelay{8000};
    // Pairs remembered at most; beyond, the oldest are forgotten first.
    static constexpr qsizetype kMaxPairs = 4096;

    // How long this attempt must wait before its password is checked; it takes its turn now.
    Duration admit(const QString& user, const QString& address, Clock::time_point now);
    void failed(const QString& user, const QString& address, Clock::time_point now);
    void succeeded(const QString& user, const QString& address);
    // Pairs remembered now.
    qsizetype size() const;
    // The wait after a number of failures in a row.
    static Duration delayAfter(int failures);

private:
    struct Pair {
        int failures = 0;
        Clock::time_point next; // no attempt of the pair is checked before this
    };
    static QString key(const QString& user, const QString& address);
    void makeRoom(Clock::time_point now);

    mutable QMutex m_lock;
    QHash<QString, Pair> m_pairs;
};
