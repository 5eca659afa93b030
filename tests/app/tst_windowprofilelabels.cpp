#include "testenvironment.h"

#include "applanguagemanager.h"
#include "divelistopen.h"
#include "mainwindow.h"
#include "promptrecorder.h"

#include "divedb/divedb.h"
#include "divemodel/diveanalysis.h"
#include "graphics/graphview.h"

#include <QDir>
#include <QFontMetrics>
#include <QtTest>

namespace {

constexpr int kLast = 180;

// A 30-minute dive sampled every 10 s at 20 °C and 200 bar, whose
// temperature rises, with `temperature`, at the start of its last 10 s, just
// before the graph's right edge: the curve rises to the label's point from
// below, clear of the label.
Dive diveChangingAtTheEnd(bool temperature)
{
    Dive dive;
    dive.name = QStringLiteral("Labels");
    dive.computerSerial = QStringLiteral("P1");
    for (int i = 0; i <= kLast; ++i) {
        DiveLine line;
        line.timeSec = 10.0 * i;
        line.depth = i == 0 || i == kLast ? 0.0 : 18.0;
        line.ambientTemp = 20.0;
        line.tankPressure = 200;
        dive.lines.append(line);
    }
    if (temperature) {
        for (const int i : {kLast - 1, kLast})
            dive.lines[i].ambientTemp = 28.0;
    }
    DiveAnalysis::calculateMaxTimeDepth(dive);
    DiveAnalysis::calculateSpeeds(dive, false);
    return dive;
}

int storeDive(MainWindow& window, const Dive& dive)
{
    DiveDb::instance()->storeDive(dive);
    window.updateDiveList();
    return DiveDb::instance()->getDiveByName(dive.name, DiveDb::storedSerial(dive.computerSerial));
}

// Pixels of a label's colour in a box of the viewport.
int inkOf(const QImage& image, const QRect& box, bool blue)
{
    int count = 0;
    const QRect inside = box & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += blue ? c.blue() > 150 && c.red() < 100 && c.green() < 100
                          : c.green() - std::max(c.red(), c.blue()) > 40 && c.green() < 200;
        }
    }
    return count;
}

} // namespace

// The profile of the dive log as a person sees it: the temperature and tank
// labels read whole inside the graph, at every window size and in both languages.
class WindowProfileLabelsTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        AppLanguageManager::instance()->loadLanguage("Marevane", QDir(testkit::appDataFolder()).filePath("none"), "en");
    }

    void curveLabelsStayInsideTheGraph_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("temperature");
        for (const char* language : {"en", "fr"}) {
            for (const bool maximised : {false, true}) {
                for (const bool temperature : {true, false})
                    QTest::addRow("%s, %s, %s label", language, maximised ? "maximised" : "default size",
                                  temperature ? "temperature" : "tank")
                        << QString::fromLatin1(language) << maximised << temperature;
            }
        }
    }

    void curveLabelsStayInsideTheGraph()
    {
        QFETCH(QString, language);
        QFETCH(bool, maximised);
        QFETCH(bool, temperature);
        AppLanguageManager::instance()->loadLanguage("Marevane", QDir(testkit::appDataFolder()).filePath("none"),
                                                     language);
        MainWindow window;
        if (maximised)
            window.showMaximized();
        else
            window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Dive dive = diveChangingAtTheEnd(temperature);
        dive.name = QString::fromLatin1(QTest::currentDataTag());
        testkit::openFromList(window, storeDive(window, dive));
        QCoreApplication::processEvents();

        GraphView& view = *window.diveLogView();
        DiveProfileItem& item = *view.mProfile;
        // The stored samples keep their tank pressures as the computer logged
        // them; the rise at the end is made on the dive shown.
        if (!temperature) {
            for (const int i : {kLast - 1, kLast})
                item.dive()->lines[i].tankPressure = 250;
            item.update();
            view.viewport()->repaint();
        }
        const DiveLine& labelled = item.dive()->lines.at(kLast - 1);
        QCOMPARE(item.dive()->lines.size(), kLast + 1);
        QPointF temperatureAt;
        QPointF tankAt;
        item.diveLineToGraphCoordinates(labelled, &temperatureAt, &tankAt);
        const QPoint anchor = view.mapFromScene(temperature ? temperatureAt : tankAt);
        const QString text = temperature ? QStringLiteral("28°C") : QStringLiteral("%1b").arg(labelled.tankPressure);
        const QFontMetrics metrics(QFont(QStringLiteral("Arial"), 10));
        const int width = metrics.horizontalAdvance(text);
        const int graphRight = view.mapFromScene(item.graphRect().topRight()).x();
        // The label cannot read right of its point: it reads left of it, whole.
        QVERIFY2(anchor.x() + 5 + width > graphRight, "the change lies too far from the right edge");
        const int top = anchor.y() - 5 - metrics.ascent();
        const int bottom = anchor.y() - 3;
        const QRect left(QPoint(anchor.x() - 5 - width, top), QPoint(anchor.x() - 2, bottom));
        const QRect right(QPoint(anchor.x() + 2, top), QPoint(graphRight, bottom));
        const QImage image = view.viewport()->grab().toImage();

        QVERIFY2(inkOf(image, left, temperature) > 10, qPrintable(QStringLiteral("%1 in %2 px").arg(text).arg(width)));
        QCOMPARE(inkOf(image, right, temperature), 0);
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(WindowProfileLabelsTest)
#include "tst_windowprofilelabels.moc"
