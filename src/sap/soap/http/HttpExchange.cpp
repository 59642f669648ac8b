#include "sap/soap/http/HttpExchange.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSslSocket>
#include <QTimer>

namespace
{
// Bytes taken from the socket at a time, so that the parsers' buffers stay small.
constexpr qint64 kReadBytes = 64 * 1024;
} // namespace

QString HttpExchange::fingerprint(const QSslCertificate& certificate)
{
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

QByteArray HttpExchange::requestBytes(const Request& request)
{
    const QUrl& url = request.url;
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    const bool secure = url.scheme() == u"https";
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() > 0 && url.port() != (secure ? 443 : 80))
        host += ':' + QByteArray::number(url.port());
    QByteArray text = request.method + ' ' + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    for (const auto& [name, value] : request.headers)
        text += name + ": " + value + "\r\n";
    if (!request.body.isEmpty() || request.method == "POST")
        text += "Content-Length: " + QByteArray::number(request.body.size()) + "\r\n";
    // One exchange per connection: nothing is left open between calls.
    return text + "Connection: close\r\n\r\n" + request.body;
}

// One run of an exchange: the socket, the loop that waits on it, and what ends it.
class HttpExchange::Transfer
{
public:
    Transfer(const Settings& settings, HttpResponseReader& response,
             const HttpResponseReader::Sink& sink)
        : m_settings(settings), m_response(response), m_sink(sink)
    {
        // The socket stops reading from the network when this much waits: the server waits too.
        m_socket.setReadBufferSize(kReadBufferBytes);
        m_sinceProgress.start();
        QObject::connect(&m_socket, &QSslSocket::readyRead, &m_loop, [this] { readable(); });
        QObject::connect(&m_socket, &QAbstractSocket::errorOccurred, &m_loop,
                         [this](QAbstractSocket::SocketError error) { failed(error); });
        QObject::connect(&m_socket, &QAbstractSocket::disconnected, &m_loop, [this] {
            readable();
            finish(m_response.closed() == HttpResponseReader::State::Done ? End::Complete
                                                                          : End::Refused);
        });
        QObject::connect(&m_socket, &QSslSocket::sslErrors, &m_loop,
                         [this](const QList<QSslError>& errors) { checkCertificate(errors); });
        m_watch.setInterval(kWatchMs);
        QObject::connect(&m_watch, &QTimer::timeout, &m_loop, [this] { watch(); });
    }

    Outcome run(const QUrl& url, const QByteArray& request)
    {
        const bool secure = url.scheme() == u"https";
        QObject::connect(&m_socket, secure ? &QSslSocket::encrypted : &QAbstractSocket::connected,
                         &m_loop, [this, request] { m_socket.write(request); });
        const quint16 port = static_cast<quint16>(url.port(secure ? 443 : 80));
        if (secure)
            m_socket.connectToHostEncrypted(url.host(), port);
        else
            m_socket.connectToHost(url.host(), port);
        m_watch.start();
        if (!m_finished)
            m_loop.exec();
        return m_outcome;
    }

private:
    bool cancelled() const { return m_settings.cancelled && m_settings.cancelled(); }
    qint64 progress() const { return m_settings.progress ? m_settings.progress() : m_bytes; }

    void finish(End end)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_outcome.end = end;
        m_socket.abort();
        m_loop.quit();
    }

    // Reads what the socket holds, a piece at a time, through the sink.
    void readable()
    {
        if (m_finished)
            return;
        const HttpResponseReader::Sink counting = [this](QByteArrayView data) {
            m_bytes += data.size();
            return m_sink(data);
        };
        while (m_socket.bytesAvailable() > 0 && !cancelled() &&
               m_response.state() != HttpResponseReader::State::Done &&
               m_response.state() != HttpResponseReader::State::Failed)
            m_response.feed(m_socket.read(kReadBytes), counting);
        if (progress() != m_lastProgress) {
            m_lastProgress = progress();
            m_sinceProgress.restart();
        }
        if (m_response.state() == HttpResponseReader::State::Done)
            finish(End::Complete);
        else if (m_response.state() == HttpResponseReader::State::Failed)
            finish(End::Refused);
    }

    void failed(QAbstractSocket::SocketError error)
    {
        readable();
        if (m_finished)
            return;
        // A body that runs to the close is complete when the server closes.
        if (error == QAbstractSocket::RemoteHostClosedError &&
            m_response.closed() == HttpResponseReader::State::Done) {
            finish(End::Complete);
            return;
        }
        m_outcome.error = m_socket.errorString();
        m_outcome.tlsError = error == QAbstractSocket::SslHandshakeFailedError;
        m_outcome.closedEarly = error == QAbstractSocket::RemoteHostClosedError;
        finish(m_response.state() == HttpResponseReader::State::Failed ? End::Refused
                                                                       : End::NetworkError);
    }

    void checkCertificate(const QList<QSslError>& errors)
    {
        if (m_settings.trusted && m_settings.trusted(errors))
            m_socket.ignoreSslErrors(errors);
        else if (!errors.isEmpty())
            m_outcome.certificate = fingerprint(errors.front().certificate());
    }

    // Every few milliseconds, even while nothing arrives: the cancel flag and the time limit.
    void watch()
    {
        if (cancelled())
            finish(End::Cancelled);
        else if (m_sinceProgress.elapsed() > m_settings.timeoutMs)
            finish(End::TimedOut);
        else if (m_socket.bytesAvailable() > 0)
            readable(); // a cancel that came to nothing left bytes behind
    }

    const Settings& m_settings;
    HttpResponseReader& m_response;
    const HttpResponseReader::Sink& m_sink;
    QSslSocket m_socket;
    QEventLoop m_loop;
    QTimer m_watch;
    QElapsedTimer m_sinceProgress;
    qint64 m_bytes = 0;
    qint64 m_lastProgress = -1;
    bool m_finished = false;
    Outcome m_outcome;
};

HttpExchange::Outcome HttpExchange::run(const Request& request,
                                        const HttpResponseReader::Sink& sink)
{
    m_response = HttpResponseReader(request.method == "HEAD");
    Transfer transfer(m_settings, m_response, sink);
    return transfer.run(request.url, requestBytes(request));
}
