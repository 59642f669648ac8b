#pragma once

#include "sap/ReadModule.h"
#include "sap/RfcDestination.h"
#include "sap/demo/SqliteDatabase.h"

#include <QMutex>

#include <optional>
#include <vector>

// The demo system as a destination: its users and clients, its read modules over its database.
// Calls may come from several threads; they take turns.
class DemoDestination : public RfcDestination
{
public:
    // How the demo's database answers: as today, or like a column store that returns rows in
    // any order and runs out of memory past a row budget (ZORV_DEMO_PROFILE=columnstore,
    // ZORV_DEMO_MAX_ROWS=N); with RFC_READ_TABLE alone (ZORV_DEMO_MODULES=classic) or with
    // the wider modules too; at once or like a system far away, each call and row taking its
    // time (ZORV_DEMO_CALL_MS, ZORV_DEMO_ROW_US).
    struct Profile {
        bool anyOrder = false;
        qint64 rowBudget = 0;
        bool classicOnly = false;
        int callMilliseconds = 0;
        int rowMicroseconds = 0;
        static Profile fromEnvironment();
    };
    // The read modules the demo offers besides RFC_READ_TABLE.
    static const std::vector<ReadModule>& widerModules();

    explicit DemoDestination(QString databasePath, Profile profile = Profile::fromEnvironment());

    LogonResult logon(const LogonData& data) override;
    void logoff() override;
    bool call(RfcFunction& function) override;
    QString details() const override;
    const Profile& profile() const { return m_profile; }

private:
    std::optional<ReadModule> moduleCalled(const QString& name) const;

    QString m_path;
    Profile m_profile;
    QMutex m_lock;
    SqliteDatabase m_db;
    QString m_user;
    QString m_client;
    bool m_portuguese = false;
};
