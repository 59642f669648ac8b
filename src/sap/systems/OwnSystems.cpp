#include "sap/systems/OwnSystems.h"

#include "shell/BoundedFile.h"

#include <QDir>
#include <QSettings>

QString OwnSystems::pathIn(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("systems.ini"));
}

QVector<KnownSystem> OwnSystems::read(const QString& path)
{
    QVector<KnownSystem> systems;
    // Zorv writes this file small; anything else in its place is not read.
    if (!BoundedFile::fits(path, BoundedFile::kLargestStateFile))
        return systems;
    QSettings file(path, QSettings::IniFormat);
    const int count = file.beginReadArray(QStringLiteral("systems"));
    for (int index = 0; index < count; ++index) {
        file.setArrayIndex(index);
        KnownSystem system;
        system.name = file.value(QStringLiteral("name")).toString().trimmed();
        system.url = file.value(QStringLiteral("url")).toString().trimmed();
        system.systemId = file.value(QStringLiteral("sysid")).toString().trimmed();
        for (const NativeServer::Field& key : kNativeServerFields)
            system.server.*(key.member) =
                file.value(QString::fromLatin1(key.name)).toString().trimmed();
        system.origin = QStringLiteral("Zorv");
        if (!system.name.isEmpty())
            systems.append(system);
    }
    file.endArray();
    return systems;
}

bool OwnSystems::write(const QString& path, const QVector<KnownSystem>& systems)
{
    QSettings file(path, QSettings::IniFormat);
    file.remove(QStringLiteral("systems"));
    file.beginWriteArray(QStringLiteral("systems"), int(systems.size()));
    for (int index = 0; index < systems.size(); ++index) {
        const KnownSystem& system = systems.at(index);
        file.setArrayIndex(index);
        file.setValue(QStringLiteral("name"), system.name);
        if (!system.url.isEmpty())
            file.setValue(QStringLiteral("url"), system.url);
        for (const NativeServer::Field& key : kNativeServerFields) {
            const QString& value = system.server.*(key.member);
            if (!value.isEmpty())
                file.setValue(QString::fromLatin1(key.name), value);
        }
    }
    file.endArray();
    file.sync();
    return file.status() == QSettings::NoError;
}

std::optional<KnownSystem> OwnSystems::find(const QVector<KnownSystem>& systems,
                                            const QString& name)
{
    for (const KnownSystem& system : systems) {
        if (system.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return system;
    }
    return std::nullopt;
}
