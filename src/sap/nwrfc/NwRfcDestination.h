#pragma once

#include "sap/RfcDestination.h"
#include "sap/nwrfc/NwRfcLibrary.h"

#include <QMutex>

#include <memory>
#include <vector>

// A real ABAP system over native RFC, through SAP's NetWeaver RFC library. A call takes a
// connection no other call uses (one is opened when none is free), so calls may come from
// several threads; a connection that the library closed after a failure is dropped, and a call
// that lost its connection is repeated once on a new one (every call Zorv makes only reads).
// Cancelling a call ends it through RfcCancel from a watching thread.
class NwRfcDestination : public RfcDestination
{
public:
    explicit NwRfcDestination(std::shared_ptr<const NwRfcLibrary> library);
    ~NwRfcDestination() override;

    LogonResult logon(const LogonData& data) override;
    void logoff() override;
    bool call(RfcFunction& function) override;
    QString details() const override;

    // The library's logon parameters for these logon data, by the library's names.
    static std::vector<std::pair<QString, QString>> parameters(const LogonData& data);

private:
    struct Failure {
        int code = 0;
        QString key;
        QString message;
    };
    nwrfc::ConnectionHandle open(Failure* failure);
    nwrfc::ConnectionHandle take(Failure* failure);
    void giveBack(nwrfc::ConnectionHandle connection);
    void close(nwrfc::ConnectionHandle connection);
    // One attempt of the call on one connection; false with the failure when it failed.
    bool invoke(nwrfc::ConnectionHandle connection, RfcFunction& function, Failure* failure);
    static void report(RfcFunction& function, const Failure& failure);

    std::shared_ptr<const NwRfcLibrary> m_library;
    const NwRfcLibrary::Calls& m_calls;
    LogonData m_data;
    QMutex m_lock;
    std::vector<nwrfc::ConnectionHandle> m_free;
    QString m_codepage;
};
