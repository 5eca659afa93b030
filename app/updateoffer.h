#pragma once

#include "common/applicationversion.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>

#include <compare>
#include <optional>

// The update archives on the maker's site: the media titled
// "MarevaneDmg_2.10.0" is the ZIP archive of version 2.10.0, which holds the
// installer disk image of the archive's name with this suffix.
inline constexpr char kUpdateTitlePrefix[] = "MarevaneDmg";
inline constexpr char kInstallerSuffix[] = ".dmg";

struct UpdateVersion
{
    int majorVersion = 0;
    int minorVersion = 0;
    int patchVersion = 0;

    auto operator<=>(const UpdateVersion&) const = default;
    // "2.10.0".
    QString text() const;
};

struct UpdateOffer
{
    UpdateVersion version;
    QUrl archiveUrl;
};

// What the site's media listing offers over the running version `current`.
// The first media whose title starts with the prefix decides: its version
// (one separator character after the prefix, then three numbers joined by
// dots) must be newer than major.minor.patch of `current`, and its archive
// ("source_url") must come over https (or http to this machine), else a
// warning says so; otherwise nothing is offered.
std::optional<UpdateOffer> findUpdateOffer(const QList<QJsonObject>& media, const ApplicationVersion& current);

// The installer that the archive `archivePath` unpacks beside itself: its
// folder, its name without the suffix, then ".dmg".
QString installerPathFor(const QString& archivePath);
