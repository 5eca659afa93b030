#include "common/applicationversion.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

int versionPart(const QStringList& parts, int index)
{
    return index < parts.size() ? parts.at(index).toInt(nullptr, 10) : 0;
}

} // namespace

ApplicationVersion getApplicationVersion(QApplication*)
{
    const QStringList parts = QCoreApplication::applicationVersion().split(QLatin1Char('.'));
    return {versionPart(parts, 0), versionPart(parts, 1), versionPart(parts, 2), versionPart(parts, 3)};
}

QString shortApplicationVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    const qsizetype lastDot = version.lastIndexOf(QLatin1Char('.'));
    return lastDot < 0 ? version : version.left(lastDot);
}

QString applicationWindowTitle(const QString& title)
{
    return title + QStringLiteral(" - ") + shortApplicationVersion();
}
