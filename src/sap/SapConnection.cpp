#include "SapConnection.h"

#include "AppState.h"
#include "DesktopServices.h"
#include "DestinationFactory.h"
#include "Language.h"
#include "Messenger.h"
#include "RfcDestination.h"
#include "StatusHost.h"
#include "Texts.h"

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
    return m_host.state().Connected;
}

bool SapConnection::Connect()
{
    if (!CheckComponents())
        return false;
    connected() = false;
    if (!LogonUser() || !LogonFunctions())
        return false;
    const QString language = m_bapi->Connection.Language;
    if (language.isEmpty() || language.front() == u' ') {
        Desktop& desktop = m_host.services().desktop();
        desktop.message(en(TextId::EnterLanguage));
        Disconnect();
        m_host.connectToSystem();
        return connected();
    }
    showConnectedPanel();
    connected() = true;
    return true;
}

void SapConnection::showConnectedPanel()
{
    const RfcConnection& c = m_bapi->Connection;
    const QString text = c.System + u' ' + c.client + u' ' + c.User + u' ';
    const QString tip = c.User + u' ' + c.System + u' ' + c.client + u' ' + c.Language +
                        QStringLiteral(" SN") + c.SystemNumber + u' ' + c.HostName;
    m_host.setConnectionPanel(StatusHost::ConnectionImage::Connected, text, tip);
}

bool SapConnection::CheckComponents()
{
    connected() = false;
    QString reason;
    const bool available = m_factory.available(&reason);
    const auto missing = [this](const char* className) {
        m_host.services().desktop().message(en(TextId::ComponentMissing) + u' ' +
                                            QString::fromLatin1(className) + kCrLf +
                                            en(TextId::SomeFilesMissing));
        AdviseReinstall();
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

bool SapConnection::LogonUser()
{
    RfcConnection& c = m_bapi->Connection;
    if (c.IsConnected() != 1) {
        if (!c.Logon(false)) {
            m_host.setStatusText(QString());
            m_host.setConnectionPanel(
                StatusHost::ConnectionImage::Disconnected, en(TextId::Disconnected),
                m_host.services().CurrentUserName() + en(TextId::NotConnected));
            return false;
        }
        return true;
    }
    const QString text =
        c.User + en(TextId::AlreadyConnected) + c.SystemID + QStringLiteral("   ") + kCrLf + kCrLf +
        en(TextId::SystemLabel) + c.System + kCrLf + en(TextId::ClientLabel) + c.client + kCrLf +
        en(TextId::LanguageLabel) + c.Language + kCrLf + en(TextId::SystemNumberLabel) +
        c.SystemNumber + kCrLf + en(TextId::HostLabel) + c.HostName + kCrLf +
        en(TextId::ReleaseLabel) + c.saprelease;
    m_host.services().desktop().message(text, Desktop::Buttons::Ok, Desktop::Icon::Information);
    return true;
}

bool SapConnection::LogonFunctions()
{
    RfcConnection& f = m_functions->Connection;
    if (f.IsConnected() == 1)
        return true;
    const RfcConnection& b = m_bapi->Connection;
    f.User = b.User;
    f.System = b.System;
    f.client = b.client;
    f.Language = b.Language;
    f.SystemID = b.SystemID;
    f.SystemNumber = b.SystemNumber;
    f.HostName = b.HostName;
    f.Password = b.Password;
    f.UseDefaultSystem = true;
    // The second logon reuses the user's data without asking again.
    if (!f.Logon(true)) {
        Messenger(m_host.services().desktop(), m_host.state())
            .show(Texts::get(TextId::RfcConnectionFailed));
        ReleaseComponents();
        return false;
    }
    return true;
}

void SapConnection::Disconnect()
{
    for (RfcConnection* c : {m_bapi ? &m_bapi->Connection : nullptr,
                             m_functions ? &m_functions->Connection : nullptr}) {
        if (c && c->IsConnected() == 1)
            c->Logoff();
    }
    connected() = false;
    m_host.setConnectionPanel(StatusHost::ConnectionImage::Disconnected, en(TextId::Disconnected),
                              m_host.services().CurrentUserName() + en(TextId::NotConnected));
}

void SapConnection::ReleaseComponents()
{
    // A read running on a worker keeps its own hold on the destination until it ends.
    Disconnect();
    m_functions.reset();
    m_bapi.reset();
}

void SapConnection::SAPSystemInformation()
{
    if (!connected()) {
        m_host.connectToSystem();
        if (!connected())
            return;
    }
    const RfcConnection& c = m_bapi->Connection;
    RfcDestination* destination = c.destination();
    if (!destination) {
        m_host.services().desktop().message(
            QStringLiteral("Error : the connection is closed on SAPSystemInformation"));
        ReleaseComponents();
        return;
    }
    QString text = en(TextId::SystemLabel) + c.System + kCrLf + QStringLiteral("System ID: ") +
                   c.SystemID + kCrLf + en(TextId::ClientLabel) + c.client + kCrLf +
                   QStringLiteral("User: ") + c.User + kCrLf + en(TextId::LanguageLabel) +
                   c.Language + kCrLf + en(TextId::SystemNumberLabel) + c.SystemNumber + kCrLf +
                   en(TextId::HostLabel) + c.HostName + kCrLf + en(TextId::ReleaseLabel) +
                   c.saprelease;
    const QString details = destination->details();
    if (!details.isEmpty())
        text += kCrLf + details;
    m_host.services().desktop().message(text, Desktop::Buttons::Ok, Desktop::Icon::Information,
                                        en(TextId::SapSystemInformation));
}

void SapConnection::AdviseReinstall()
{
    Desktop& desktop = m_host.services().desktop();
    desktop.setBusy(true);
    const QStringList roots = desktop.sapLogonSearchRoots();
    const QString found =
        roots.isEmpty()
            ? QString()
            : m_host.services().SearchDriveForFile(roots.constFirst(), desktop.sapLogonFileName());
    desktop.setBusy(false);
    desktop.message(found.isEmpty() ? en(TextId::ReinstallProgram) : en(TextId::ReinstallSapGui),
                    Desktop::Buttons::Ok, Desktop::Icon::Information);
}

void SapConnection::Shutdown()
{
    if (connected() && m_bapi)
        m_bapi->Connection.Logoff();
    connected() = false;
    if (m_functions)
        m_functions->Connection.Logoff();
    m_functions.reset();
    m_bapi.reset();
}
