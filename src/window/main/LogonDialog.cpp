#include "window/main/LogonDialog.h"

#include "sap/demo/DemoSystem.h"
#include "sap/soap/SoapDestination.h"
#include "sap/systems/OwnSystems.h"
#include "sap/systems/SapLogonLandscape.h"
#include "shell/ControlNames.h"
#include "shell/Language.h"
#include "window/main/ConnectionFields.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace
{
QString ownSystemsFile(const QString& rememberFile)
{
    return OwnSystems::pathIn(QFileInfo(rememberFile).absolutePath());
}
} // namespace

LogonDialog::LogonDialog(const AppState& state, QString rememberFile, QString trustFile,
                         QWidget* parent)
    : QDialog(parent), m_state(state), m_rememberFile(std::move(rememberFile)),
      m_system(new QComboBox(this)), m_landscape(new QLineEdit(this)),
      m_client(new QLineEdit(this)), m_user(new QLineEdit(this)), m_password(new QLineEdit(this)),
      m_language(new QComboBox(this)), m_error(new QLabel(this)), m_trust(new QCheckBox(this)),
      m_keep(new QCheckBox(text(TextId::LogonKeepSystem), this)), m_trustFile(std::move(trustFile))
{
    m_trust->setObjectName(ControlNames::Logon::kTrustCertificate);
    m_trust->setVisible(false);
    m_keep->setObjectName(ControlNames::Logon::kKeepSystem);
    setWindowTitle(text(TextId::LogonTitle));
    m_system->setObjectName(ControlNames::Logon::kSystem);
    m_system->setEditable(true);
    m_system->setInsertPolicy(QComboBox::NoInsert);
    m_landscape->setObjectName(QStringLiteral("LandscapeFile"));
    m_landscape->setPlaceholderText(text(TextId::LogonLandscapePlaceholder));
    m_client->setObjectName(ControlNames::Logon::kClient);
    m_client->setMaxLength(3);
    m_user->setObjectName(ControlNames::Logon::kUser);
    m_password->setObjectName(ControlNames::Logon::kPassword);
    m_password->setEchoMode(QLineEdit::Password);
    m_language->setObjectName(QStringLiteral("Language"));
    m_language->setEditable(true);
    m_language->addItems({QStringLiteral("EN"), QStringLiteral("PT")});
    m_error->setObjectName(ControlNames::Logon::kError);
    m_error->setStyleSheet(QStringLiteral("color: #b00020"));
    m_error->setWordWrap(true);
    m_error->setVisible(false);

    auto* form = new QFormLayout;
    form->addRow(text(TextId::LogonSystem), m_system);
    m_connection = new ConnectionFields(this, form, Language(m_state));
    auto* landscape = new QWidget(this);
    auto* landscapeRow = new QHBoxLayout(landscape);
    landscapeRow->setContentsMargins(0, 0, 0, 0);
    auto* chooseLandscape = new QPushButton(text(TextId::LogonChoose), landscape);
    chooseLandscape->setObjectName(QStringLiteral("ChooseLandscape"));
    landscapeRow->addWidget(m_landscape);
    landscapeRow->addWidget(chooseLandscape);
    form->addRow(text(TextId::LogonLandscapeFile), landscape);
    form->addRow(text(TextId::LogonClient), m_client);
    form->addRow(text(TextId::LogonUser), m_user);
    form->addRow(text(TextId::LogonPassword), m_password);
    form->addRow(text(TextId::LogonLanguage), m_language);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_error);
    layout->addWidget(m_trust);
    layout->addWidget(m_keep);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_system, &QComboBox::currentTextChanged, this, &LogonDialog::systemChosen);
    connect(chooseLandscape, &QPushButton::clicked, this, &LogonDialog::chooseLandscape);
    connect(m_landscape, &QLineEdit::editingFinished, this,
            [this] { useLandscape(m_landscape->text().trimmed()); });
    listSystems();
}

QString LogonDialog::text(TextId id) const
{
    return Language(m_state).pick(Texts::get(id));
}

QString LogonDialog::demoName() const
{
    return text(TextId::LogonDemoSystem);
}

bool LogonDialog::namesDemo(const QString& name) const
{
    return name == demoName() || name == LogonData::demoSystemName();
}

void LogonDialog::listSystems()
{
    const QString current = m_system->currentText();
    m_known = OwnSystems::read(ownSystemsFile(m_rememberFile));
    const QString landscape = m_landscape->text().trimmed();
    if (!landscape.isEmpty()) {
        const SapLogonLandscape::Result read = SapLogonLandscape::read(landscape);
        if (!read.error.en.isEmpty()) {
            m_error->setText(Language(m_state).pick(read.error));
            m_error->setVisible(true);
        }
        m_known += read.systems;
    }
    const QSignalBlocker quiet(m_system);
    m_system->clear();
    m_system->addItem(demoName());
    for (const KnownSystem& system : m_known) {
        m_system->addItem(system.name);
        m_system->setItemData(m_system->count() - 1,
                              QStringLiteral("%1 (%2)").arg(system.name, system.origin),
                              Qt::ToolTipRole);
    }
    m_system->setCurrentText(current.isEmpty() || namesDemo(current) ? demoName() : current);
}

void LogonDialog::useLandscape(const QString& file)
{
    m_landscape->setText(file);
    m_error->setVisible(false);
    listSystems();
}

void LogonDialog::chooseLandscape()
{
    const QString file = QFileDialog::getOpenFileName(
        this, text(TextId::LogonLandscapeDialog), m_landscape->text(),
        text(TextId::LogonLandscapeFilter), nullptr, QFileDialog::DontUseNativeDialog);
    if (!file.isEmpty())
        useLandscape(file);
}

void LogonDialog::systemChosen()
{
    const QString name = m_system->currentText().trimmed();
    if (namesDemo(name)) {
        m_connection->setWay(ConnectionFields::Way::Demo);
        return;
    }
    if (const auto known = OwnSystems::find(m_known, name)) {
        m_connection->show(*known);
        return;
    }
    if (name.contains(QStringLiteral("://")) || m_connection->way() == ConnectionFields::Way::Demo)
        m_connection->setWay(ConnectionFields::Way::Soap);
}

void LogonDialog::fill(const LogonData& data, const QString& error)
{
    {
        const QSignalBlocker quiet(m_system);
        m_system->setCurrentText(data.system.isEmpty() || namesDemo(data.system) ? demoName()
                                                                                 : data.system);
    }
    m_connection->fill(data);
    // A system known by that name is reached as its entry says, unless data says otherwise.
    if (const auto known = OwnSystems::find(m_known, data.system); known && !data.native.isSet())
        m_connection->show(*known);
    m_client->setText(data.client);
    m_user->setText(data.user);
    m_password->clear();
    m_language->setCurrentText(data.language);
    m_error->setText(error);
    m_error->setVisible(!error.isEmpty());
    // Trusting a certificate is offered only when the error names one, never silently.
    m_fingerprint = SoapDestination::fingerprintIn(error);
    m_trust->setText(text(TextId::LogonTrustCertificate).arg(m_fingerprint));
    m_trust->setChecked(false);
    m_trust->setVisible(!m_fingerprint.isEmpty() && !m_trustFile.isEmpty());
    (data.user.isEmpty() ? m_user : m_password)->setFocus();
}

LogonData LogonDialog::entered() const
{
    LogonData data;
    data.system = m_system->currentText().trimmed();
    m_connection->enter(data);
    if (m_connection->way() == ConnectionFields::Way::Demo)
        data.system = LogonData::demoSystemName();
    else if (namesDemo(data.system))
        data.system = data.native.isSet() ? data.native.describe() : data.hostName;
    data.client = m_client->text().trimmed();
    data.user = m_user->text().trimmed().toUpper();
    data.password = m_password->text();
    data.language = m_language->currentText().trimmed().toUpper();
    return data;
}

LogonData LogonDialog::remembered()
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
    for (const NativeServer::Field& field : kNativeServerFields)
        data.native.*(field.member) = settings.value(QString::fromLatin1(field.name)).toString();
    data.native.library = settings.value(QStringLiteral("RfcLibrary")).toString();
    const QString landscape =
        settings.value(QStringLiteral("LandscapeFile"), SapLogonLandscape::usualPath()).toString();
    if (landscape != m_landscape->text())
        useLandscape(landscape);
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
    for (const NativeServer::Field& field : kNativeServerFields)
        settings.setValue(QString::fromLatin1(field.name), data.native.*(field.member));
    settings.setValue(QStringLiteral("RfcLibrary"), m_connection->library());
    settings.setValue(QStringLiteral("LandscapeFile"), m_landscape->text().trimmed());
}

void LogonDialog::trustIfChosen() const
{
    if (!m_trust->isVisible() || !m_trust->isChecked())
        return;
    const LogonData data = entered();
    SoapDestination::trust(m_trustFile, SoapDestination::baseUrl(data.system, data.hostName),
                           m_fingerprint);
}

void LogonDialog::keepIfChosen() const
{
    const QString name = m_system->currentText().trimmed();
    if (!m_keep->isChecked() || name.isEmpty() || namesDemo(name) ||
        m_connection->way() == ConnectionFields::Way::Demo)
        return;
    const QString file = ownSystemsFile(m_rememberFile);
    QVector<KnownSystem> own = OwnSystems::read(file);
    own.removeIf([&name](const KnownSystem& system) {
        return system.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    own.append(m_connection->asSystem(name));
    OwnSystems::write(file, own);
}

std::optional<LogonData> LogonDialogPrompt::ask(const LogonData& defaults, const BiText& error)
{
    LogonDialog dialog(m_state, m_rememberFile, m_trustFile, QApplication::activeWindow());
    // The first time, the last entries; after a failed attempt, what was just typed.
    const LogonData remembered = dialog.remembered();
    dialog.fill(defaults.user.isEmpty() && error.isEmpty() ? remembered : defaults,
                Language(m_state).pick(error));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    dialog.remember();
    dialog.trustIfChosen();
    dialog.keepIfChosen();
    return dialog.entered();
}
