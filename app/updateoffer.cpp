#include "updateoffer.h"

#include "common/webaddress.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonValue>
#include <QStringList>

#include <cstring>

namespace {

bool isVersionCharacter(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
}

// The version of an update title: the whole run of digits and dots after the
// prefix and its separator, read as three numbers (a missing one reads 0).
std::optional<UpdateVersion> versionInTitle(const QString& title)
{
    const qsizetype start = qsizetype(std::strlen(kUpdateTitlePrefix)) + 1;
    qsizetype end = start;
    while (end < title.size() && isVersionCharacter(title.at(end)))
        ++end;
    const QStringList parts = title.mid(start, end - start).split(QLatin1Char('.'));
    if (parts.size() != 3)
        return {};
    return UpdateVersion{parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2).toInt()};
}

} // namespace

QString UpdateVersion::text() const
{
    return QStringLiteral("%1.%2.%3").arg(majorVersion).arg(minorVersion).arg(patchVersion);
}

std::optional<UpdateOffer> findUpdateOffer(const QList<QJsonObject>& media, const ApplicationVersion& current)
{
    const UpdateVersion running{current.majorVersion, current.minorVersion, current.patchVersion};
    for (const QJsonObject& item : media) {
        const QString title = item.value(QLatin1String("title")).toObject().value(QLatin1String("rendered")).toString();
        if (!title.startsWith(QLatin1String(kUpdateTitlePrefix)))
            continue;
        const std::optional<UpdateVersion> version = versionInTitle(title);
        if (!version || *version <= running)
            return {};
        const QUrl archive(item.value(QLatin1String("source_url")).toString());
        if (!isSecureWebAddress(archive)) {
            qWarning().noquote() << "Update archive refused, not an https address:" << archive.toString();
            return {};
        }
        return UpdateOffer{*version, archive};
    }
    return {};
}

QString installerPathFor(const QString& archivePath)
{
    const QFileInfo archive(archivePath);
    return QDir::cleanPath(archive.absolutePath() + QLatin1Char('/') + archive.completeBaseName()
                           + QLatin1String(kInstallerSuffix));
}
