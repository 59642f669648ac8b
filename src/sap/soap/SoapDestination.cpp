#include "SoapDestination.h"

#include "RfcFunction.h"
#include "SoapEnvelope.h"
#include "SoapResponseReader.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSettings>
#include <QSslCertificate>
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
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);

    // A manager per call: calls come from the window's thread and from an import's worker.
    QNetworkAccessManager manager;
    auto* jar = new QNetworkCookieJar(&manager);
    {
        QMutexLocker lock(&m_cookiesLock);
        for (const QNetworkCookie& cookie : m_cookies)
            jar->insertCookie(cookie);
    }
    manager.setCookieJar(jar);
    jar->setParent(&manager);

    SoapResponseReader reader(function);
    QNetworkReply* reply = manager.post(request, body);
    // The answer is parsed as it arrives; a bounded buffer makes a fast server wait for us.
    reply->setReadBufferSize(kReadBufferBytes);
    QEventLoop loop;
    bool timedOut = false;
    QObject::connect(reply, &QNetworkReply::errorOccurred, &loop,
                     [&](QNetworkReply::NetworkError code) {
                         // The transfer timeout ends a reply as "cancelled"; the user did not.
                         if (code == QNetworkReply::OperationCanceledError && !function.cancelled())
                             timedOut = true;
                     });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        reader.feed(reply->readAll());
        if (function.cancelled())
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::sslErrors, &loop, [&](const QList<QSslError>& errors) {
        if (trusted(errors))
            reply->ignoreSslErrors(errors);
        else if (!errors.isEmpty())
            m_certificate = fingerprint(errors.front().certificate());
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (reply->isOpen())
        reader.feed(reply->readAll());
    reader.finish();

    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    {
        QMutexLocker lock(&m_cookiesLock);
        m_cookies = jar->cookiesForUrl(url);
    }
    const QNetworkReply::NetworkError error = reply->error();
    answer.tlsError = error == QNetworkReply::SslHandshakeFailedError;
    if (answer.status == 401) {
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              QStringLiteral("the system refused the logon (HTTP 401)"));
    } else if (reader.state() == SoapResponseReader::State::Done) {
        // A complete answer: the call succeeded.
    } else if (reader.state() == SoapResponseReader::State::Fault) {
        function.setException(reader.fault(), reader.faultMessage());
    } else if (function.cancelled()) {
        function.setException(QStringLiteral("CANCELLED"));
    } else if (timedOut) {
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              QStringLiteral("%1 did not answer in time (within %2 seconds)")
                                  .arg(m_base.toString())
                                  .arg(m_timeoutMs / 1000.0));
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
                              QStringLiteral("%1 answered HTTP %2 without a valid SOAP message: %3")
                                  .arg(m_base.toString())
                                  .arg(answer.status)
                                  .arg(reader.problem()));
    }
    reply->deleteLater();
    return answer;
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
    auto* jar = new QNetworkCookieJar(&manager);
    {
        QMutexLocker lock(&m_cookiesLock);
        for (const QNetworkCookie& cookie : m_cookies)
            jar->insertCookie(cookie);
        m_cookies.clear();
    }
    manager.setCookieJar(jar);
    jar->setParent(&manager);
    QNetworkRequest request(url);
    request.setTransferTimeout(5000);
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
