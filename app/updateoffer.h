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
// (one separator character after the prefix, then three whole numbers joined
// by single dots) must be newer than major.minor.patch of `current`, and its
// archive ("source_url") must come over https (or http to this machine), else a
// warning says so; otherwise nothing is offered.
std::optional<UpdateOffer> findUpdateOffer(const QList<QJsonObject>& media, const ApplicationVersion& current);

// The file name of the installer that the archive `archivePath` holds: the
// archive's name without its suffix, then ".dmg".
QString installerNameFor(const QString& archivePath);

// Creates the folder that the archive `archivePath` unpacks into, beside it
// and named after it without its suffix ("MarevaneDmg_2.10.0"), or, when that
// name is taken, the first of "MarevaneDmg_2.10.0 (2)", "(3)"... that is free:
// the user's files are never unpacked over. Empty when none can be created.
QString createUnpackFolder(const QString& archivePath);
