#include "window/main/LogonDialog.h"

#include "sap/demo/DemoSystem.h"
#include "sap/soap/SoapDestination.h"

#include <QCheckBox>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QVBoxLayout>

LogonDialog::LogonDialog(QString rememberFile, QString trustFile, QWidget* parent)
    : QDialog(parent), m_rememberFile(std::move(rememberFile)), m_system(new QComboBox(this)),
      m_systemId(new QLineEdit(this)), m_host(new QLineEdit(this)),
      m_systemNumber(new QLineEdit(this)), m_client(new QLineEdit(this)),
      m_user(new QLineEdit(this)), m_password(new QLineEdit(this)), m_language(new QComboBox(this)),
      m_error(new QLabel(this)), m_trust(new QCheckBox(this)), m_trustFile(std::move(trustFile))
{
    m_trust->setObjectName(QStringLiteral("TrustCertificate"));
    m_trust->setVisible(false);
    setObjectName(QStringLiteral("fLogon"));
    setWindowTitle(QStringLiteral("SAP Logon"));
    m_system->setObjectName(QStringLiteral("System"));
    m_system->setEditable(true);
    m_system->addItem(LogonData::demoSystemName());
    m_systemId->setObjectName(QStringLiteral("SystemID"));
    m_host->setObjectName(QStringLiteral("HostName"));
    m_host->setPlaceholderText(QStringLiteral("https://host:port or host"));
    m_systemNumber->setObjectName(QStringLiteral("SystemNumber"));
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setMaxLength(3);
    m_user->setObjectName(QStringLiteral("User"));
    m_password->setObjectName(QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_language->setObjectName(QStringLiteral("Language"));
    m_language->setEditable(true);
    m_language->addItems({QStringLiteral("EN"), QStringLiteral("PT")});
    m_error->setObjectName(QStringLiteral("Error"));
    m_error->setStyleSheet(QStringLiteral("color: #b00020"));
    m_error->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("System"), m_system);
    form->addRow(QStringLiteral("System ID"), m_systemId);
    form->addRow(QStringLiteral("Host or URL"), m_host);
    form->addRow(QStringLiteral("System number"), m_systemNumber);
    form->addRow(QStringLiteral("Client"), m_client);
    form->addRow(QStringLiteral("User"), m_user);
    form->addRow(QStringLiteral("Password"), m_password);
    form->addRow(QStringLiteral("Language"), m_language);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_error);
    layout->addWidget(m_trust);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_system, &QComboBox::currentTextChanged, this, &LogonDialog::systemChosen);
}

void LogonDialog::systemChosen()
{
    const bool demo = m_system->currentText() == LogonData::demoSystemName();
    m_host->setEnabled(!demo);
    m_systemNumber->setEnabled(!demo);
    m_systemId->setEnabled(!demo);
}

void LogonDialog::fill(const LogonData& data, const QString& error)
{
    m_system->setCurrentText(data.system.isEmpty() ? LogonData::demoSystemName() : data.system);
    m_systemId->setText(data.systemId);
    m_host->setText(data.hostName);
    m_systemNumber->setText(data.systemNumber);
    m_client->setText(data.client);
    m_user->setText(data.user);
    m_password->clear();
    m_language->setCurrentText(data.language);
    m_error->setText(error);
    m_error->setVisible(!error.isEmpty());
    // Trusting a certificate is offered only when the error names one, never silently.
    m_fingerprint = SoapDestination::fingerprintIn(error);
    m_trust->setText(
        QStringLiteral("Trust this system's certificate (SHA-256 %1)").arg(m_fingerprint));
    m_trust->setChecked(false);
    m_trust->setVisible(!m_fingerprint.isEmpty() && !m_trustFile.isEmpty());
    systemChosen();
    (data.user.isEmpty() ? m_user : m_password)->setFocus();
}

LogonData LogonDialog::entered() const
{
    LogonData data;
    data.system = m_system->currentText().trimmed();
    data.systemId = m_systemId->text().trimmed();
    data.hostName = m_host->text().trimmed();
    data.systemNumber = m_systemNumber->text().trimmed();
    data.client = m_client->text().trimmed();
    data.user = m_user->text().trimmed().toUpper();
    data.password = m_password->text();
    data.language = m_language->currentText().trimmed().toUpper();
    return data;
}

LogonData LogonDialog::remembered() const
{
    QSettings settings(m_rememberFile, QSettings::IniFormat);
    LogonData data;
    data.system = settings.value(QStringLiteral("System"), LogonData::demoSystemName()).toString();
    data.systemId = settings.value(QStringLiteral("SystemID")).toString();
    data.hostName = settings.value(QStringLiteral("HostName")).toString();
    data.systemNumber = settings.value(QStringLiteral("SystemNumber")).toString();
    data.client = settings.value(QStringLiteral("client"), QString::fromLatin1(DemoSystem::kClient))
                      .toString();
    data.user =
        settings.value(QStringLiteral("User"), QString::fromLatin1(DemoSystem::kDefaultUser))
            .toString();
    data.language = settings.value(QStringLiteral("Language"), QStringLiteral("EN")).toString();
    return data;
}

void LogonDialog::remember() const
{
    const LogonData data = entered();
    QSettings settings(m_rememberFile, QSettings::IniFormat);
    settings.setValue(QStringLiteral("System"), data.system);
    settings.setValue(QStringLiteral("SystemID"), data.systemId);
    settings.setValue(QStringLiteral("HostName"), data.hostName);
    settings.setValue(QStringLiteral("SystemNumber"), data.systemNumber);
    settings.setValue(QStringLiteral("client"), data.client);
    settings.setValue(QStringLiteral("User"), data.user);
    settings.setValue(QStringLiteral("Language"), data.language);
}

void LogonDialog::trustIfChosen() const
{
    if (!m_trust->isVisible() || !m_trust->isChecked())
        return;
    const LogonData data = entered();
    SoapDestination::trust(m_trustFile, SoapDestination::baseUrl(data.system, data.hostName),
                           m_fingerprint);
}

std::optional<LogonData> LogonDialogPrompt::ask(const LogonData& defaults, const QString& error)
{
    LogonDialog dialog(m_rememberFile, m_trustFile, QApplication::activeWindow());
    // The first time, the last entries; after a failed attempt, what was just typed.
    dialog.fill(defaults.user.isEmpty() && error.isEmpty() ? dialog.remembered() : defaults, error);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    dialog.remember();
    dialog.trustIfChosen();
    return dialog.entered();
}
