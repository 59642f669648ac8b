#include "cli/SapCommandLine.h"

#include "sap/DestinationFactory.h"
#include "sap/LogonPrompt.h"
#include "sap/RfcConnection.h"
#include "sap/RfcDestination.h"
#include "sap/demo/DemoGenerator.h"
#include "sap/demo/DemoSystem.h"
#include "sap/systems/OwnSystems.h"
#include "sap/systems/SapLogonLandscape.h"
#include "shell/BoundedFile.h"
#include "shell/ProgramHome.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>

namespace
{
void print(std::FILE* stream, const QString& text)
{
    SapCommandLine::print(stream, text);
}

bool parse(QCommandLineParser& parser, const QStringList& args, std::FILE* err)
{
    if (!parser.parse(QStringList{QStringLiteral("zorv")} + args)) {
        print(err, parser.errorText() + u'\n');
        return false;
    }
    return true;
}

// The password never comes from the command line: a file, the environment, or the demo's own.
bool password(const QCommandLineParser& parser, QString* result, std::FILE* err)
{
    if (!parser.isSet(QStringLiteral("user"))) {
        *result = QString::fromLatin1(DemoSystem::kDefaultPassword);
        return true;
    }
    if (parser.isSet(QStringLiteral("password-file"))) {
        QByteArray bytes;
        QString problem;
        if (!BoundedFile::read(parser.value(QStringLiteral("password-file")),
                               BoundedFile::kLargestSecret, &bytes, &problem)) {
            print(err, QStringLiteral("Cannot read the password file: ") + problem + u'\n');
            return false;
        }
        *result = QString::fromUtf8(bytes).section(u'\n', 0, 0).remove(u'\r');
        return true;
    }
    *result = qEnvironmentVariable("ZORV_PASSWORD");
    return true;
}

// Answers the connection's one question with the command line's logon, and keeps the reason
// the system gave when the connection asks again after a failure.
class CommandLinePrompt : public LogonPrompt
{
public:
    explicit CommandLinePrompt(LogonData data) : m_data(std::move(data)) {}

    std::optional<LogonData> ask(const LogonData&, const BiText& error) override
    {
        if (m_asked) {
            m_error = error.en;
            return std::nullopt;
        }
        m_asked = true;
        return m_data;
    }
    const QString& error() const { return m_error; }

private:
    LogonData m_data;
    bool m_asked = false;
    QString m_error;
};

// The reason of a failure on one line, whatever the system put in it.
QString oneLine(const QString& text)
{
    return text.simplified();
}
} // namespace

int SapCommandLine::demoDb(const QStringList& args, std::FILE* out, std::FILE* err)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("scale"), QStringLiteral("Multiplies the large tables."),
                      QStringLiteral("N"), QStringLiteral("1")});
    if (!parse(parser, args, err))
        return 2;
    bool ok = false;
    const int scale = parser.value(QStringLiteral("scale")).toInt(&ok);
    if (!ok || scale < 1) {
        print(err, QStringLiteral("--scale takes a whole number of 1 or more\n"));
        return 2;
    }
    const QString path = DemoSystem::databasePath();
    QString error;
    const bool built = DemoSystem::rebuildDatabase(scale, &error, [err](const QString& step) {
        print(err, QStringLiteral("building ") + step + u'\n');
    });
    if (!built) {
        print(err, QStringLiteral("The demo database could not be built: ") + error + u'\n');
        return 1;
    }
    print(out, path + u'\n');
    return delivered(out, err) ? 0 : 1;
}

bool SapCommandLine::delivered(std::FILE* out, std::FILE* err)
{
    // Buffered output fails only when flushed: a full disk or a closed pipe shows here.
    if (std::fflush(out) == 0 && !std::ferror(out))
        return true;
    print(err, QStringLiteral("Standard output could not take what was written: %1\n")
                   .arg(QString::fromLocal8Bit(std::strerror(errno))));
    return false;
}

std::optional<KnownSystem> SapCommandLine::knownSystem(const QString& name,
                                                       const QString& landscape, std::FILE* err)
{
    if (const auto own =
            OwnSystems::find(OwnSystems::read(OwnSystems::pathIn(ProgramHome::folder())), name))
        return own;
    const QString path = landscape.isEmpty() ? SapLogonLandscape::usualPath() : landscape;
    if (path.isEmpty())
        return std::nullopt;
    const SapLogonLandscape::Result read = SapLogonLandscape::read(path);
    if (!read.error.en.isEmpty() && !landscape.isEmpty()) {
        print(err, read.error.en + u'\n');
        return std::nullopt;
    }
    if (const auto found = OwnSystems::find(read.systems, name))
        return found;
    if (!landscape.isEmpty())
        print(err, QStringLiteral("%1 names no system called %2\n")
                       .arg(QDir::toNativeSeparators(path), name));
    return std::nullopt;
}

NativeServer SapCommandLine::nativeServer(const QCommandLineParser& parser, QString* problem)
{
    NativeServer server;
    const auto value = [&parser](const char* name) {
        return parser.value(QString::fromLatin1(name)).trimmed();
    };
    server.applicationServer = value("ashost");
    server.instanceNumber = value("sysnr");
    server.messageServer = value("mshost");
    server.systemId = value("sysid");
    server.messageServerPort = value("msserv");
    server.logonGroup = value("group");
    server.router = value("saprouter");
    server.sncPartner = value("snc-partner");
    server.sncLibrary = value("snc-library");
    server.library = value("rfc-library");
    static const QRegularExpression kInstance(QStringLiteral("^[0-9]{2}$"));
    if (!server.applicationServer.isEmpty() && !server.messageServer.isEmpty())
        *problem = QStringLiteral("Give --ashost or --mshost, not both");
    else if (!server.applicationServer.isEmpty() &&
             !kInstance.match(server.instanceNumber).hasMatch())
        *problem = QStringLiteral("--ashost needs --sysnr, the instance number of two digits");
    else if (!server.messageServer.isEmpty() && server.systemId.isEmpty() &&
             server.messageServerPort.isEmpty())
        *problem = QStringLiteral("--mshost needs --sysid or --msserv");
    else if (!server.isSet() &&
             !(server.instanceNumber.isEmpty() && server.systemId.isEmpty() &&
               server.messageServerPort.isEmpty() && server.logonGroup.isEmpty() &&
               server.router.isEmpty() && server.sncPartner.isEmpty()))
        *problem = QStringLiteral("The native RFC options need --ashost or --mshost");
    return server;
}

void SapCommandLine::print(std::FILE* stream, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stream);
}

void SapCommandLine::addLogonOptions(QCommandLineParser& parser)
{
    const auto valued = [&](const char* name, const char* about, const char* value) {
        parser.addOption(
            {QString::fromLatin1(name), QString::fromLatin1(about), QString::fromLatin1(value)});
    };
    valued("system",
           "demo, the system's URL (RFC over SOAP), or its name in SAP Logon or in Zorv's own "
           "systems.",
           "SYSTEM");
    valued("landscape", "SAP Logon's landscape file (SAPUILandscape.xml or saplogon.ini).", "FILE");
    valued("ashost", "Native RFC: the application server.", "HOST");
    valued("sysnr", "Native RFC: the instance number of the application server.", "NN");
    valued("mshost", "Native RFC: the message server, for load balancing.", "HOST");
    valued("sysid", "Native RFC: the system ID, with --mshost.", "SID");
    valued("msserv", "Native RFC: the message server's port, with --mshost.", "PORT");
    valued("group", "Native RFC: the logon group, with --mshost (PUBLIC).", "GROUP");
    valued("saprouter", "Native RFC: the SAProuter string.", "/H/host/S/port/...");
    valued("snc-partner", "Native RFC: the system's SNC name, for SNC.", "NAME");
    valued("snc-library", "Native RFC: the SNC library's file.", "FILE");
    valued("rfc-library", "Native RFC: the file of SAP's NetWeaver RFC library.", "FILE");
    valued("client", "Logon client.", "C");
    valued("user", "Logon user.", "U");
    valued("password-file", "File holding the password.", "F");
    valued("language", "Logon language.", "EN|PT");
    valued("timeout", "Seconds a call to a system may go without progress (60).", "S");
}

std::unique_ptr<RfcConnection> SapCommandLine::logon(const QCommandLineParser& parser,
                                                     DestinationFactory& factory, std::FILE* err)
{
    LogonData data;
    QString problem;
    data.native = nativeServer(parser, &problem);
    if (!problem.isEmpty()) {
        print(err, problem + u'\n');
        return nullptr;
    }
    QString system = parser.value(QStringLiteral("system"));
    if (!data.native.isSet() && !system.isEmpty() && system != u"demo" &&
        !system.contains(QStringLiteral("://"))) {
        // A name of the user's own systems or of SAP Logon's; anything else is a SOAP address.
        if (const auto known =
                knownSystem(system, parser.value(QStringLiteral("landscape")), err)) {
            const QString library = data.native.library;
            data.native = known->server;
            data.native.library = library;
            if (!known->url.isEmpty())
                system = known->url;
        } else if (parser.isSet(QStringLiteral("landscape"))) {
            return nullptr;
        }
    }
    if (data.native.isSet() && (system.isEmpty() || system == u"demo"))
        system = data.native.describe();
    data.system = system.isEmpty() || system == u"demo" ? LogonData::demoSystemName() : system;
    // The demo's user, password and client are the demo's own: never sent anywhere else.
    if (!data.isDemo() && !parser.isSet(QStringLiteral("user"))) {
        print(err, QStringLiteral("%1 needs --user (and the password in --password-file or "
                                  "ZORV_PASSWORD); nothing was sent\n")
                       .arg(data.native.isSet() ? data.native.describe()
                                                : QStringLiteral("--system ") + system));
        return nullptr;
    }
    if (parser.isSet(QStringLiteral("client")))
        data.client = parser.value(QStringLiteral("client"));
    else if (data.isDemo())
        data.client = QString::fromLatin1(DemoSystem::kClient);
    data.user = parser.isSet(QStringLiteral("user"))
                    ? parser.value(QStringLiteral("user"))
                    : QString::fromLatin1(DemoSystem::kDefaultUser);
    data.language = parser.isSet(QStringLiteral("language"))
                        ? parser.value(QStringLiteral("language"))
                        : QStringLiteral("EN");
    if (parser.isSet(QStringLiteral("timeout"))) {
        bool ok = false;
        data.callTimeoutSeconds = parser.value(QStringLiteral("timeout")).toInt(&ok);
        if (!ok || data.callTimeoutSeconds < 1 || data.callTimeoutSeconds > kLongestTimeout) {
            print(err, QStringLiteral("--timeout takes a number of seconds from 1 to %1\n")
                           .arg(kLongestTimeout));
            return nullptr;
        }
    }
    if (!password(parser, &data.password, err))
        return nullptr;
    QString reason;
    if (!factory.available(&reason)) {
        print(err, reason + u'\n');
        return nullptr;
    }
    // The connection asks the prompt only while it has no destination: after this logon,
    // never again, so the prompt need not outlive this function.
    CommandLinePrompt prompt(data);
    auto connection = std::make_unique<RfcConnection>(factory, &prompt);
    static_cast<LogonData&>(*connection) = data;
    if (!connection->logOn(false)) {
        const QString why = oneLine(prompt.error());
        print(err, why.isEmpty() ? QStringLiteral("Logon failed\n")
                                 : QStringLiteral("Logon failed: ") + why + u'\n');
        return nullptr;
    }
    return connection;
}
