#pragma once

#include <QString>
#include <QStringList>

// The addresses of the maker's services, kept in "services.ini" (INI) in the
// data folder beside "options.ini". The file is read once at start and never
// written; the program carries no address of its own, so whatever is missing
// stays unconfigured (empty).
struct ServiceConfig
{
    static constexpr const char* kFileName = "services.ini";

    static constexpr const char* kSiteRoot = "site/root";
    static constexpr const char* kFirmwareContentsUrl = "firmware/contentsUrl";
    static constexpr const char* kFirmwareUser = "firmware/user";
    static constexpr const char* kFirmwareToken = "firmware/token";
    static constexpr const char* kFirmwareDownloadOrigins = "firmware/downloadOrigins";

    // The root of the maker's web site, without a trailing "/".
    QString siteRoot;
    // The contents address of the firmware repository, without a trailing
    // "/", and the user and access token of its Basic authorisation.
    QString firmwareContentsUrl;
    QString firmwareUser;
    QString firmwareToken;
    // The other origins (scheme, host and port) from which the repository
    // serves its images, and which get its credential too.
    QStringList firmwareDownloadOrigins;

    // The services of the data folder `dataFolder`.
    static ServiceConfig read(const QString& dataFolder);

    // The address of `path` on the web site: the root and the path joined by
    // exactly one "/"; empty while no root is configured.
    QString siteAddress(const QString& path) const;
    // `root` and `path` joined by exactly one "/", whatever slashes they
    // bring.
    static QString joinAddress(const QString& root, const QString& path);
};
