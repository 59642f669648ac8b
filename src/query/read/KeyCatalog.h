#pragma once

#include "query/read/KeyField.h"

#include <QHash>
#include <QMutex>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class RfcDestination;

// The key fields of tables, read from the dictionary (DD03L) once per table and kept: a
// connection's reads share one catalog, from any thread.
class KeyCatalog
{
public:
    struct Keys {
        bool known = false;           // false: the dictionary could not be read
        std::vector<KeyField> fields; // in key order; empty: the table has no key
        QString problem;              // why they are not known
    };

    Keys keysOf(RfcDestination& destination, const QString& table,
                const std::atomic<bool>* cancel = nullptr);

    // Keys belong to one system: a catalog used with another destination starts empty.
    void bind(const std::shared_ptr<RfcDestination>& destination);

    // Reads them without keeping them.
    static Keys read(RfcDestination& destination, const QString& table,
                     const std::atomic<bool>* cancel = nullptr);

private:
    QMutex m_lock;
    QHash<QString, Keys> m_keys;
    std::weak_ptr<RfcDestination> m_destination;
};
