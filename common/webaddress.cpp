#include "webaddress.h"

#include <QHostAddress>
#include <QUrl>

namespace {

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool isHttps(const QUrl& address)
{
    return address.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

int portOf(const QUrl& address)
{
    return address.port(isHttps(address) ? 443 : 80);
}

} // namespace

bool isWebAddress(const QUrl& address)
{
    if (!address.isValid() || address.host().isEmpty())
        return false;
    return isHttps(address) || address.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0;
}

bool isSecureWebAddress(const QUrl& address)
{
    return isWebAddress(address) && (isHttps(address) || isLoopbackHost(address.host()));
}

bool isSameOrigin(const QUrl& a, const QUrl& b)
{
    return isWebAddress(a) && isWebAddress(b) && a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
           && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && portOf(a) == portOf(b);
}
