#pragma once

#include "sap/RfcDestination.h"
#include "sap/demo/SqliteDatabase.h"

#include <QMutex>

// The demo system as a destination: its users and clients, RFC_READ_TABLE over its database.
// Calls may come from several threads; they take turns.
class DemoDestination : public RfcDestination
{
public:
    // How the demo's database answers: as today, or like a column store that returns rows in
    // any order and runs out of memory past a row budget (ZORV_DEMO_PROFILE=columnstore,
    // ZORV_DEMO_MAX_ROWS=N).
    struct Profile {
        bool anyOrder = false;
        qint64 rowBudget = 0;
        static Profile fromEnvironment();
    };

    explicit DemoDestination(QString databasePath, Profile profile = Profile::fromEnvironment());

    LogonResult logon(const LogonData& data) override;
    void logoff() override;
    bool call(RfcFunction& function) override;
    QString details() const override;
    const Profile& profile() const { return m_profile; }

private:
    QString m_path;
    Profile m_profile;
    QMutex m_lock;
    SqliteDatabase m_db;
    QString m_user;
    QString m_client;
    bool m_portuguese = false;
};
