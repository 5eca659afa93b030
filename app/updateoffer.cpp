#include "updateoffer.h"

#include "common/webaddress.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonValue>
#include <QStringList>

#include <array>
#include <cstring>

namespace {

bool isVersionCharacter(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
}

// The version of an update title: the whole run of digits and dots after the
// prefix and its separator, three numbers joined by single dots; anything
// else (an empty part, a number too large) is no version.
std::optional<UpdateVersion> versionInTitle(const QString& title)
{
    const qsizetype start = qsizetype(std::strlen(kUpdateTitlePrefix)) + 1;
    qsizetype end = start;
    while (end < title.size() && isVersionCharacter(title.at(end)))
        ++end;
    const QStringList parts = title.mid(start, end - start).split(QLatin1Char('.'));
    if (parts.size() != 3)
        return {};
    std::array<int, 3> numbers{};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool isNumber = false;
        numbers.at(size_t(i)) = parts.at(i).toInt(&isNumber);
        // The run holds only digits and dots: an empty part is what fails.
        if (!isNumber)
            return {};
    }
    return UpdateVersion{numbers[0], numbers[1], numbers[2]};
}

// The archive's name without its suffix; a name that is all suffix stays whole.
QString archiveBaseName(const QFileInfo& archive)
{
    const QString base = archive.completeBaseName();
    return base.isEmpty() ? archive.fileName() : base;
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

QString installerNameFor(const QString& archivePath)
{
    return archiveBaseName(QFileInfo(archivePath)) + QLatin1String(kInstallerSuffix);
}

QString createUnpackFolder(const QString& archivePath)
{
    // No one would keep a hundred unpacked updates: past that, something is
    // wrong with the folder.
    constexpr int kMaxTries = 100;
    const QFileInfo archive(archivePath);
    const QString base = QDir(archive.absolutePath()).filePath(archiveBaseName(archive));
    for (int number = 1; number <= kMaxTries; ++number) {
        const QString folder = number == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(number);
        // Creating fails on a name already taken, whatever holds it.
        if (QDir().mkdir(folder))
            return folder;
    }
    return {};
}
