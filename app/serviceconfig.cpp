#include "serviceconfig.h"

#include <QSettings>

namespace {

QString withoutTrailingSlashes(QString text)
{
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

} // namespace

ServiceConfig ServiceConfig::read(const QString& dataFolder)
{
    const QSettings file(dataFolder + '/' + kFileName, QSettings::IniFormat);
    ServiceConfig config;
    config.siteRoot = withoutTrailingSlashes(file.value(kSiteRoot).toString().trimmed());
    config.firmwareContentsUrl = withoutTrailingSlashes(file.value(kFirmwareContentsUrl).toString().trimmed());
    config.firmwareUser = file.value(kFirmwareUser).toString().trimmed();
    config.firmwareToken = file.value(kFirmwareToken).toString().trimmed();
    // A comma-separated list; one origin reads as a single text.
    for (const QString& origin : file.value(kFirmwareDownloadOrigins).toStringList()) {
        if (!origin.trimmed().isEmpty())
            config.firmwareDownloadOrigins << origin.trimmed();
    }
    return config;
}

QString ServiceConfig::siteAddress(const QString& path) const
{
    return siteRoot.isEmpty() ? QString() : joinAddress(siteRoot, path);
}

QString ServiceConfig::joinAddress(const QString& root, const QString& path)
{
    qsizetype start = 0;
    while (start < path.size() && path.at(start) == QLatin1Char('/'))
        ++start;
    return withoutTrailingSlashes(root) + QLatin1Char('/') + path.mid(start);
}
