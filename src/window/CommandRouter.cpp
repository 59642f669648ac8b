#include "CommandRouter.h"

#include <QMetaObject>
#include <QObject>

bool CommandRouter::send(QObject* window, const QString& command, const QStringList& arguments)
{
    if (!window || window->metaObject()->indexOfMethod("perform(QString,QStringList)") < 0)
        return false;
    bool done = false;
    QMetaObject::invokeMethod(window, "perform", Qt::DirectConnection, Q_RETURN_ARG(bool, done),
                              Q_ARG(QString, command), Q_ARG(QStringList, arguments));
    return done;
}
