#pragma once

#include "BiText.h"
#include "ReadJob.h"

#include <QString>

struct AppState;

// What the window tells the user about a read of rows that did not go through: one message per
// read, in the chosen language, naming the table and the system's exception (kept as it is, for
// those who search for it) and saying what to do.
class ReadMessage
{
public:
    enum class Action { Preview, Export };

    ReadMessage(const AppState& state, Action action) : m_state(state), m_action(action) {}

    // The message box text: a sentence per failed table, then any other problem.
    QString failure(const ReadJob::Result& result) const;
    // The status line after a failed read.
    QString statusLine(const ReadJob::Result& result) const;
    QString cancelled(const QString& what) const;

    // One sentence about one table's failure.
    static BiText sentence(const ReadJob::Failure& failure);

private:
    QString pick(const BiText& text) const;

    const AppState& m_state;
    Action m_action;
};
