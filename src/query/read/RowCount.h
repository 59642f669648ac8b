#pragma once

#include <QString>

#include <atomic>
#include <optional>

class RfcDestination;

// How many rows a table holds in the logon client, asked of EM_GET_NUMBER_OF_ENTRIES before a
// read of every row, so that progress can say how far it is. Nothing when the system cannot
// tell: a count is a help, never a condition of the read.
class RowCount
{
public:
    static std::optional<qint64> of(RfcDestination& destination, const QString& table,
                                    const std::atomic<bool>* cancel = nullptr);
};
