#include "divedb/divedb.h"
#include "divelistopen.h"
#include "graphics/graphview.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QIcon>
#include <QImage>
#include <QPushButton>
#include <QLineEdit>
#include <QMap>
#include <QStyle>
#include <QTableWidget>

namespace {

constexpr const char* kGreen = ":/TestGraphics/icons/Led_Green.png";
constexpr const char* kOrange = ":/TestGraphics/icons/Led_Orange.png";
constexpr const char* kRed = ":/TestGraphics/icons/Led_Red.png";

// The line edits of the Summary, User information and Computer panes.
const char* const kPaneFields[] = {"edDiveName",     "edDateTime", "edDuration",        "edMaxDepth",
                                   "edAverageDepth", "edDiveMode", "edWaterType",       "edSurfacePressure",
                                   "edGFs",          "edPlace",    "edSite",            "edBuddy",
                                   "edComputerName", "edSampleInterval", "edComputerSerial"};

DiveDb* db()
{
    return DiveDb::instance();
}

DiveLine sample(double time, double depth)
{
    DiveLine line;
    line.timeSec = time;
    line.depth = depth;
    line.ambientTemp = 18;
    return line;
}

DiveGas gas(double o2, double he, divecore::MixtureUse use = divecore::MixtureUse::OpenCircuit)
{
    DiveGas mixture;
    mixture.setFractionO2(o2);
    mixture.setFractionHe(he);
    mixture.use = use;
    return mixture;
}

// A closed-circuit dive in fresh water of 42:10 down to 24.4 m, with every
// field of the panes set.
Dive reefWall()
{
    Dive dive;
    dive.name = "Reef wall";
    dive.computerName = "Blue";
    dive.computerSerial = "S-42";
    dive.computerModel = 1;
    dive.beginTime = 1700000000; // 14/11/2023 22:13:20 UTC
    dive.samplePeriod = 4;
    dive.divemode = 1;
    dive.density = 1;
    dive.surfacePressure = 1013;
    dive.gfLow = 30;
    dive.gfHigh = 85;
    dive.place = "Cove";
    dive.site = "North reef";
    dive.buddy = "Ana";
    dive.gases = {gas(0.21, 0.0), gas(0.18, 0.45, divecore::MixtureUse::Bailout)};
    dive.lines = {sample(0, 0), sample(600, 24.4), sample(1200, 16.0), sample(2530.7, 0)};
    return dive;
}

// An open-circuit dive in salt water that differs from reefWall in every pane.
Dive lagoon()
{
    Dive dive;
    dive.name = "Lagoon";
    dive.computerName = "Red";
    dive.computerSerial = "S-7";
    dive.computerModel = 1;
    dive.beginTime = 1710000000;
    dive.samplePeriod = 2;
    dive.divemode = 0;
    dive.density = 0;
    dive.surfacePressure = 990;
    dive.gfLow = 40;
    dive.gfHigh = 70;
    dive.place = "Bay";
    dive.site = "Sandy";
    dive.buddy = "Leo";
    dive.gases = {gas(0.32, 0.0)};
    dive.lines = {sample(0, 0), sample(300, 8.0), sample(900, 0)};
    return dive;
}

int store(const Dive& dive)
{
    if (db()->storeDive(dive) != DiveDb::Success)
        return -1;
    return db()->getDiveByName(dive.name, dive.computerSerial);
}

template<typename T>
T* child(const MainWindow& window, const char* name)
{
    return window.findChild<T*>(name);
}

// What the panes show: every field, then one "name|O2|He|Type" per gas row.
QMap<QString, QString> paneTexts(const MainWindow& window)
{
    QMap<QString, QString> texts;
    for (const char* field : kPaneFields)
        texts.insert(field, child<QLineEdit>(window, field)->text());
    const auto* gases = child<QTableWidget>(window, "tblGases");
    for (int row = 0; row < gases->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < gases->columnCount(); ++column) {
            const QTableWidgetItem* cell = gases->item(row, column);
            cells.append(cell ? cell->text() : QStringLiteral("(empty)"));
        }
        texts.insert(QStringLiteral("gas %1").arg(row), cells.join('|'));
    }
    return texts;
}

QStringList gasRows(const MainWindow& window)
{
    QStringList rows;
    const QMap<QString, QString> texts = paneTexts(window);
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        if (it.key().startsWith("gas "))
            rows.append(it.value());
    }
    return rows;
}

// Whether the image holds the colour of the middle of the lamp image `path`,
// as a lamp drawn at its own size shows it.
bool showsColourOf(const QImage& image, const char* path)
{
    const QRgb lamp = QIcon(path).pixmap(16).toImage().pixel(8, 8);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == lamp)
                return true;
        }
    }
    return false;
}

// Whether the line edit shows its whole text, without scrolling it.
bool showsWholeText(const QLineEdit& edit)
{
    const int frame = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &edit);
    // QLineEdit keeps 2 px on each side of its text.
    const int room = edit.width() - 2 * frame - 4 - edit.textMargins().left() - edit.textMargins().right();
    return edit.fontMetrics().horizontalAdvance(edit.text()) <= room;
}

} // namespace

// The dive detail panes of the main window: Summary with its alert lamps,
// User information, Computer and Gases, the show boxes, and the room the
// information area leaves to the profile.
class DetailsPanesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Dates are local: a zone away from UTC shows that they are.
        testkit::TestEnvironment::setTimeZone("Europe/Paris");
    }

    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void cleanup() { QCOMPARE(MainWindow::instance, nullptr); }

    void storedDiveFillsEveryPane()
    {
        MainWindow window;
        const int id = store(reefWall());
        QVERIFY(id >= 0);
        window.updateDiveList();
        testkit::openFromList(window, id);

        const QString date =
            QLocale::system().toString(QDateTime(QDate(2023, 11, 14), QTime(23, 13, 20)), QLocale::LongFormat);
        const QMap<QString, QString> expected{
            {"edDiveName", "Reef wall"},     {"edDateTime", date},          {"edDuration", "42:10"},
            {"edMaxDepth", "24.4m"},         {"edAverageDepth", "10.1m"},   {"edDiveMode", "Closed Circuit"},
            {"edWaterType", "Fresh"},        {"edSurfacePressure", "1013mb"}, {"edGFs", "30/85"},
            {"edPlace", "Cove"},             {"edSite", "North reef"},      {"edBuddy", "Ana"},
            {"edComputerName", "Blue"},      {"edSampleInterval", "4sec"},  {"edComputerSerial", "S-42"},
            {"gas 0", "Air|21|0|OC"},        {"gas 1", "Tx18/45|18|45|BO"}};
        QCOMPARE(paneTexts(window), expected);
        QVERIFY(!child<QPushButton>(window, "btSaveUserInformation")->isEnabled());
        QVERIFY(mPrompts.records().isEmpty());
    }

    void secondDiveReplacesEveryPane()
    {
        int first = -1;
        int second = -1;
        QMap<QString, QString> alone;
        {
            // The window opens the database.
            MainWindow window;
            first = store(reefWall());
            second = store(lagoon());
            testkit::openFromList(window, second);
            alone = paneTexts(window);
        }
        MainWindow window;
        testkit::openFromList(window, first);
        const QMap<QString, QString> before = paneTexts(window);
        child<QLineEdit>(window, "edBuddy")->setText("Someone else");
        mPrompts.answer(int(QMessageBox::No));
        testkit::openFromList(window, second);

        QCOMPARE(paneTexts(window), alone);
        QCOMPARE(child<QTableWidget>(window, "tblGases")->rowCount(), 1);
        for (const char* field : kPaneFields)
            QVERIFY2(before.value(field) != alone.value(field), field);
        QVERIFY(!child<QPushButton>(window, "btSaveUserInformation")->isEnabled());
        QCOMPARE(mPrompts.records().size(), 1);
    }

    void diveModeAndWater_data()
    {
        QTest::addColumn<int>("divemode");
        QTest::addColumn<int>("density");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("water");
        QTest::newRow("open circuit, salt") << 0 << 0 << "Open Circuit" << "Salt";
        QTest::newRow("closed circuit, fresh") << 1 << 1 << "Closed Circuit" << "Fresh";
        QTest::newRow("semi-closed, any density") << 4 << 3 << "Semi Closed Circuit" << "Fresh";
        QTest::newRow("free dive") << 5 << 0 << "Free Dive" << "Salt";
        QTest::newRow("2 is unknown") << 2 << 0 << "Unknown" << "Salt";
        QTest::newRow("255 is unknown") << 255 << 1 << "Unknown" << "Fresh";
    }
    void diveModeAndWater()
    {
        QFETCH(int, divemode);
        QFETCH(int, density);
        MainWindow window;
        Dive dive = reefWall();
        dive.divemode = quint8(divemode);
        dive.density = quint8(density);
        show(window, dive);
        QTEST(child<QLineEdit>(window, "edDiveMode")->text(), "mode");
        QTEST(child<QLineEdit>(window, "edWaterType")->text(), "water");
    }

    void gasesTable_data()
    {
        using divecore::MixtureUse;
        QTest::addColumn<QList<DiveGas>>("gases");
        QTest::addColumn<QStringList>("rows");
        DiveGas legacy = gas(0.50, 0.0);
        legacy.legacyClassByte = 2;
        DiveGas legacyBailout = gas(0.21, 0.35, MixtureUse::Bailout);
        legacyBailout.legacyClassByte = 1;
        DiveGas travel = gas(0.125, 0.0);
        travel.mName = "Travel";
        QTest::newRow("air and a bail-out trimix")
            << QList<DiveGas>{gas(0.21, 0.0), gas(0.18, 0.45, MixtureUse::Bailout)}
            << QStringList{"Air|21|0|OC", "Tx18/45|18|45|BO"};
        QTest::newRow("a diluent without class byte is open circuit")
            << QList<DiveGas>{gas(0.21, 0.0, MixtureUse::Diluent)} << QStringList{"Air|21|0|OC"};
        QTest::newRow("any class byte is closed circuit")
            << QList<DiveGas>{legacy, legacyBailout} << QStringList{"Nx50|50|0|CC", "Tx21/35|21|35|CC"};
        QTest::newRow("halves away from zero") << QList<DiveGas>{travel} << QStringList{"Travel|13|0|OC"};
        QTest::newRow("no gases") << QList<DiveGas>{} << QStringList{};
    }
    void gasesTable()
    {
        QFETCH(QList<DiveGas>, gases);
        MainWindow window;
        Dive dive = reefWall();
        dive.gases = gases;
        show(window, dive);
        QTEST(gasRows(window), "rows");
        const auto* table = child<QTableWidget>(window, "tblGases");
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 1; column < 4; ++column)
                QCOMPARE(table->item(row, column)->textAlignment(), int(Qt::AlignCenter));
        }
    }

    void alertLamps_data()
    {
        QTest::addColumn<quint32>("word");
        QTest::addColumn<int>("alertsAI");
        // Ceil, High O2, Battery, Ascent, AI.
        QTest::addColumn<QStringList>("icons");
        const QString g = kGreen, o = kOrange, r = kRed;
        QTest::newRow("none") << 0x0u << 0 << QStringList{g, g, g, g, g};
        QTest::newRow("ceiling 1") << 0x1u << 0 << QStringList{o, g, g, g, g};
        QTest::newRow("ceiling 2") << 0x2u << 0 << QStringList{o, g, g, g, g};
        QTest::newRow("ceiling 3") << 0x3u << 0 << QStringList{r, g, g, g, g};
        QTest::newRow("high O2 1") << 0x4u << 0 << QStringList{g, o, g, g, g};
        QTest::newRow("high O2 2") << 0x8u << 0 << QStringList{g, o, g, g, g};
        QTest::newRow("high O2 3") << 0xCu << 0 << QStringList{g, r, g, g, g};
        QTest::newRow("battery 1 is red") << 0x100u << 0 << QStringList{g, g, r, g, g};
        QTest::newRow("battery 2") << 0x200u << 0 << QStringList{g, g, o, g, g};
        QTest::newRow("battery 3") << 0x300u << 0 << QStringList{g, g, r, g, g};
        QTest::newRow("ascent") << 0x400u << 0 << QStringList{g, g, g, o, g};
        QTest::newRow("AI bit 0") << 0x10000u << 0 << QStringList{g, g, g, g, r};
        QTest::newRow("AI bit 2") << 0x40000u << 0 << QStringList{g, g, g, g, r};
        QTest::newRow("AI bit 4") << 0x100000u << 0 << QStringList{g, g, g, g, r};
        QTest::newRow("AI bit 6") << 0x400000u << 0 << QStringList{g, g, g, g, r};
        QTest::newRow("odd bits of byte 2") << 0xAA0000u << 0 << QStringList{g, g, g, g, g};
        QTest::newRow("unread bits") << 0xF8F0u << 0 << QStringList{g, g, g, g, g};
        QTest::newRow("air-integration word ignored") << 0x0u << 0xFF << QStringList{g, g, g, g, g};
        QTest::newRow("together") << 0x010607u << 0 << QStringList{r, o, o, o, r};
    }
    void alertLamps()
    {
        QFETCH(quint32, word);
        QFETCH(int, alertsAI);
        MainWindow window;
        // A dive of another alert word first: each lamp is set, not only raised.
        Dive dive = reefWall();
        dive.alertsPelavix = 0xFFFFFF;
        show(window, dive);
        dive.alertsPelavix = word;
        dive.alertsAI = quint8(alertsAI);
        show(window, dive);
        QStringList icons;
        for (const char* lamp : {"alertCeil", "alertHighO2", "alertBattery", "alertDpdt", "alertAI"})
            icons.append(child<QPushButton>(window, lamp)->property("iconPath").toString());
        QTEST(icons, "icons");
    }

    void showBoxes_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("flag");
        QTest::newRow("points") << "ckPoints" << 0;
        QTest::newRow("temperature") << "ckTemperature" << 1;
        QTest::newRow("deco") << "ckDeco" << 2;
        QTest::newRow("alerts") << "ckAlerts" << 3;
        QTest::newRow("gases") << "ckGases" << 4;
        QTest::newRow("max depth") << "ckMaxDepth" << 5;
        QTest::newRow("tank pressure") << "ckTankPressure" << 6;
    }
    void showBoxes()
    {
        QFETCH(QString, box);
        QFETCH(int, flag);
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const DiveProfileItem& profile = *window.diveLogView()->mProfile;
        const QList<bool> before = flags(profile.shownItems());
        auto* check = window.findChild<QCheckBox*>(box);
        QTest::mouseClick(check, Qt::LeftButton, {}, check->rect().center());

        QList<bool> expected = before;
        expected[flag] = !expected[flag];
        QCOMPARE(flags(profile.shownItems()), expected);
        QCOMPARE(check->isChecked(), expected[flag]);
        QTest::mouseClick(check, Qt::LeftButton, {}, check->rect().center());
        QCOMPARE(flags(profile.shownItems()), before);
    }

    void profileGetsTheRoom()
    {
        MainWindow window;
        const int id = store(reefWall());
        window.resize(1280, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        testkit::openFromList(window, id);
        QCoreApplication::processEvents();

        const QSize view = window.diveLogView()->size();
        QVERIFY2(view.width() >= 800 && view.height() >= 320,
                 qPrintable(QStringLiteral("%1x%2").arg(view.width()).arg(view.height())));
        QCOMPARE(child<QWidget>(window, "wdInformations")->height(),
                 child<QWidget>(window, "wdInformations")->minimumSizeHint().height());
        const auto* date = child<QLineEdit>(window, "edDateTime");
        QVERIFY(date->text().size() > 20);
        QVERIFY2(showsWholeText(*date), qPrintable(QString::number(date->width())));
    }

    // The Summary and the Gases tab as a person sees them: each lamp in its
    // colour, every gas row whole.
    void summaryAndGasesAsShown()
    {
        MainWindow window;
        Dive dive = reefWall();
        // A dive of the Pelavix computer, whose samples carry its alerts.
        dive.computerModel = 2;
        dive.lines[2].pelavixAlerts = 0x0607;
        dive.lines[2].pelavixAlerts2 = 0x01;
        const int id = store(dive);
        window.resize(1280, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        testkit::openFromList(window, id);
        QCoreApplication::processEvents();

        const QImage summary = window.grab().toImage();
        const QPair<const char*, const char*> lamps[] = {{"alertCeil", kRed},
                                                         {"alertHighO2", kOrange},
                                                         {"alertBattery", kOrange},
                                                         {"alertDpdt", kOrange},
                                                         {"alertAI", kRed}};
        for (const auto& [name, icon] : lamps) {
            const auto* lamp = child<QPushButton>(window, name);
            const QImage shown = summary.copy(QRect(lamp->mapTo(&window, QPoint(0, 0)), lamp->size()));
            for (const char* colour : {kGreen, kOrange, kRed})
                QVERIFY2(showsColourOf(shown, colour) == (colour == icon), qPrintable(QStringLiteral("%1: %2").arg(name, colour)));
        }

        auto* tabs = child<QTabWidget>(window, "tabProfile");
        tabs->setCurrentWidget(child<QWidget>(window, "tabGases"));
        QCoreApplication::processEvents();
        QCOMPARE(gasRows(window), (QStringList{"Air|21|0|OC", "Tx18/45|18|45|BO"}));
        const auto* gases = child<QTableWidget>(window, "tblGases");
        QVERIFY(gases->isVisible());
        const int margin = gases->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, gases) + 1;
        for (int row = 0; row < gases->rowCount(); ++row) {
            for (int column = 0; column < gases->columnCount(); ++column) {
                const QTableWidgetItem* cell = gases->item(row, column);
                const QRect room = gases->visualItemRect(cell);
                QVERIFY2(QFontMetricsF(gases->font()).horizontalAdvance(cell->text()) <= room.width() - 2 * margin,
                         qPrintable(cell->text()));
                QVERIFY(gases->viewport()->rect().contains(room));
            }
        }
    }

private:
    static QList<bool> flags(const ShowItemsState& state)
    {
        return {state.points, state.temperature,  state.deco,        state.alerts,
                state.gases,  state.maxDepth,     state.tankPressure};
    }

    // Shows `dive` as the dive list would once it has read it.
    static void show(MainWindow& window, const Dive& dive)
    {
        window.mCurrentDive = dive;
        window.showCurrentDive();
        window.updateDiveInfos();
    }

    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(DetailsPanesTest)

#include "tst_detailspanes.moc"
