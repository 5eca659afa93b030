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

} // namespace

bool isSecureWebAddress(const QUrl& address)
{
    if (!address.isValid() || address.isRelative() || address.host().isEmpty())
        return false;
    const QString scheme = address.scheme().toLower();
    return scheme == QLatin1String("https")
           || (scheme == QLatin1String("http") && isLoopbackHost(address.host()));
}
