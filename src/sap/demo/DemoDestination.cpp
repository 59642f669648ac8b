#include "sap/demo/DemoDestination.h"

#include "sap/RfcFunction.h"
#include "sap/demo/DemoSystem.h"
#include "sap/demo/ReadTableModule.h"

#include <QFile>

DemoDestination::Profile DemoDestination::Profile::fromEnvironment()
{
    Profile profile;
    profile.anyOrder =
        qEnvironmentVariable("ZORV_DEMO_PROFILE").compare(u"columnstore", Qt::CaseInsensitive) == 0;
    profile.rowBudget = qEnvironmentVariable("ZORV_DEMO_MAX_ROWS").toLongLong();
    if (profile.rowBudget < 0)
        profile.rowBudget = 0;
    return profile;
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
        result.error = QStringLiteral("Client %1 is not available in this system").arg(data.client);
        return result;
    }
    if (!user || user->password != data.password) {
        result.error = QStringLiteral("Name or password is incorrect (repeat logon)");
        return result;
    }
    const QString language = data.language.trimmed().toUpper();
    if (!language.isEmpty() && language != u"EN" && language != u"E" && language != u"PT" &&
        language != u"P") {
        result.error = QStringLiteral("Language %1 is not installed").arg(data.language);
        return result;
    }
    if (!QFile::exists(m_path) || !m_db.open(m_path, SqliteDatabase::Mode::ReadOnly)) {
        result.error = QStringLiteral("The demo database cannot be opened: ") + m_path;
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
    if (function.name() != u"RFC_READ_TABLE") {
        function.setException(QStringLiteral("FUNCTION_NOT_FOUND"));
        return false;
    }
    const DemoSystem::User* user = DemoSystem::user(m_user);
    ReadTableModule::Caller caller;
    caller.client = m_client;
    caller.portuguese = m_portuguese;
    caller.anyOrder = m_profile.anyOrder;
    caller.rowBudget = m_profile.rowBudget;
    caller.authorized = [user](const QString& table) {
        return user && !user->deniedTables.contains(table);
    };
    return ReadTableModule::call(m_db, function, caller);
}

QString DemoDestination::details() const
{
    return QStringLiteral("Database: ") + m_path;
}
