#include "HttpExchange.h"

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

HttpExchange::Outcome HttpExchange::run(const Request& request,
                                        const HttpResponseReader::Sink& sink)
{
    Outcome outcome;
    m_response = HttpResponseReader(request.method == "HEAD");
    QSslSocket socket;
    // The socket stops reading from the network when this much waits: the server waits too.
    socket.setReadBufferSize(kReadBufferBytes);
    QEventLoop loop;
    qint64 bytes = 0;
    qint64 lastProgress = -1;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    const auto progress = [&] { return m_settings.progress ? m_settings.progress() : bytes; };
    bool finished = false;
    const auto finish = [&](End end) {
        if (finished)
            return;
        finished = true;
        outcome.end = end;
        socket.abort();
        loop.quit();
    };
    const HttpResponseReader::Sink counting = [&](QByteArrayView data) {
        bytes += data.size();
        return sink(data);
    };
    const auto readable = [&] {
        while (socket.bytesAvailable() > 0 &&
               m_response.state() != HttpResponseReader::State::Done &&
               m_response.state() != HttpResponseReader::State::Failed) {
            m_response.feed(socket.read(kReadBytes), counting);
            if (m_settings.cancelled && m_settings.cancelled())
                break;
        }
        if (progress() != lastProgress) {
            lastProgress = progress();
            sinceProgress.restart();
        }
        if (finished)
            return;
        if (m_response.state() == HttpResponseReader::State::Done)
            finish(End::Complete);
        else if (m_response.state() == HttpResponseReader::State::Failed)
            finish(End::Refused);
    };
    QObject::connect(&socket, &QSslSocket::readyRead, &loop, readable);
    QObject::connect(
        &socket, &QAbstractSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
            if (finished)
                return;
            readable();
            if (error == QAbstractSocket::RemoteHostClosedError &&
                m_response.closed() == HttpResponseReader::State::Done) {
                finish(End::Complete);
                return;
            }
            outcome.error = socket.errorString();
            outcome.tlsError = error == QAbstractSocket::SslHandshakeFailedError;
            finish(m_response.state() == HttpResponseReader::State::Failed ? End::Refused
                                                                           : End::NetworkError);
        });
    QObject::connect(&socket, &QAbstractSocket::disconnected, &loop, [&] {
        if (finished)
            return;
        readable();
        finish(m_response.closed() == HttpResponseReader::State::Done ? End::Complete
                                                                      : End::Refused);
    });
    QObject::connect(&socket, &QSslSocket::sslErrors, &loop, [&](const QList<QSslError>& errors) {
        if (m_settings.trusted && m_settings.trusted(errors))
            socket.ignoreSslErrors(errors);
        else if (!errors.isEmpty())
            outcome.certificate = fingerprint(errors.front().certificate());
    });
    const QByteArray bytesOut = requestBytes(request);
    const bool secure = request.url.scheme() == u"https";
    QObject::connect(&socket, secure ? &QSslSocket::encrypted : &QAbstractSocket::connected, &loop,
                     [&] { socket.write(bytesOut); });
    QTimer watch;
    watch.setInterval(kWatchMs);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (m_settings.cancelled && m_settings.cancelled())
            finish(End::Cancelled);
        else if (sinceProgress.elapsed() > m_settings.timeoutMs)
            finish(End::TimedOut);
        else if (socket.bytesAvailable() > 0)
            readable(); // a sink that stopped reading early left bytes behind
    });
    const quint16 port = static_cast<quint16>(request.url.port(secure ? 443 : 80));
    if (secure)
        socket.connectToHostEncrypted(request.url.host(), port);
    else
        socket.connectToHost(request.url.host(), port);
    watch.start();
    if (!finished)
        loop.exec();
    return outcome;
}
