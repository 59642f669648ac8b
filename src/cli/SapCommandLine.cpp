#include "cli/SapCommandLine.h"

#include "sap/DestinationFactory.h"
#include "sap/LogonPrompt.h"
#include "sap/RfcConnection.h"
#include "sap/RfcDestination.h"
#include "sap/demo/DemoGenerator.h"
#include "sap/demo/DemoSystem.h"

#include <QCommandLineParser>
#include <QFile>

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
        QFile file(parser.value(QStringLiteral("password-file")));
        if (!file.open(QIODevice::ReadOnly)) {
            print(err,
                  QStringLiteral("Cannot read the password file: ") + file.errorString() + u'\n');
            return false;
        }
        *result = QString::fromUtf8(file.readAll()).section(u'\n', 0, 0).remove(u'\r');
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

    std::optional<LogonData> ask(const LogonData&, const QString& error) override
    {
        if (m_asked) {
            m_error = error;
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
    const bool built = DemoGenerator::build(path, scale, &error, [err](const QString& step) {
        print(err, QStringLiteral("building ") + step + u'\n');
    });
    if (!built) {
        print(err, QStringLiteral("The demo database could not be built: ") + error + u'\n');
        return 1;
    }
    print(out, path + u'\n');
    return 0;
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
    valued("system", "demo, or the system's URL.", "SYSTEM");
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
    const QString system = parser.value(QStringLiteral("system"));
    data.system = system.isEmpty() || system == u"demo" ? LogonData::demoSystemName() : system;
    // The demo's user, password and client are the demo's own: never sent anywhere else.
    if (!data.isDemo() && !parser.isSet(QStringLiteral("user"))) {
        print(err, QStringLiteral("--system %1 needs --user (and the password in --password-file "
                                  "or ZORV_PASSWORD); nothing was sent\n")
                       .arg(system));
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
