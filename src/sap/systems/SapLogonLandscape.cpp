#include "sap/systems/SapLogonLandscape.h"

#include "shell/Texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace
{
QString attribute(const QXmlStreamReader& xml, const char* name)
{
    return xml.attributes().value(QString::fromLatin1(name)).toString().trimmed();
}

// "host:3200" as host and port; a bare host has no port.
std::pair<QString, QString> hostAndPort(const QString& server)
{
    const qsizetype colon = server.lastIndexOf(u':');
    if (colon <= 0)
        return {server, {}};
    return {server.left(colon), server.mid(colon + 1)};
}

struct MessageServer {
    QString host;
    QString port;
};
// A sentence about the file, with what else it says (%2) where it says more.
BiText withFile(TextId id, const QString& path, const QString& more = {})
{
    const BiText text = Texts::get(id);
    const QString file = QDir::toNativeSeparators(path);
    if (more.isEmpty())
        return {text.en.arg(file), text.pt.arg(file)};
    return {text.en.arg(file, more), text.pt.arg(file, more)};
}
} // namespace

QString SapLogonLandscape::usualPath()
{
#if defined(Q_OS_WIN)
    const QString roaming = qEnvironmentVariable("APPDATA");
    return roaming.isEmpty()
               ? QString()
               : QDir(roaming).filePath(QStringLiteral("SAP/Common/SAPUILandscape.xml"));
#else
    return {};
#endif
}

QString SapLogonLandscape::instanceOfPort(const QString& port)
{
    static const QRegularExpression kPort(QStringLiteral("^32([0-9]{2})$"));
    const QRegularExpressionMatch match = kPort.match(port);
    return match.hasMatch() ? match.captured(1) : QString();
}

SapLogonLandscape::Result SapLogonLandscape::read(const QString& path)
{
    Result result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = withFile(TextId::LandscapeMissing, path);
        return result;
    }
    if (!info.isFile() || info.size() > kLargestFile) {
        result.error = withFile(TextId::LandscapeNotAFile, path,
                                QString::number(kLargestFile / (1024 * 1024)));
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = withFile(TextId::LandscapeUnreadable, path, file.errorString());
        return result;
    }
    const QByteArray text = file.read(kLargestFile + 1);
    if (text.size() > kLargestFile) {
        result.error = withFile(TextId::LandscapeTooLarge, path,
                                QString::number(kLargestFile / (1024 * 1024)));
        return result;
    }
    result =
        path.endsWith(QStringLiteral(".ini"), Qt::CaseInsensitive) ? fromIni(text) : fromXml(text);
    if (!result.error.en.isEmpty()) {
        const QString file = QDir::toNativeSeparators(path) + QStringLiteral(": ");
        result.error = {file + result.error.en, file + result.error.pt};
    }
    return result;
}

SapLogonLandscape::Result SapLogonLandscape::fromXml(const QByteArray& text)
{
    struct Entry {
        KnownSystem system;
        QString server;
        QString messageServerId;
        QString routerId;
    };
    QVector<Entry> entries;
    QHash<QString, MessageServer> messageServers;
    QHash<QString, QString> routers;
    Result result;
    QXmlStreamReader xml(text);
    bool landscape = false;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::DTD) {
            result.error = Texts::get(TextId::LandscapeDoctype);
            return result;
        }
        if (!xml.isStartElement())
            continue;
        const QStringView element = xml.name();
        if (element == u"Landscape") {
            landscape = true;
        } else if (element == u"Service" && attribute(xml, "type") == u"SAPGUI") {
            Entry entry;
            entry.system.name = attribute(xml, "name");
            entry.system.systemId = attribute(xml, "systemid");
            entry.system.server.sncPartner = attribute(xml, "sncname");
            entry.system.origin = QStringLiteral("SAP Logon");
            entry.server = attribute(xml, "server");
            entry.messageServerId = attribute(xml, "msid");
            entry.routerId = attribute(xml, "routerid");
            entries.append(entry);
        } else if (element == u"Messageserver") {
            messageServers.insert(attribute(xml, "uuid"),
                                  {attribute(xml, "host"), attribute(xml, "port")});
        } else if (element == u"Router") {
            routers.insert(attribute(xml, "uuid"), attribute(xml, "router"));
        }
    }
    if (xml.hasError() || !landscape) {
        const BiText notXml = Texts::get(TextId::LandscapeNotXml);
        const QString line = QString::number(xml.lineNumber());
        result.error = xml.hasError() ? BiText{notXml.en.arg(xml.errorString(), line),
                                               notXml.pt.arg(xml.errorString(), line)}
                                      : Texts::get(TextId::LandscapeNoLandscape);
        return result;
    }
    for (Entry& entry : entries) {
        NativeServer& server = entry.system.server;
        server.router = routers.value(entry.routerId);
        if (!entry.messageServerId.isEmpty()) {
            const MessageServer found = messageServers.value(entry.messageServerId);
            server.messageServer = found.host;
            server.messageServerPort = found.port;
            server.systemId = entry.system.systemId;
            server.logonGroup = entry.server;
        } else {
            const auto [host, port] = hostAndPort(entry.server);
            server.applicationServer = host;
            server.instanceNumber = instanceOfPort(port);
        }
        // An entry SAP Logon itself could not connect with is no system to offer.
        const bool usable =
            !entry.system.name.isEmpty() &&
            (server.messageServer.isEmpty()
                 ? !server.applicationServer.isEmpty() && !server.instanceNumber.isEmpty()
                 : !server.systemId.isEmpty() || !server.messageServerPort.isEmpty());
        if (!usable)
            continue;
        if (!server.messageServer.isEmpty())
            server.applicationServer.clear();
        result.systems.append(entry.system);
    }
    return result;
}

SapLogonLandscape::Result SapLogonLandscape::fromIni(const QByteArray& text)
{
    // [Section] then ItemN=value lines; the sections SAP Logon writes for each entry.
    QHash<QString, QHash<int, QString>> sections;
    QString section;
    static const QRegularExpression kItem(QStringLiteral("^Item([0-9]+)=(.*)$"));
    // SAP Logon writes this file in the Windows code page; newer tools write UTF-8.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8.decode(text);
    if (utf8.hasError())
        decoded = QString::fromLatin1(text);
    for (const QString& raw : decoded.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const QRegularExpressionMatch item = kItem.match(line);
        if (item.hasMatch())
            sections[section].insert(item.captured(1).toInt(), item.captured(2).trimmed());
    }
    Result result;
    if (!sections.contains(QStringLiteral("Server"))) {
        result.error = Texts::get(TextId::LandscapeNoServerSection);
        return result;
    }
    QList<int> items = sections.value(QStringLiteral("Server")).keys();
    std::sort(items.begin(), items.end());
    for (int item : items) {
        const auto value = [&sections, item](const char* name) {
            return sections.value(QString::fromLatin1(name)).value(item);
        };
        KnownSystem system;
        system.name = value("Description");
        system.systemId = value("MSSysName");
        system.origin = QStringLiteral("SAP Logon");
        system.server.applicationServer = value("Server");
        system.server.instanceNumber = value("Database");
        system.server.router = value("Router");
        system.server.sncPartner = value("SncName");
        static const QRegularExpression kInstance(QStringLiteral("^[0-9]{2}$"));
        if (system.name.isEmpty() || system.server.applicationServer.isEmpty() ||
            !kInstance.match(system.server.instanceNumber).hasMatch())
            continue;
        result.systems.append(system);
    }
    return result;
}
