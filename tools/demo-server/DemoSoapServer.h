#pragma once

#include "DemoServerSettings.h"
#include "LogonThrottle.h"
#include "SessionStore.h"

#include <QTcpServer>
#include <QThreadPool>

#include <atomic>

// Serves the embedded demo system over the RFC SOAP protocol of ABAP systems on a loopback
// port: each connection on a thread of its own, up to the connection limit (beyond it, 503 at
// once), sessions and the slowing of wrong passwords shared between them.
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
    QThreadPool m_pool;
    std::atomic<int> m_active{0};
    int m_refusing = 0;
};
