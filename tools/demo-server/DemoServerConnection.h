#pragma once

#include "DemoServerSettings.h"

#include <QRunnable>
#include <QtGlobal>

#include <functional>

class HttpRequestParser;
class HttpResponseWriter;
class LogonThrottle;
class QTcpSocket;
class SessionStore;

// One client's connection, served on a worker thread of its own with blocking reads and
// writes, so that a slow or idle client delays nobody else: requests one after the other,
// errors in a request answered with their HTTP status before the connection closes, an idle
// connection closed after the idle time.
class DemoServerConnection : public QRunnable
{
public:
    DemoServerConnection(qintptr descriptor, const DemoServerSettings& settings,
                         SessionStore& sessions, LogonThrottle& throttle,
                         std::function<void()> finished);

    void run() override;

private:
    enum class Received { Request, Failed, Closed };

    Received receive(QTcpSocket& socket, HttpRequestParser& parser, HttpResponseWriter& writer);
    // Reads and drops what the client still sends, for a moment, so that the answer before a
    // close reaches it instead of a reset.
    void linger(QTcpSocket& socket);

    qintptr m_descriptor;
    const DemoServerSettings& m_settings;
    SessionStore& m_sessions;
    LogonThrottle& m_throttle;
    std::function<void()> m_finished;
};
