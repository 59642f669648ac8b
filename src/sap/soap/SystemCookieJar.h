#pragma once

#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QUrl>

// The cookies of one system: taken only from its own answers and sent only to it, on the same
// scheme, host and port, whatever a server, a cookie's domain or a redirect asks for.
class SystemCookieJar : public QNetworkCookieJar
{
public:
    explicit SystemCookieJar(QUrl system, QObject* parent = nullptr);

    QList<QNetworkCookie> cookiesForUrl(const QUrl& url) const override;
    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;
    // Same scheme, host and port (the scheme's default when none is given).
    static bool sameOrigin(const QUrl& a, const QUrl& b);

private:
    QUrl m_system;
};
