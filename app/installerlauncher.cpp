#include "installerlauncher.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

namespace {

class SystemInstallerLauncher final : public InstallerLauncher
{
public:
    bool open(const QString& installerPath) override
    {
#ifdef Q_OS_MACOS
        const QString opener = QStringLiteral("open");
#else
        const QString opener = QStringLiteral("xdg-open");
#endif
        return QProcess::startDetached(opener, {installerPath});
    }

    void quit() override { QCoreApplication::quit(); }
};

InstallerLauncher* gInstalled = nullptr;

} // namespace

InstallerLauncher::~InstallerLauncher() = default;

InstallerLauncher& InstallerLauncher::current()
{
    static SystemInstallerLauncher system;
    return gInstalled ? *gInstalled : system;
}

void InstallerLauncher::install(InstallerLauncher* launcher)
{
    gInstalled = launcher;
}
