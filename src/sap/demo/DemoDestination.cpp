#include "sap/demo/DemoDestination.h"
#include "shell/FaultTexts.h"

#include "sap/RfcFunction.h"
#include "sap/demo/DemoSystem.h"
#include "sap/demo/ReadTableModule.h"
#include "sap/demo/RowCountModule.h"

#include <QFile>
#include <QThread>

#include <algorithm>

namespace
{
constexpr int kWaitStepMs = 20; // a cancel is seen within this time
}

DemoDestination::Profile DemoDestination::Profile::fromEnvironment()
{
    Profile profile;
    profile.anyOrder =
        qEnvironmentVariable("ZORV_DEMO_PROFILE").compare(u"columnstore", Qt::CaseInsensitive) == 0;
    profile.rowBudget =
        std::max<qint64>(0, qEnvironmentVariable("ZORV_DEMO_MAX_ROWS").toLongLong());
    profile.classicOnly =
        qEnvironmentVariable("ZORV_DEMO_MODULES").compare(u"classic", Qt::CaseInsensitive) == 0;
    // Bounded, so that a mistyped value cannot stop the demo for hours.
    profile.callMilliseconds =
        std::clamp(qEnvironmentVariableIntValue("ZORV_DEMO_CALL_MS"), 0, 60000);
    profile.rowMicroseconds =
        std::clamp(qEnvironmentVariableIntValue("ZORV_DEMO_ROW_US"), 0, 10000);
    return profile;
}

const std::vector<ReadModule>& DemoDestination::widerModules()
{
    // One of each interface; the /BODS/ modules are missing, as on many systems.
    static const std::vector<ReadModule> modules{
        ReadModule::named(QStringLiteral("/SAPDS/RFC_READ_TABLE2")),
        ReadModule::named(QStringLiteral("/SAPDS/RFC_READ_TABLE"))};
    return modules;
}

std::optional<ReadModule> DemoDestination::moduleCalled(const QString& name) const
{
    if (name == u"RFC_READ_TABLE")
        return ReadModule();
    if (m_profile.classicOnly)
        return std::nullopt;
    for (const ReadModule& module : widerModules()) {
        if (module.name() == name)
            return module;
    }
    return std::nullopt;
}

DemoDestination::DemoDestination(QString databasePath, Profile profile)
    : m_path(std::move(databasePath)), m_profile(profile)
{
}

RfcDestination::LogonResult DemoDestination::logon(const LogonData& data)
{
    QMutexLocker lock(&m_lock);
    LogonResult result;
    const DemoSystem::User* user = DemoSystem::user(data.user);
    if (data.client.trimmed() != QLatin1String(DemoSystem::kClient)) {
        result.error = BiText::same(
            QStringLiteral("Client %1 is not available in this system").arg(data.client));
        return result;
    }
    if (!user || user->password != data.password) {
        result.error = BiText::same(QStringLiteral("Name or password is incorrect (repeat logon)"));
        return result;
    }
    const QString language = data.language.trimmed().toUpper();
    if (!language.isEmpty() && language != u"EN" && language != u"E" && language != u"PT" &&
        language != u"P") {
        result.error =
            BiText::same(QStringLiteral("Language %1 is not installed").arg(data.language));
        return result;
    }
    if (!QFile::exists(m_path) || !m_db.open(m_path, SqliteDatabase::Mode::ReadOnly)) {
        result.error = FaultTexts::get(FaultText::DemoDatabaseUnopened).arg(m_path);
        return result;
    }
    m_db.exec(QStringLiteral("PRAGMA case_sensitive_like = ON"));
    m_user = user->name;
    m_client = data.client.trimmed();
    m_portuguese = language.startsWith(u'P');
    result.ok = true;
    result.systemId = QString::fromLatin1(DemoSystem::kSystemId);
    result.hostName = QStringLiteral("localhost");
    result.systemNumber = QStringLiteral("00");
    result.release = QString::fromLatin1(DemoSystem::kRelease);
    return result;
}

void DemoDestination::logoff()
{
    QMutexLocker lock(&m_lock);
    m_db.close();
    m_user.clear();
}

bool DemoDestination::call(RfcFunction& function)
{
    QMutexLocker lock(&m_lock);
    if (!m_db.isOpen()) {
        function.setException(QStringLiteral("SYSTEM_FAILURE"));
        return false;
    }
    const DemoSystem::User* user = DemoSystem::user(m_user);
    const auto authorized = [user](const QString& table) {
        return user && !user->deniedTables.contains(table);
    };
    if (function.name() == u"EM_GET_NUMBER_OF_ENTRIES")
        return RowCountModule::call(m_db, function, m_client, authorized);
    const std::optional<ReadModule> module = moduleCalled(function.name());
    if (!module) {
        function.setException(QStringLiteral("FUNCTION_NOT_FOUND"));
        return false;
    }
    // Each destination is one session, so sessions wait side by side, as work processes do.
    for (int waited = 0; waited < m_profile.callMilliseconds && !function.cancelled();
         waited += kWaitStepMs)
        QThread::msleep(
            static_cast<unsigned long>(std::min(kWaitStepMs, m_profile.callMilliseconds - waited)));
    ReadTableModule::Caller caller;
    caller.client = m_client;
    caller.portuguese = m_portuguese;
    caller.anyOrder = m_profile.anyOrder;
    caller.rowBudget = m_profile.rowBudget;
    caller.module = *module;
    caller.rowMicroseconds = m_profile.rowMicroseconds;
    caller.authorized = authorized;
    return ReadTableModule::call(m_db, function, caller);
}

QString DemoDestination::details() const
{
    return QStringLiteral("Database: ") + m_path;
}
