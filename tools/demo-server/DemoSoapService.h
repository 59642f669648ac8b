#pragma once

#include "DemoServerSettings.h"
#include "HttpRequestParser.h"

#include <QString>

class HttpResponseWriter;
class LogonThrottle;
class RfcFunction;
class SessionStore;

// The demo system's RFC SOAP service as one connection sees it: the logoff address, and calls
// to /sap/bc/soap/rfc, each checked with Basic authentication (wrong passwords slowed down),
// each run on a demo destination and database handle of its own, each answered as its rows
// come, at the pace the client reads them.
class DemoSoapService
{
public:
    DemoSoapService(const DemoServerSettings& settings, SessionStore& sessions,
                    LogonThrottle& throttle, QString peer);

    void serve(const HttpRequestParser::Request& request, HttpResponseWriter& writer);

private:
    struct Logon {
        QString user;
        QString password;
        QString client;
        QString language;
        bool basic = false; // the request carried Basic credentials at all
    };

    Logon logonOf(const HttpRequestParser::Request& request) const;
    void logoff(const HttpRequestParser::Request& request, HttpResponseWriter& writer);
    void call(const HttpRequestParser::Request& request, HttpResponseWriter& writer);
    // wholeAnswer: the rows wait until the call is done, so that a failure after some of them
    // (a system out of memory) is still a fault.
    void answer(RfcFunction& function, const QByteArray& body, const QByteArray& setCookie,
                HttpResponseWriter& writer, bool wholeAnswer);
    QByteArray session(const HttpRequestParser::Request& request, const QString& client);
    void unauthorized(const QString& client, HttpResponseWriter& writer);

    const DemoServerSettings& m_settings;
    SessionStore& m_sessions;
    LogonThrottle& m_throttle;
    QString m_peer;
};
