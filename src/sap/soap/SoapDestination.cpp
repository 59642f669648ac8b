#include "SoapDestination.h"

#include "RfcFunction.h"
#include "SoapEnvelope.h"
#include "SoapResponseReader.h"
#include "SystemCookieJar.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSettings>
#include <QSslCertificate>
#include <QTimer>
#include <QUrlQuery>

namespace
{
QString fingerprint(const QSslCertificate& certificate)
{
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

QString systemKey(const QUrl& url)
{
    return url.host() + u'_' + QString::number(url.port(url.scheme() == u"https" ? 443 : 80));
}
} // namespace

SoapDestination::SoapDestination(QUrl base, QString trustFile, int timeoutMs)
    : m_base(std::move(base)), m_trustFile(std::move(trustFile)), m_timeoutMs(timeoutMs)
{
}

QUrl SoapDestination::baseUrl(const QString& system, const QString& host)
{
    const QString address =
        system.startsWith(QStringLiteral("http"), Qt::CaseInsensitive) || host.isEmpty() ? system
                                                                                         : host;
    QUrl url = QUrl::fromUserInput(
        address.contains(QStringLiteral("://")) ? address : QStringLiteral("http://") + address);
    url.setPath(QString());
    url.setQuery(QString());
    return url;
}

QString SoapDestination::systemIdFromCookies(const QList<QNetworkCookie>& cookies)
{
    for (const QNetworkCookie& cookie : cookies) {
        const QString name = QString::fromLatin1(cookie.name());
        if (name.startsWith(QStringLiteral("SAP_SESSIONID_")))
            return name.section(u'_', 2, 2);
    }
    return {};
}

bool SoapDestination::trust(const QString& trustFile, const QUrl& base, const QString& fingerprint)
{
    if (trustFile.isEmpty() || fingerprint.isEmpty())
        return false;
    QSettings store(trustFile, QSettings::IniFormat);
    store.setValue(systemKey(base), fingerprint);
    store.sync();
    return store.status() == QSettings::NoError;
}

QString SoapDestination::fingerprintIn(const QString& error)
{
    static const QRegularExpression pattern(QStringLiteral("certificate SHA-256 ([0-9A-F:]+)"));
    return pattern.match(error).captured(1);
}

bool SoapDestination::trusted(const QList<QSslError>& errors) const
{
    if (errors.isEmpty() || m_trustFile.isEmpty())
        return false;
    const QSettings store(m_trustFile, QSettings::IniFormat);
    const QString expected = store.value(systemKey(m_base)).toString();
    for (const QSslError& error : errors) {
        if (expected.isEmpty() || fingerprint(error.certificate()) != expected)
            return false;
    }
    return true;
}

SoapDestination::Answer SoapDestination::post(const QByteArray& body, RfcFunction& function)
{
    Answer answer;
    QUrl url = m_base;
    url.setPath(QStringLiteral("/sap/bc/soap/rfc"));
    QUrlQuery query;
    // Without a client the system logs on to its default client.
    if (!m_data.client.isEmpty())
        query.addQueryItem(QStringLiteral("sap-client"), m_data.client);
    if (!m_data.Language.isEmpty())
        query.addQueryItem(QStringLiteral("sap-language"), m_data.Language);
    url.setQuery(query);

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("text/xml; charset=utf-8"));
    request.setRawHeader("SOAPAction", SoapEnvelope::kNamespace);
    request.setRawHeader("Authorization",
                         "Basic " + (m_data.User + u':' + m_data.Password).toUtf8().toBase64());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);

    // A manager per call: calls come from the window's thread and from an import's worker.
    QNetworkAccessManager manager;
    manager.setCookieJar(cookieJar());

    SoapResponseReader reader(function);
    QNetworkReply* reply = manager.post(request, body);
    // The answer is parsed as it arrives; a bounded buffer makes a fast server wait for us.
    reply->setReadBufferSize(kReadBufferBytes);
    QEventLoop loop;
    bool timedOut = false;
    qint64 rowsSeen = 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    // The call ends when the caller cancels, or when no row has come for the time limit,
    // even while the server sends nothing at all.
    // Ends the call now. Qt reports an HTTP error status itself when such a reply ends; one
    // aborted as well would report twice, so it is left to go with the manager instead.
    const auto stop = [&] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->isRunning() && status < 400)
            reply->abort();
        loop.quit();
    };
    QTimer watch;
    watch.setInterval(kWatchMs);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (sinceProgress.elapsed() > m_timeoutMs)
            timedOut = true;
        if (timedOut || function.cancelled())
            stop();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        reader.feed(reply->readAll());
        if (reader.rowsRead() != rowsSeen) {
            rowsSeen = reader.rowsRead();
            sinceProgress.restart();
        }
        // Whatever follows a complete or refused answer is not read.
        if (function.cancelled() || reader.state() != SoapResponseReader::State::Reading)
            stop();
    });
    QObject::connect(reply, &QNetworkReply::sslErrors, &loop, [&](const QList<QSslError>& errors) {
        if (trusted(errors))
            reply->ignoreSslErrors(errors);
        else if (!errors.isEmpty())
            m_certificate = fingerprint(errors.front().certificate());
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    watch.start();
    loop.exec();
    watch.stop();
    if (reply->isOpen() && reader.state() == SoapResponseReader::State::Reading &&
        !function.cancelled() && !timedOut)
        reader.feed(reply->readAll());
    reader.finish();

    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    keepCookies(*manager.cookieJar(), url);
    const QNetworkReply::NetworkError error = reply->error();
    answer.tlsError = error == QNetworkReply::SslHandshakeFailedError;
    const QString redirect =
        reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl().toString();
    if (answer.status == 401) {
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              QStringLiteral("the system refused the logon (HTTP 401)"));
    } else if (reader.state() == SoapResponseReader::State::Done) {
        // A complete answer: the call succeeded.
    } else if (reader.state() == SoapResponseReader::State::Fault) {
        function.setException(reader.fault());
    } else if (function.cancelled()) {
        function.setException(QStringLiteral("CANCELLED"));
    } else if (timedOut) {
        function.setException(
            QStringLiteral("SYSTEM_FAILURE"),
            QStringLiteral("%1 made no progress for %2 seconds, the time limit of a call")
                .arg(m_base.toString())
                .arg(m_timeoutMs / 1000.0));
    } else if (answer.status >= 300 && answer.status < 400) {
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              QStringLiteral("%1 answered HTTP %2, a redirect to %3, which is not "
                                             "followed: give the system's own address")
                                  .arg(m_base.toString())
                                  .arg(answer.status)
                                  .arg(redirect.isEmpty() ? QStringLiteral("nowhere") : redirect));
    } else if (error != QNetworkReply::NoError && answer.status == 0) {
        answer.networkError = reply->errorString();
        function.setException(
            QStringLiteral("SYSTEM_FAILURE"),
            answer.tlsError && !m_certificate.isEmpty()
                ? answer.networkError +
                      QStringLiteral(" (certificate SHA-256 %1)").arg(m_certificate)
                : answer.networkError);
    } else {
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              QStringLiteral("%1 answered HTTP %2 with no valid %3 answer: %4")
                                  .arg(m_base.toString())
                                  .arg(answer.status)
                                  .arg(function.name(), reader.problem()));
    }
    reply->deleteLater();
    return answer;
}

QNetworkCookieJar* SoapDestination::cookieJar() const
{
    auto* jar = new SystemCookieJar(m_base);
    QMutexLocker lock(&m_cookiesLock);
    for (const QNetworkCookie& cookie : m_cookies)
        jar->insertCookie(cookie);
    return jar;
}

void SoapDestination::keepCookies(const QNetworkCookieJar& jar, const QUrl& url)
{
    QMutexLocker lock(&m_cookiesLock);
    m_cookies = jar.cookiesForUrl(url);
}

RfcDestination::LogonResult SoapDestination::logon(const LogonData& data)
{
    LogonResult result;
    m_data = data;
    // A cheap real call proves the user, password and client now, not at the first read.
    RfcFunction probe(QStringLiteral("RFC_READ_TABLE"), this);
    probe.Exports(QStringLiteral("QUERY_TABLE")).Value = QStringLiteral("T000");
    probe.Exports(QStringLiteral("NO_DATA")).Value = QStringLiteral("X");
    probe.Tables(QStringLiteral("FIELDS"));
    const Answer answer = post(SoapEnvelope::request(probe), probe);
    if (answer.status == 401) {
        result.error = QStringLiteral("Name or password is incorrect (repeat logon)");
    } else if (probe.exception() == u"SYSTEM_FAILURE") {
        result.error = probe.message().isEmpty() ? probe.exception() : probe.message();
    } else {
        result.ok = true;
        QMutexLocker lock(&m_cookiesLock);
        result.SystemID = systemIdFromCookies(m_cookies);
        result.HostName = m_base.host();
    }
    if (!result.ok)
        m_data.Password.clear();
    return result;
}

void SoapDestination::logoff()
{
    QUrl url = m_base;
    url.setPath(QStringLiteral("/sap/public/bc/icf/logoff"));
    QNetworkAccessManager manager;
    manager.setCookieJar(cookieJar());
    {
        QMutexLocker lock(&m_cookiesLock);
        m_cookies.clear();
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(5000);
    // The session ends with this request; a redirect is not followed anywhere.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    m_data.Password.clear();
}

bool SoapDestination::call(RfcFunction& function)
{
    if (function.findTable(QStringLiteral("DATA")) == nullptr)
        function.Tables(QStringLiteral("DATA"));
    post(SoapEnvelope::request(function), function);
    return function.exception().isEmpty();
}

QString SoapDestination::details() const
{
    return QStringLiteral("Service: ") + m_base.toString() + QStringLiteral("/sap/bc/soap/rfc");
}
