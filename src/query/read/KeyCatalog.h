#pragma once

#include "query/read/KeyField.h"
#include "sap/ReadModule.h"
#include "shell/BiText.h"

#include <QHash>
#include <QMutex>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class RfcDestination;

// What reads learn of a system once and keep: the key fields of tables, read from the
// dictionary (DD03L) once per table, the pages a table could be read in, and the widest read
// module the system offers, and the tables' row counts. A connection's reads share one catalog,
// from any thread.
class KeyCatalog
{
public:
    struct Keys {
        bool known = false;           // false: the dictionary could not be read
        std::vector<KeyField> fields; // in key order; empty: the table has no key
        BiText problem;               // why they are not known
    };

    Keys keysOf(RfcDestination& destination, const QString& table,
                const std::atomic<bool>* cancel = nullptr);

    // The widest module of ReadModule::wider() that reads a row of T000, else RFC_READ_TABLE;
    // asked once.
    ReadModule widestModule(RfcDestination& destination, const std::atomic<bool>* cancel = nullptr);
    // What a read of the table learned of the rows a call may return (zeros: nothing), so that
    // later reads of the session start there instead of failing their way down again.
    struct PageLimits {
        qint64 page = 0;        // the page it read in last
        qint64 mostPassed = 0;  // the most rows a call returned
        qint64 leastFailed = 0; // the fewest rows asked for by a call too large for the system
    };
    PageLimits pageLimits(const QString& table);
    void learnPageLimits(const QString& table, const PageLimits& limits);
    // How many rows the table holds, once a count or a read of every row told (-1: not known).
    qint64 knownRowCount(const QString& table);
    void learnRowCount(const QString& table, qint64 rows);

    // The widest module once it was asked for; nothing before.
    std::optional<ReadModule> knownWidestModule();
    // Whether the system offers the module: it reads a row of T000 through it.
    static bool offers(RfcDestination& destination, const ReadModule& module,
                       const std::atomic<bool>* cancel = nullptr);

    // What it keeps belongs to one system: a catalog used with another destination starts empty.
    void bind(const std::shared_ptr<RfcDestination>& destination);

    // Reads them without keeping them.
    static Keys read(RfcDestination& destination, const QString& table,
                     const std::atomic<bool>* cancel = nullptr);

private:
    QMutex m_lock;
    QHash<QString, Keys> m_keys;
    std::optional<ReadModule> m_widest;
    QHash<QString, PageLimits> m_pages;
    QHash<QString, qint64> m_rowCounts;
    std::weak_ptr<RfcDestination> m_destination;
};
