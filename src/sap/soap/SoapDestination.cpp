#include "sap/soap/SoapDestination.h"
#include "shell/FaultTexts.h"

#include "sap/RfcFunction.h"
#include "sap/soap/SoapEnvelope.h"
#include "sap/soap/SoapResponseReader.h"
#include "sap/soap/SystemCookieJar.h"
#include "shell/BoundedFile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSslCertificate>
#include <QUrlQuery>

namespace
{
QString fingerprint(const QSslCertificate& certificate)
{
    return HttpExchange::fingerprint(certificate);
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
    if (QFileInfo::exists(trustFile) &&
        !BoundedFile::fits(trustFile, BoundedFile::kLargestStateFile))
        return false;
    QSettings store(trustFile, QSettings::IniFormat);
    store.setValue(systemKey(base), fingerprint);
    store.sync();
    return store.status() == QSettings::NoError;
}

QString SoapDestination::fingerprintIn(const QString& error)
{
    static const QRegularExpression pattern(
        QStringLiteral("certifica(?:te|do) SHA-256 ([0-9A-F:]+)"));
    return pattern.match(error).captured(1);
}

bool SoapDestination::trusted(const QList<QSslError>& errors) const
{
    if (errors.isEmpty() || m_trustFile.isEmpty())
        return false;
    // The user's list of a few fingerprints; anything else in its place is not read.
    if (!BoundedFile::fits(m_trustFile, BoundedFile::kLargestStateFile))
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
    HttpExchange::Request request;
    request.url = m_base;
    request.url.setPath(QStringLiteral("/sap/bc/soap/rfc"));
    QUrlQuery query;
    // Without a client the system logs on to its default client.
    if (!m_data.client.isEmpty())
        query.addQueryItem(QStringLiteral("sap-client"), m_data.client);
    if (!m_data.language.isEmpty())
        query.addQueryItem(QStringLiteral("sap-language"), m_data.language);
    request.url.setQuery(query);
    request.headers = {
        {"Content-Type", "text/xml; charset=utf-8"},
        {"SOAPAction", SoapEnvelope::kNamespace},
        {"Authorization", "Basic " + (m_data.user + u':' + m_data.password).toUtf8().toBase64()}};
    request.body = body;

    SoapResponseReader reader(function);
    HttpExchange::Settings settings;
    settings.timeoutMs = m_timeoutMs;
    settings.cancelled = [&function] { return function.cancelled(); };
    settings.progress = [&reader] { return reader.rowsRead(); };
    settings.trusted = [this](const QList<QSslError>& errors) { return trusted(errors); };
    HttpExchange exchange(settings);
    // The answer is parsed as it arrives; what follows a complete or refused answer is not read.
    const HttpExchange::Outcome outcome =
        exchange.run(withCookies(request), [&reader](QByteArrayView data) {
            reader.feed(data.toByteArray());
            return reader.state() == SoapResponseReader::State::Reading;
        });
    keepCookies(exchange.response(), request.url);
    const bool refused = reader.state() == SoapResponseReader::State::NotSoap;
    reader.finish();
    if (!outcome.certificate.isEmpty())
        m_certificate = outcome.certificate;

    answer.status = exchange.response().status();
    answer.tlsError = outcome.tlsError;
    // A certificate refused is no broken way; a socket that failed or closed early is.
    const bool broken = (outcome.end == HttpExchange::End::NetworkError && !outcome.tlsError) ||
                        outcome.closedEarly;
    if (answer.status == 401) {
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              FaultTexts::get(FaultText::LogonRefusedHttp));
    } else if (reader.state() == SoapResponseReader::State::Done) {
        // A complete answer: the call succeeded.
    } else if (reader.state() == SoapResponseReader::State::Fault) {
        function.setException(reader.fault(), reader.faultMessage());
    } else if (outcome.end == HttpExchange::End::Cancelled) {
        function.setException(QStringLiteral("CANCELLED"));
    } else if (outcome.end == HttpExchange::End::TimedOut) {
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              FaultTexts::get(FaultText::CallTimedOut)
                                  .arg(m_base.toString(), QString::number(m_timeoutMs / 1000.0)));
    } else if (answer.status >= 300 && answer.status < 400) {
        const QByteArray location = exchange.response().header("location");
        const BiText target = location.isEmpty() ? FaultTexts::get(FaultText::RedirectNowhere)
                                                 : BiText::same(QString::fromUtf8(location));
        const BiText text = FaultTexts::get(FaultText::Redirect);
        const QString status = QString::number(answer.status);
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              BiText{text.en.arg(m_base.toString(), status, target.en),
                                     text.pt.arg(m_base.toString(), status, target.pt)});
    } else if (outcome.end == HttpExchange::End::NetworkError && answer.status == 0) {
        answer.networkError = outcome.error;
        function.setConnectionLost(broken);
        function.setException(
            QStringLiteral("SYSTEM_FAILURE"),
            answer.tlsError && !m_certificate.isEmpty()
                ? BiText::same(answer.networkError) +
                      FaultTexts::get(FaultText::CertificateFingerprint).arg(m_certificate)
                : BiText::same(answer.networkError));
    } else {
        function.setConnectionLost(broken);
        // The SOAP reader's own refusal says most; else what the HTTP layer found.
        const BiText& transport = exchange.response().problem();
        const BiText& problem = refused || transport.isEmpty() ? reader.problem() : transport;
        const BiText text = FaultTexts::get(FaultText::NoValidAnswer);
        const QString base = m_base.toString();
        const QString status = QString::number(answer.status);
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              BiText{text.en.arg(base, status, function.name(), problem.en),
                                     text.pt.arg(base, status, function.name(), problem.pt)});
    }
    return answer;
}

HttpExchange::Request SoapDestination::withCookies(HttpExchange::Request request) const
{
    SystemCookieJar jar(m_base);
    {
        QMutexLocker lock(&m_cookiesLock);
        for (const QNetworkCookie& cookie : m_cookies)
            jar.insertCookie(cookie);
    }
    QByteArray header;
    for (const QNetworkCookie& cookie : jar.cookiesForUrl(request.url)) {
        if (!header.isEmpty())
            header += "; ";
        header += cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
    }
    if (!header.isEmpty())
        request.headers.append({"Cookie", header});
    return request;
}

void SoapDestination::keepCookies(const HttpResponseReader& response, const QUrl& url)
{
    SystemCookieJar jar(m_base);
    QMutexLocker lock(&m_cookiesLock);
    for (const QNetworkCookie& cookie : m_cookies)
        jar.insertCookie(cookie);
    for (const QByteArray& header : response.headers("set-cookie"))
        jar.setCookiesFromUrl(QNetworkCookie::parseCookies(header), url);
    m_cookies = jar.cookiesForUrl(url);
}

RfcDestination::LogonResult SoapDestination::logon(const LogonData& data)
{
    LogonResult result;
    m_data = data;
    // A cheap real call proves the user, password and client now, not at the first read.
    RfcFunction probe(QStringLiteral("RFC_READ_TABLE"), this);
    probe.setImport(QStringLiteral("QUERY_TABLE"), QStringLiteral("T000"));
    probe.setImport(QStringLiteral("NO_DATA"), QStringLiteral("X"));
    probe.table(QStringLiteral("FIELDS"));
    const Answer answer = post(SoapEnvelope::request(probe), probe);
    if (answer.status == 401) {
        result.error = BiText::same(QStringLiteral("Name or password is incorrect (repeat logon)"));
    } else if (probe.exception() == u"SYSTEM_FAILURE") {
        result.error =
            probe.message().isEmpty() ? BiText::same(probe.exception()) : probe.messageText();
    } else {
        result.ok = true;
        QMutexLocker lock(&m_cookiesLock);
        result.systemId = systemIdFromCookies(m_cookies);
        result.hostName = m_base.host();
    }
    if (!result.ok)
        m_data.password.clear();
    return result;
}

void SoapDestination::logoff()
{
    HttpExchange::Request request;
    request.method = "GET";
    request.url = m_base;
    request.url.setPath(QStringLiteral("/sap/public/bc/icf/logoff"));
    request = withCookies(request);
    {
        QMutexLocker lock(&m_cookiesLock);
        m_cookies.clear();
    }
    HttpExchange::Settings settings;
    settings.timeoutMs = kLogoffTimeoutMs;
    settings.trusted = [this](const QList<QSslError>& errors) { return trusted(errors); };
    // The session ends with this request; its answer, and any redirect, do not matter.
    HttpExchange(settings).run(request, [](QByteArrayView) { return true; });
    m_data.password.clear();
}

bool SoapDestination::call(RfcFunction& function)
{
    // The function's interface tables travel by themselves (RfcFunction::interfaceTables).
    post(SoapEnvelope::request(function), function);
    return function.exception().isEmpty();
}

QString SoapDestination::details() const
{
    return QStringLiteral("Service: ") + m_base.toString() + QStringLiteral("/sap/bc/soap/rfc");
}
