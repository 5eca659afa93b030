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
