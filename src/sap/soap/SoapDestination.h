#pragma once

#include "sap/RfcDestination.h"
#include "sap/soap/http/HttpExchange.h"

#include <QList>
#include <QMutex>
#include <QNetworkCookie>
#include <QUrl>

// A real ABAP system reached through its RFC SOAP service (/sap/bc/soap/rfc) over HTTP(S):
// Basic authentication, the session cookie kept and sent back to that system only, no redirect
// followed, certificates verified (or a system's own certificate trusted explicitly), faults
// turned into exceptions. Whatever the server does, a call holds bounded memory, ends when it
// reads no row for the time limit, and ends soon after its caller cancels it.
// Calls may come from any thread; each uses a network manager of its own.
class SoapDestination : public RfcDestination
{
public:
    // A call that reads no row for this long ends with an error.
    static constexpr int kTimeoutMs = 60000;
    static constexpr int kLogoffTimeoutMs = 5000;

    // trustFile: where fingerprints of certificates the user trusts are kept, per system.
    // timeoutMs: how long a call may go without reading a row.
    SoapDestination(QUrl base, QString trustFile, int timeoutMs = kTimeoutMs);

    LogonResult logon(const LogonData& data) override;
    void logoff() override;
    bool call(RfcFunction& function) override;
    QString details() const override;

    // "https://host:port", "http://host:port" or "host:port" (HTTP) as a service address.
    static QUrl baseUrl(const QString& system, const QString& host);
    static QString systemIdFromCookies(const QList<QNetworkCookie>& cookies);
    // Records that the user trusts this system's own certificate (by its SHA-256 fingerprint).
    static bool trust(const QString& trustFile, const QUrl& base, const QString& fingerprint);
    // The fingerprint a logon error names, or empty.
    static QString fingerprintIn(const QString& error);

private:
    struct Answer {
        int status = 0;
        QString networkError;
        bool tlsError = false;
    };
    Answer post(const QByteArray& body, RfcFunction& function);
    // The request with the session's cookies for its address.
    HttpExchange::Request withCookies(HttpExchange::Request request) const;
    // Takes the cookies the system set in its answer.
    void keepCookies(const HttpResponseReader& response, const QUrl& url);
    bool trusted(const QList<QSslError>& errors) const;

    QUrl m_base;
    QString m_trustFile;
    int m_timeoutMs;
    LogonData m_data;
    mutable QMutex m_cookiesLock;
    QList<QNetworkCookie> m_cookies;
    QString m_certificate; // fingerprint of the last untrusted certificate met
};
