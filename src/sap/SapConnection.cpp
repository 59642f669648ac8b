#include "sap/SapConnection.h"

#include "sap/DestinationFactory.h"
#include "sap/RfcDestination.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/Messenger.h"
#include "shell/StatusHost.h"
#include "shell/Texts.h"

namespace
{
const QString kCrLf = QStringLiteral("\r\n");

QString en(TextId id)
{
    return Texts::get(id).en;
}
} // namespace

SapConnection::SapConnection(StatusHost& host, DestinationFactory& factory, LogonPrompt& prompt)
    : m_host(host), m_factory(factory), m_prompt(prompt)
{
}

SapConnection::~SapConnection() = default;

bool& SapConnection::connected()
{
    return m_host.state().connected;
}

bool SapConnection::logOn()
{
    if (!ensureComponents())
        return false;
    connected() = false;
    if (!logOnUser() || !logOnFunctions())
        return false;
    const QString language = m_bapi->connection.language;
    if (language.isEmpty() || language.front() == u' ') {
        Desktop& desktop = m_host.services().desktop();
        desktop.message(en(TextId::EnterLanguage));
        logOff();
        m_host.connectToSystem();
        return connected();
    }
    showConnectedPanel();
    connected() = true;
    return true;
}

void SapConnection::showConnectedPanel()
{
    const RfcConnection& c = m_bapi->connection;
    const QString text = c.system + u' ' + c.client + u' ' + c.user + u' ';
    const QString tip = c.user + u' ' + c.system + u' ' + c.client + u' ' + c.language +
                        QStringLiteral(" SN") + c.systemNumber + u' ' + c.hostName;
    m_host.setConnectionPanel(StatusHost::ConnectionImage::Connected, text, tip);
}

bool SapConnection::ensureComponents()
{
    connected() = false;
    QString reason;
    const bool available = m_factory.available(&reason);
    const auto missing = [this](const char* className) {
        m_host.services().desktop().message(en(TextId::ComponentMissing) + u' ' +
                                            QString::fromLatin1(className) + kCrLf +
                                            en(TextId::SomeFilesMissing));
        adviseReinstall();
        return false;
    };
    if (!m_bapi) {
        if (!available)
            return missing(kBapiClass);
        m_bapi = std::make_unique<SapBapi>(m_factory, &m_prompt);
    }
    if (!m_functions) {
        if (!available)
            return missing(kFunctionsClass);
        m_functions = std::make_unique<SapFunctions>(m_factory);
    }
    connected() = true;
    return true;
}

bool SapConnection::logOnUser()
{
    RfcConnection& c = m_bapi->connection;
    if (!c.isConnected()) {
        if (!c.logOn(false)) {
            m_host.setStatusText(QString());
            m_host.setConnectionPanel(
                StatusHost::ConnectionImage::Disconnected, en(TextId::Disconnected),
                m_host.services().currentUserName() + en(TextId::NotConnected));
            return false;
        }
        return true;
    }
    const QString text =
        c.user + en(TextId::AlreadyConnected) + c.systemId + QStringLiteral("   ") + kCrLf + kCrLf +
        en(TextId::SystemLabel) + c.system + kCrLf + en(TextId::ClientLabel) + c.client + kCrLf +
        en(TextId::LanguageLabel) + c.language + kCrLf + en(TextId::SystemNumberLabel) +
        c.systemNumber + kCrLf + en(TextId::HostLabel) + c.hostName + kCrLf +
        en(TextId::ReleaseLabel) + c.release;
    m_host.services().desktop().message(text, Desktop::Buttons::Ok, Desktop::Icon::Information);
    return true;
}

bool SapConnection::logOnFunctions()
{
    RfcConnection& f = m_functions->connection;
    if (f.isConnected())
        return true;
    const RfcConnection& b = m_bapi->connection;
    f.user = b.user;
    f.system = b.system;
    f.client = b.client;
    f.language = b.language;
    f.systemId = b.systemId;
    f.systemNumber = b.systemNumber;
    f.hostName = b.hostName;
    f.password = b.password;
    f.native = b.native;
    f.useDefaultSystem = true;
    // The second logon reuses the user's data without asking again.
    if (!f.logOn(true)) {
        Messenger(m_host.services().desktop(), m_host.state())
            .show(Texts::get(TextId::RfcConnectionFailed));
        releaseComponents();
        return false;
    }
    return true;
}

void SapConnection::logOff()
{
    for (RfcConnection* c : {m_bapi ? &m_bapi->connection : nullptr,
                             m_functions ? &m_functions->connection : nullptr}) {
        if (c && c->isConnected())
            c->logOff();
    }
    connected() = false;
    m_host.setConnectionPanel(StatusHost::ConnectionImage::Disconnected, en(TextId::Disconnected),
                              m_host.services().currentUserName() + en(TextId::NotConnected));
}

void SapConnection::releaseComponents()
{
    // A read running on a worker keeps its own hold on the destination until it ends.
    logOff();
    m_functions.reset();
    m_bapi.reset();
}

void SapConnection::showSystemInformation()
{
    if (!connected()) {
        m_host.connectToSystem();
        if (!connected())
            return;
    }
    const RfcConnection& c = m_bapi->connection;
    RfcDestination* destination = c.destination();
    if (!destination) {
        m_host.services().desktop().message(
            QStringLiteral("Error : the connection is closed on SAPSystemInformation"));
        releaseComponents();
        return;
    }
    QString text = en(TextId::SystemLabel) + c.system + kCrLf + QStringLiteral("System ID: ") +
                   c.systemId + kCrLf + en(TextId::ClientLabel) + c.client + kCrLf +
                   QStringLiteral("User: ") + c.user + kCrLf + en(TextId::LanguageLabel) +
                   c.language + kCrLf + en(TextId::SystemNumberLabel) + c.systemNumber + kCrLf +
                   en(TextId::HostLabel) + c.hostName + kCrLf + en(TextId::ReleaseLabel) +
                   c.release;
    const QString details = destination->details();
    if (!details.isEmpty())
        text += kCrLf + details;
    m_host.services().desktop().message(text, Desktop::Buttons::Ok, Desktop::Icon::Information,
                                        en(TextId::SapSystemInformation));
}

void SapConnection::adviseReinstall()
{
    Desktop& desktop = m_host.services().desktop();
    desktop.setBusy(true);
    const QStringList roots = desktop.sapLogonSearchRoots();
    const QString found =
        roots.isEmpty()
            ? QString()
            : m_host.services().searchForFile(roots.constFirst(), desktop.sapLogonFileName());
    desktop.setBusy(false);
    desktop.message(found.isEmpty() ? en(TextId::ReinstallProgram) : en(TextId::ReinstallSapGui),
                    Desktop::Buttons::Ok, Desktop::Icon::Information);
}

void SapConnection::shutdown()
{
    if (connected() && m_bapi)
        m_bapi->connection.logOff();
    connected() = false;
    if (m_functions)
        m_functions->connection.logOff();
    m_functions.reset();
    m_bapi.reset();
}
