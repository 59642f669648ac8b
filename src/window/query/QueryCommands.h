#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// The commands a query window carries out, found by the object names of the menu items that
// send them. Each part of the window adds the commands it owns.
class QueryCommands
{
public:
    using Run = std::function<void(const QStringList& arguments)>;

    void add(const QString& command, Run run) { m_runs.insert(command, std::move(run)); }
    void add(const QString& command, const std::function<void()>& run)
    {
        m_runs.insert(command, [run](const QStringList&) { run(); });
    }
    bool has(const QString& command) const { return m_runs.contains(command); }
    // False when the command is not one of the window's.
    bool run(const QString& command, const QStringList& arguments) const
    {
        const auto found = m_runs.constFind(command);
        if (found == m_runs.constEnd())
            return false;
        found.value()(arguments);
        return true;
    }

private:
    QHash<QString, Run> m_runs;
};
