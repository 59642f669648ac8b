#include "sap/soap/SystemCookieJar.h"

namespace
{
int portOf(const QUrl& url)
{
    return url.port(url.scheme().compare(u"https", Qt::CaseInsensitive) == 0 ? 443 : 80);
}
} // namespace

SystemCookieJar::SystemCookieJar(QUrl system, QObject* parent)
    : QNetworkCookieJar(parent), m_system(std::move(system))
{
}

bool SystemCookieJar::sameOrigin(const QUrl& a, const QUrl& b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && portOf(a) == portOf(b);
}

QList<QNetworkCookie> SystemCookieJar::cookiesForUrl(const QUrl& url) const
{
    if (!sameOrigin(url, m_system))
        return {};
    return QNetworkCookieJar::cookiesForUrl(url);
}

bool SystemCookieJar::setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url)
{
    if (!sameOrigin(url, m_system))
        return false;
    return QNetworkCookieJar::setCookiesFromUrl(cookies, url);
}
