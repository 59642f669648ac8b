#pragma once

#include <QString>
#include <QStringList>

class QObject;

// Calls a query window's public operation by name, with text arguments. A missing window or
// operation does nothing: routed commands run with failures ignored.
class CommandRouter
{
public:
    struct Route {
        QString command;   // menu item
        QString operation; // the window's slot
        QStringList arguments;
    };

    static bool invoke(QObject* window, const QString& operation,
                       const QStringList& arguments = {});
    // The operation a menu item routes to, with its fixed arguments; nullptr when not routed.
    static const Route* routeFor(const QString& command);
};
