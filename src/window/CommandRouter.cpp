#include "CommandRouter.h"

#include <QMetaObject>
#include <QObject>
#include <QVector>

namespace
{
const QVector<CommandRouter::Route>& routes()
{
    static const QVector<CommandRouter::Route> table = {
        {QStringLiteral("mnewtable"), QStringLiteral("NewFolder"), {QStringLiteral("Table")}},
        {QStringLiteral("mnewfolder"), QStringLiteral("NewFolder"), {QStringLiteral("Folder")}},
        {QStringLiteral("mnewroot"), QStringLiteral("NewFolder"), {QStringLiteral("Root")}},
        {QStringLiteral("mcuttable"), QStringLiteral("CutTable"), {}},
        {QStringLiteral("mpastetable"), QStringLiteral("PasteTable"), {}},
        {QStringLiteral("mrename"), QStringLiteral("RenameFolder"), {}},
        {QStringLiteral("mcopytomytable"), QStringLiteral("CopyListItem"), {}},
        {QStringLiteral("mprintfields"), QStringLiteral("PrintFields"), {}},
        {QStringLiteral("mqpreview"), QStringLiteral("UpdatePreview"), {}},
        {QStringLiteral("mprintfieldsmytable"), QStringLiteral("PrintFieldsMyTable"), {}},
        {QStringLiteral("mprintpreview"), QStringLiteral("PrintPreview"), {}},
        {QStringLiteral("mcloseqpreview"), QStringLiteral("ClosePreview"), {}},
        {QStringLiteral("mimportmytable"), QStringLiteral("ImportMyTable"), {}},
        {QStringLiteral("mrows"), QStringLiteral("rows"), {}},
        {QStringLiteral("mcloserows"), QStringLiteral("CloseRows"), {}},
        {QStringLiteral("mmovedown"), QStringLiteral("MoveDown"), {}},
        {QStringLiteral("mmoveup"), QStringLiteral("MoveUp"), {}},
        {QStringLiteral("mremovefield"), QStringLiteral("RemoveField"), {}},
        {QStringLiteral("mremoveallfields"), QStringLiteral("RemoveAllFields"), {}},
        {QStringLiteral("mshowoption"), QStringLiteral("ShowOption"), {}},
        {QStringLiteral("mprintoptions"), QStringLiteral("PrintOptions"), {}},
        {QStringLiteral("mremoveoption"), QStringLiteral("RemoveOption"), {}},
        {QStringLiteral("mremovealloptions"), QStringLiteral("RemoveAllOptions"), {}},
    };
    return table;
}
} // namespace

const CommandRouter::Route* CommandRouter::routeFor(const QString& command)
{
    for (const Route& route : routes()) {
        if (route.command == command)
            return &route;
    }
    return nullptr;
}

bool CommandRouter::invoke(QObject* window, const QString& operation, const QStringList& arguments)
{
    if (!window)
        return false;
    const QByteArray name = operation.toLatin1();
    QStringList types;
    for (qsizetype i = 0; i < arguments.size(); ++i)
        types.append(QStringLiteral("QString"));
    const QByteArray signature = name + '(' + types.join(u',').toLatin1() + ')';
    if (window->metaObject()->indexOfMethod(signature.constData()) < 0)
        return false;
    switch (arguments.size()) {
    case 0:
        return QMetaObject::invokeMethod(window, name.constData(), Qt::DirectConnection);
    case 1:
        return QMetaObject::invokeMethod(window, name.constData(), Qt::DirectConnection,
                                         Q_ARG(QString, arguments.at(0)));
    case 2:
        return QMetaObject::invokeMethod(window, name.constData(), Qt::DirectConnection,
                                         Q_ARG(QString, arguments.at(0)),
                                         Q_ARG(QString, arguments.at(1)));
    default:
        return false;
    }
}
