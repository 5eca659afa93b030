#include "aboutbox.h"
#include "applanguagemanager.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTextDocumentFragment>

namespace {

// The least room the about box keeps right of a link.
constexpr int kLinkMargin = 10;

bool loadLanguage(const QString& code)
{
    return AppLanguageManager::instance()->loadLanguage(
        "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()), code);
}

enum class WindowSize { Form, Maximised, MaximisedLater };

// The window at the size of its form or maximised on the screen, at once or
// after it was shown at the form's size; true once it is shown at that size.
bool showAt(MainWindow& window, WindowSize size)
{
    if (size == WindowSize::Maximised)
        window.showMaximized();
    else
        window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QCoreApplication::processEvents();
    if (size == WindowSize::MaximisedLater) {
        window.showMaximized();
        QCoreApplication::processEvents();
    }
    if (size == WindowSize::Form)
        return window.size() == QSize(1274, 763);
    return window.isMaximized() && window.size() == window.screen()->availableGeometry().size();
}

QLabel* link(AboutBox& box, const char* name)
{
    return box.findChild<QLabel*>(name);
}

} // namespace

Q_DECLARE_METATYPE(WindowSize)

// What the window shows fits where it shows it, at the size of the form and
// maximised, in English and in French.
class WindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void cleanup()
    {
        loadLanguage("en");
        QCOMPARE(MainWindow::instance, nullptr);
    }

    void windowSizes_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<WindowSize>("size");
        for (const char* language : {"en", "fr"}) {
            QTest::addRow("%s, form size", language) << language << WindowSize::Form;
            QTest::addRow("%s, maximised", language) << language << WindowSize::Maximised;
            QTest::addRow("%s, maximised later", language) << language << WindowSize::MaximisedLater;
        }
    }

    void aboutLinksShowTheirWholeText_data() { windowSizes_data(); }
    void aboutLinksShowTheirWholeText()
    {
        QFETCH(QString, language);
        QFETCH(WindowSize, size);
        QCOMPARE(loadLanguage(language), language == "fr");
        testkit::writeDataFile("services.ini", "[site]\nroot=https://maker.example\n");
        MainWindow window;
        QVERIFY(showAt(window, size));
        QVERIFY(testkit::clickMenuBar(*window.menuBar(), QCoreApplication::translate("MainWindowClass", "Help"),
                                      QCoreApplication::translate("MainWindowClass", "About")));
        QCOMPARE(window.findChildren<AboutBox*>().size(), 1);
        AboutBox& box = *window.findChildren<AboutBox*>().first();
        const QSize image = box.size();
        QCOMPARE(image, QSize(640, 420));

        const std::pair<const char*, QPoint> places[] = {{"lbWebsite", {480, 250}}, {"lbLicense", {480, 280}}};
        for (const auto& [name, place] : places) {
            const QLabel& label = *link(box, name);
            const QString text = QTextDocumentFragment::fromHtml(label.text()).toPlainText();
            const int needed = QFontMetrics(label.font()).horizontalAdvance(text);
            QVERIFY2(needed <= label.contentsRect().width(),
                     qPrintable(QStringLiteral("%1: %2 > %3").arg(text).arg(needed).arg(label.width())));
            QVERIFY2(box.rect().contains(label.geometry()), qPrintable(text));
            // The link keeps its place, or grows leftwards from it.
            QCOMPARE(label.y(), place.y());
            QVERIFY(label.x() <= place.x());
            if (place.x() + label.width() <= image.width() - kLinkMargin)
                QCOMPARE(label.x(), place.x());
            else
                QCOMPARE(label.x() + label.width(), image.width() - kLinkMargin);
        }
        QTest::mouseClick(box.findChild<QPushButton*>("btOk"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(WindowLayoutTest)
#include "tst_windowlayout.moc"
