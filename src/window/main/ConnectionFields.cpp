#include "window/main/ConnectionFields.h"

#include "sap/nwrfc/NwRfcLibrary.h"
#include "shell/ControlNames.h"
#include "shell/Language.h"
#include "shell/Texts.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace
{
QLineEdit* field(QWidget* parent, QLatin1StringView name, const QString& placeholder = {})
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setPlaceholderText(placeholder);
    return edit;
}
} // namespace

ConnectionFields::ConnectionFields(QWidget* parent, QFormLayout* form, const Language& language)
    : QObject(parent), m_way(new QComboBox(parent)),
      m_host(field(parent, ControlNames::Logon::kHostName,
                   language.pick(Texts::get(TextId::LogonHostPlaceholder)))),
      m_instance(field(parent, ControlNames::Logon::kSystemNumber, QStringLiteral("00"))),
      m_messageServer(field(parent, ControlNames::Logon::kMessageServer, QStringLiteral("host"))),
      m_systemId(field(parent, ControlNames::Logon::kSystemId)),
      m_group(field(parent, ControlNames::Logon::kLogonGroup, QStringLiteral("PUBLIC"))),
      m_router(field(parent, ControlNames::Logon::kRouter, QStringLiteral("/H/host/S/3299/H/"))),
      m_sncPartner(field(parent, ControlNames::Logon::kSncPartner, QStringLiteral("p:CN=..."))),
      m_library(field(parent, ControlNames::Logon::kRfcLibrary, NwRfcLibrary::fileName())),
      m_chooseLibrary(new QPushButton(language.pick(Texts::get(TextId::LogonChoose)), parent)),
      m_form(form), m_hostPlaceholder(language.pick(Texts::get(TextId::LogonHostPlaceholder))),
      m_libraryDialog(language.pick(Texts::get(TextId::LogonLibraryDialog))),
      m_libraryFilter(language.pick(Texts::get(TextId::LogonLibraryFilter)))
{
    const auto text = [&language](TextId id) { return language.pick(Texts::get(id)); };
    m_way->setObjectName(ControlNames::Logon::kConnection);
    m_way->addItems({text(TextId::LogonWayDemo), text(TextId::LogonWaySoap),
                     text(TextId::LogonWayApplicationServer), text(TextId::LogonWayMessageServer)});
    m_instance->setMaxLength(2);
    m_chooseLibrary->setObjectName(QStringLiteral("ChooseRfcLibrary"));
    auto* library = new QWidget(parent);
    auto* row = new QHBoxLayout(library);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_library);
    row->addWidget(m_chooseLibrary);
    form->addRow(text(TextId::LogonConnection), m_way);
    form->addRow(text(TextId::LogonHostOrUrl), m_host);
    form->addRow(text(TextId::LogonSystemNumber), m_instance);
    form->addRow(text(TextId::LogonMessageServer), m_messageServer);
    form->addRow(text(TextId::LogonSystemId), m_systemId);
    form->addRow(text(TextId::LogonGroup), m_group);
    form->addRow(QStringLiteral("SAProuter"), m_router);
    form->addRow(text(TextId::LogonSncName), m_sncPartner);
    form->addRow(text(TextId::LogonRfcLibrary), library);
    connect(m_way, &QComboBox::currentIndexChanged, this, &ConnectionFields::wayChosen);
    connect(m_chooseLibrary, &QPushButton::clicked, this, &ConnectionFields::chooseLibrary);
    wayChosen();
}

ConnectionFields::Way ConnectionFields::way() const
{
    return Way(m_way->currentIndex());
}

void ConnectionFields::setWay(Way way)
{
    m_way->setCurrentIndex(int(way));
    wayChosen();
}

void ConnectionFields::wayChosen()
{
    const Way chosen = way();
    const bool native = chosen == Way::ApplicationServer || chosen == Way::MessageServer;
    const auto showRow = [this](QWidget* widget, bool shown) {
        m_form->setRowVisible(widget == m_library ? m_library->parentWidget() : widget, shown);
    };
    showRow(m_host, chosen == Way::Soap || chosen == Way::ApplicationServer);
    showRow(m_instance, chosen == Way::ApplicationServer);
    showRow(m_messageServer, chosen == Way::MessageServer);
    showRow(m_systemId, chosen == Way::MessageServer || chosen == Way::Soap);
    showRow(m_group, chosen == Way::MessageServer);
    showRow(m_router, native);
    showRow(m_sncPartner, native);
    showRow(m_library, native);
    m_host->setPlaceholderText(chosen == Way::Soap ? m_hostPlaceholder : QStringLiteral("host"));
}

void ConnectionFields::chooseLibrary()
{
    const QString file = QFileDialog::getOpenFileName(
        m_library->window(), m_libraryDialog, m_library->text(),
        m_libraryFilter.arg(NwRfcLibrary::fileName()), nullptr, QFileDialog::DontUseNativeDialog);
    if (!file.isEmpty())
        m_library->setText(file);
}

void ConnectionFields::show(const KnownSystem& system)
{
    const NativeServer& server = system.server;
    if (!server.messageServer.isEmpty())
        setWay(Way::MessageServer);
    else if (!server.applicationServer.isEmpty())
        setWay(Way::ApplicationServer);
    else
        setWay(system.url.isEmpty() ? Way::Demo : Way::Soap);
    m_host->setText(server.applicationServer.isEmpty() ? system.url : server.applicationServer);
    m_instance->setText(server.instanceNumber);
    m_messageServer->setText(server.messageServer);
    m_systemId->setText(server.systemId.isEmpty() ? system.systemId : server.systemId);
    m_group->setText(server.logonGroup);
    m_router->setText(server.router);
    m_sncPartner->setText(server.sncPartner);
}

void ConnectionFields::fill(const LogonData& data)
{
    KnownSystem system;
    system.server = data.native;
    system.systemId = data.systemId;
    if (!data.native.isSet() && !data.isDemo())
        system.url = data.hostName.isEmpty() ? data.system : data.hostName;
    show(system);
    if (!data.native.isSet() && !data.isDemo())
        m_host->setText(data.hostName);
    if (!data.native.library.isEmpty())
        m_library->setText(data.native.library);
}

void ConnectionFields::enter(LogonData& data) const
{
    const Way chosen = way();
    data.systemId = m_systemId->text().trimmed();
    data.systemNumber = m_instance->text().trimmed();
    if (chosen == Way::Soap || chosen == Way::Demo) {
        data.hostName = m_host->text().trimmed();
        return;
    }
    NativeServer& server = data.native;
    if (chosen == Way::ApplicationServer) {
        server.applicationServer = m_host->text().trimmed();
        server.instanceNumber = m_instance->text().trimmed();
    } else {
        server.messageServer = m_messageServer->text().trimmed();
        server.systemId = m_systemId->text().trimmed();
        server.logonGroup = m_group->text().trimmed();
    }
    server.router = m_router->text().trimmed();
    server.sncPartner = m_sncPartner->text().trimmed();
    server.library = library();
}

QString ConnectionFields::library() const
{
    return m_library->text().trimmed();
}

void ConnectionFields::setLibrary(const QString& file)
{
    m_library->setText(file);
}

KnownSystem ConnectionFields::asSystem(const QString& name) const
{
    LogonData data;
    enter(data);
    KnownSystem system;
    system.name = name;
    system.server = data.native;
    system.server.library.clear();
    if (way() == Way::Soap)
        system.url = data.hostName.isEmpty() ? name : data.hostName;
    system.origin = QStringLiteral("Zorv");
    return system;
}
