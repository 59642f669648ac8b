#pragma once

#include "RfcDestination.h"
#include "SqliteDatabase.h"

// The demo system as a destination: its users and clients, RFC_READ_TABLE over its database.
class DemoDestination : public RfcDestination
{
public:
    explicit DemoDestination(QString databasePath);

    LogonResult logon(const LogonData& data) override;
    void logoff() override;
    bool call(RfcFunction& function) override;
    QString details() const override;

private:
    QString m_path;
    SqliteDatabase m_db;
    QString m_user;
    QString m_client;
    bool m_portuguese = false;
};
