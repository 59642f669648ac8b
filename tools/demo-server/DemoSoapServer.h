#pragma once

#include "BodyBudget.h"
#include "ConnectionRegistry.h"
#include "DemoServerSettings.h"
#include "LogonThrottle.h"
#include "SessionStore.h"

#include <QTcpServer>
#include <QThreadPool>

// Serves the embedded demo system over the RFC SOAP protocol of ABAP systems on a loopback
// port: each connection on a thread of its own, up to the connection limit (there, the
// connection with the least progress gives way; when all are busy serving, 503 at once),
// sessions, the slowing of wrong passwords and the memory for request bodies shared between
// them.
class DemoSoapServer : public QTcpServer
{
    Q_OBJECT
public:
    explicit DemoSoapServer(DemoServerSettings settings, QObject* parent = nullptr);
    ~DemoSoapServer() override;

    bool listen(quint16 port);
    quint16 port() const { return serverPort(); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    // Answers 503 from this thread without reading the request, then closes.
    void refuse(qintptr descriptor);

    DemoServerSettings m_settings;
    SessionStore m_sessions;
    LogonThrottle m_throttle;
    ConnectionRegistry m_connections;
    BodyBudget m_bodies;
    QThreadPool m_pool;
    int m_refusing = 0;
};
