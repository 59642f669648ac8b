#pragma once

#include "sap/soap/http/HttpResponseReader.h"

#include <QByteArray>
#include <QList>
#include <QSslError>
#include <QUrl>

#include <functional>

// One HTTP/1.1 request and its answer over a connection of its own (TLS for https), in the
// caller's thread, with a local event loop so that a window stays responsive. The answer's body
// goes to a sink as it arrives, and is read from the network only as fast as the sink takes it:
// whatever the server sends, the exchange holds about kReadBufferBytes of it. It ends when the
// answer is complete, when the sink refuses more, when the caller's cancel flag is set (looked
// at every kWatchMs), or when it makes no progress for the time limit.
class HttpExchange
{
public:
    static constexpr qint64 kReadBufferBytes = 1 << 20;
    static constexpr int kWatchMs = 50;

    enum class End { Complete, Refused, Cancelled, TimedOut, NetworkError };

    struct Request {
        QByteArray method = "POST";
        QUrl url;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };

    struct Settings {
        int timeoutMs = 60000;
        // True when the caller wants the exchange to end now.
        std::function<bool()> cancelled;
        // A counter the sink advances when it makes progress; without it, bytes count.
        std::function<qint64()> progress;
        // True when the user trusts the certificate these errors are about.
        std::function<bool(const QList<QSslError>& errors)> trusted;
    };

    struct Outcome {
        End end = End::NetworkError;
        QString error;            // what went wrong on the network, for the user
        bool tlsError = false;    // the TLS handshake failed
        bool closedEarly = false; // the server or the way closed the connection mid-answer
        QString certificate;      // SHA-256 fingerprint of a certificate not trusted
    };

    explicit HttpExchange(Settings settings) : m_settings(std::move(settings)) {}

    Outcome run(const Request& request, const HttpResponseReader::Sink& sink);
    // The answer's status and header, once run() has read them.
    const HttpResponseReader& response() const { return m_response; }

    static QString fingerprint(const QSslCertificate& certificate);

private:
    class Transfer;
    static QByteArray requestBytes(const Request& request);

    Settings m_settings;
    HttpResponseReader m_response;
};
