#pragma once

#include "query/read/ReadJob.h"
#include "shell/BiText.h"

#include <QString>

struct AppState;
class ReadPlan;

// What the window tells the user about a read that did not go through: one message per read,
// in the chosen language, naming the table and the system's exception (kept as it is, for
// those who search for it) and saying what to do, under a title naming the action.
class ReadMessage
{
public:
    enum class Action { Preview, Export, Catalogue };

    ReadMessage(const AppState& state, Action action) : m_state(state), m_action(action) {}

    // The message box text: a sentence per failed table, then any other problem. The plan,
    // when given, names the option line the system refused.
    QString failure(const ReadJob::Result& result, const ReadPlan* plan = nullptr) const;
    QString title() const;
    // The status line after a failed read.
    QString statusLine(const ReadJob::Result& result) const;
    QString cancelled(const QString& what) const;

    // One sentence about one table's failure; options: the lines sent with that table.
    static BiText sentence(const ReadJob::Failure& failure, const QStringList& options = {});
    // The line among these that a system would refuse first, by a look at its form: an odd
    // number of quotes, a literal run into the next word, a missing operator or value. With
    // one line only, that line; otherwise empty when none looks wrong.
    static QString offendingLine(const QStringList& lines);

private:
    QString pick(const BiText& text) const;

    const AppState& m_state;
    Action m_action;
};
