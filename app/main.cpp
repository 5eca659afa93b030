#include "applanguagemanager.h"
#include "mainwindow.h"
#include "splash.h"
#include "tessal/simulatedcomputer.h"

#include <QApplication>
#include <QSplashScreen>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    // Linux has no application bundle to supply the version.
    QCoreApplication::setApplicationVersion(MAREVANE_VERSION);

    // The program's own folder, wherever it was started from.
    AppLanguageManager::instance()->loadLanguage(
        "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()),
        AppLanguageManager::languageFromArguments(QCoreApplication::arguments()));

    // No Bluetooth transport is built in: dive computers are reached only
    // through the simulated one.
    const std::unique_ptr<SimulatedComputer> simulatedComputer = SimulatedComputer::fromEnvironment();

    const std::unique_ptr<QSplashScreen> splashScreen = splash::show();
    MainWindow window;
    window.show();
    splash::closeLater(*splashScreen);

    return QApplication::exec();
}
