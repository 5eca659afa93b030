#include "applanguagemanager.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "splash.h"
#include "testenvironment.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QSplashScreen>
#include <QTabWidget>
#include <QTimer>

// The start-up rules: the language chosen on the command line, the
// translations folder beside the program, the splash screen.
class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void languageFromArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("code");
        QTest::newRow("no option") << QStringList{"Marevane"} << "";
        QTest::newRow("french") << QStringList{"Marevane", "-lang", "french"} << "fr";
        QTest::newRow("english") << QStringList{"Marevane", "-lang", "english"} << "en";
        QTest::newRow("capital French") << QStringList{"Marevane", "-lang", "French"} << "";
        QTest::newRow("capital option") << QStringList{"Marevane", "-Lang", "french"} << "";
        QTest::newRow("other language") << QStringList{"Marevane", "-lang", "german"} << "";
        QTest::newRow("option alone") << QStringList{"Marevane", "-lang"} << "";
        QTest::newRow("one argument more")
            << QStringList{"Marevane", "-lang", "french", "extra"} << "";
        QTest::newRow("swapped") << QStringList{"Marevane", "french", "-lang"} << "";
        QTest::newRow("empty value") << QStringList{"Marevane", "-lang", ""} << "";
    }
    void languageFromArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, code);
        QCOMPARE(AppLanguageManager::languageFromArguments(arguments), code);
    }

    void localeFor_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("systemLocale");
        QTest::addColumn<QString>("locale");
        QTest::newRow("chosen wins") << "fr" << "de_CH" << "fr";
        QTest::newRow("english chosen") << "en" << "fr_FR" << "en";
        QTest::newRow("French Canada") << "" << "fr_CA" << "fr";
        QTest::newRow("Swiss German") << "" << "de_CH" << "de";
        QTest::newRow("no territory") << "" << "it" << "it";
        QTest::newRow("C locale") << "" << "C" << "C";
    }
    void localeFor()
    {
        QFETCH(QString, code);
        QFETCH(QString, systemLocale);
        QFETCH(QString, locale);
        QCOMPARE(AppLanguageManager::localeFor(code, systemLocale), locale);
    }

    void translationsLieBesideTheProgramFolder()
    {
        QCOMPARE(AppLanguageManager::translationsFolder("/opt/marevane/bin"),
                 QString("/opt/marevane/bin/../Resources/translations"));
        // The test programs sit in the build tree's bin folder, like Marevane.
        const QString folder =
            AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath());
        QVERIFY2(QFile::exists(folder + "/Marevane_fr.qm"), qPrintable(folder));
    }

    void frenchTranslatesTheWindow()
    {
        PromptRecorder prompts;
        AppLanguageManager* manager = AppLanguageManager::instance();
        QVERIFY(manager->loadLanguage(
            "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()),
            "fr"));
        QCOMPARE(manager->currentLocale(), QString("fr"));
        {
            MainWindow window;
            const auto* tabMain = window.findChild<QTabWidget*>("tabMain");
            QCOMPARE(tabMain->tabText(0), QString("Gestion des plongées"));
            QCOMPARE(tabMain->tabText(1), QString("Planification de plongée"));
        }
        QCoreApplication::removeTranslator(manager);
        QVERIFY(prompts.records().isEmpty());
    }

    void missingTranslationKeepsEnglish()
    {
        PromptRecorder prompts;
        AppLanguageManager* manager = AppLanguageManager::instance();
        // There is no English file: the source texts are English.
        QVERIFY(!manager->loadLanguage(
            "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()),
            "en"));
        QCOMPARE(manager->currentLocale(), QString("en"));
        QVERIFY(!manager->loadLanguage("Marevane", "/nonexistent", "fr"));
        MainWindow window;
        QCOMPARE(window.findChild<QTabWidget*>("tabMain")->tabText(0), QString("Dives management"));
    }

    void splashScreenIndex_data()
    {
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<int>("index");
        QTest::newRow("first screen") << QPoint(100, 100) << 0;
        QTest::newRow("second screen") << QPoint(2000, 300) << 1;
        QTest::newRow("right edge of the first") << QPoint(1919, 0) << 0;
        QTest::newRow("left edge of the second") << QPoint(1920, 0) << 1;
        QTest::newRow("on no screen") << QPoint(-50, 5000) << -1;
    }
    void splashScreenIndex()
    {
        QFETCH(QPoint, cursor);
        QFETCH(int, index);
        const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(splash::screenIndexAt(cursor, screens), index);
    }

    void splashClosesOnItsOwnTimer()
    {
        QSplashScreen splashScreen(QPixmap(":/TestGraphics/icons/splashscreen.png"));
        QVERIFY(!splashScreen.pixmap().isNull());
        splashScreen.show();
        splash::closeLater(splashScreen);
        const QList<QTimer*> timers = splashScreen.findChildren<QTimer*>();
        QCOMPARE(timers.size(), 1);
        QTimer* timer = timers.first();
        QVERIFY(timer->isActive());
        QVERIFY(timer->isSingleShot());
        QCOMPARE(timer->interval(), 2000);
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QVERIFY(!splashScreen.isVisible());
    }

    void splashGoneTakesItsTimer()
    {
        auto splashScreen = std::make_unique<QSplashScreen>();
        splash::closeLater(*splashScreen);
        QPointer<QTimer> timer = splashScreen->findChild<QTimer*>();
        QVERIFY(timer);
        splashScreen.reset();
        QVERIFY(timer.isNull());
    }

private:
    using PromptRecorder = testkit::PromptRecorder;
};

MAREVANE_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
