#pragma once

#include "sap/systems/KnownSystem.h"

#include <QString>
#include <QVector>

#include <optional>

// The systems the user keeps in Zorv itself (systems.ini in the program's folder): each by its
// name, as an application server, a message server and group, or a SOAP URL. Never a password.
class OwnSystems
{
public:
    static QString pathIn(const QString& programFolder);
    static QVector<KnownSystem> read(const QString& path);
    static bool write(const QString& path, const QVector<KnownSystem>& systems);
    // The system of that name among these, in any letter case; nothing when there is none.
    static std::optional<KnownSystem> find(const QVector<KnownSystem>& systems,
                                           const QString& name);
};
