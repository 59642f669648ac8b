#pragma once

#include <QString>
#include <QStringList>

class QObject;

// Sends a menu command to a query window, which carries it out when it is one of its own. The
// window layer knows query windows only as widgets: the command goes by name, through the
// window's invokable perform(command, arguments).
class CommandRouter
{
public:
    // False without a window, or when the window does not carry out that command.
    static bool send(QObject* window, const QString& command, const QStringList& arguments = {});
};
