#include "computerkit.h"
#include "devicekit.h"
#include "device/computerroute.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QString lastSyslogDir()
{
    return QSettings(testkit::appDataFolder() + "/settings.cfg", QSettings::IniFormat).value("directories/lastSyslogDir").toString();
}

QuelmSession* session(MainWindow& window)
{
    return window.findChild<QuelmSession*>();
}

QLabel* computerImage(MainWindow& window)
{
    return window.findChild<QLabel*>("imgPelavix");
}

SysLogRecord record(char fill)
{
    SysLogRecord bytes;
    bytes.fill(fill);
    return bytes;
}

} // namespace

// The computer menu and the computer image of the main window, reached with
// the mouse as the user does, against the simulated computer.
class ComputerActionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void cleanup() { testkit::closeShownMenus(); }

    void route_data()
    {
        QTest::addColumn<quint32>("version");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("menuId");
        QTest::addColumn<bool>("check");
        QTest::addColumn<bool>("download");
        for (const int id : {1, 0}) {
            const char* entry = id == 1 ? "download" : "firmware";
            QTest::addRow("2.0.10 normal %s", entry) << 0x02000AFFu << 1 << id << true << true;
            QTest::addRow("2.0.10 bootloader %s", entry) << 0x02000AFFu << 2 << id << false << false;
            QTest::addRow("2.0.11 normal %s", entry) << 0x02000B00u << 1 << id << true << (id == 1);
            QTest::addRow("2.0.11 bootloader %s", entry) << 0x02000B00u << 2 << id << true << (id == 1);
        }
        // The top byte is compared unsigned.
        QTest::newRow("major 255") << 0xFF000000u << 2 << 1 << true << true;
    }
    void route()
    {
        QFETCH(quint32, version);
        QFETCH(int, mode);
        QFETCH(int, menuId);
        QFETCH(bool, check);
        QFETCH(bool, download);
        const ComputerRoute route = routeComputerAction(version, mode, menuId);
        QCOMPARE(route.checkNewerFirmware, check);
        QCOMPARE(route.dialog == ComputerRoute::Dialog::Download, download);
    }

    void menuEntriesReachTheirDialog_data()
    {
        QTest::addColumn<quint32>("version");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("opened");
        const QString download = "Download dives";
        const QString firmware = "Install firmware/bootloader";
        QTest::newRow("2.0.10 normal, firmware entry") << 0x02000AFFu << 1 << firmware << "Import Dives";
        QTest::newRow("2.0.10 bootloader, download entry") << 0x02000AFFu << 2 << download << "Firmware";
        QTest::newRow("2.0.11 normal, download entry") << 0x02000B00u << 1 << download << "Import Dives";
        QTest::newRow("2.0.11 normal, firmware entry") << 0x02000B00u << 1 << firmware << "Firmware";
        QTest::newRow("2.0.11 bootloader, download entry") << 0x02000B00u << 2 << download << "Import Dives";
        QTest::newRow("2.0.11 bootloader, firmware entry") << 0x02000B00u << 2 << firmware << "Firmware";
    }
    void menuEntriesReachTheirDialog()
    {
        QFETCH(quint32, version);
        QFETCH(int, mode);
        QFETCH(QString, entry);
        QFETCH(QString, opened);
        SimulatedComputer computer;
        computer.script.firmwareVersion = version;
        computer.script.mode = quint8(mode);
        MainWindow window;
        showWindow(window);
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog());
        QVERIFY(testkit::chooseComputerMenu(window, entry));

        QStringList asked;
        for (const testkit::PromptRecord& record : mPrompts.records())
            asked << record.kind + ": " + record.title;
        const QString second = opened == "Firmware" ? "dialog: Firmware" : "dialog: Import Dives";
        QCOMPARE(asked, (QStringList{"dialog: Bluetooth Connection", second}));
    }

    void ownerNameIsSet_data()
    {
        QTest::addColumn<QString>("typed"); // null: the dialog is cancelled
        QTest::addColumn<QList<QByteArray>>("written");
        QTest::newRow("set") << "Marc Dupré" << QList<QByteArray>{ownerField("Marc Dupré")};
        QTest::newRow("cancelled") << QString() << QList<QByteArray>{};
        QTest::newRow("empty") << "" << QList<QByteArray>{};
    }
    void ownerNameIsSet()
    {
        QFETCH(QString, typed);
        QFETCH(QList<QByteArray>, written);
        SimulatedComputer computer;
        computer.script.ownerName = "Léa";
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();
        QString preset;
        mPrompts.answerDialog(testkit::runDialog([&](QDialog& dialog) {
            preset = ownerEditor(dialog)->text();
            if (!typed.isNull())
                typeOwnerName(dialog, typed);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Program name"));
        testkit::settle();

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().at(0).kind, QStringLiteral("dialog"));
        QCOMPARE(mPrompts.records().at(0).title, QStringLiteral("Set owner"));
        QCOMPARE(preset, QStringLiteral("Léa"));
        QCOMPARE(computer.requests().owners, written);
        QCOMPARE(computer.requests().commands.mid(4), QList<int>{22});
    }

    void ownerNameTakesWhatFits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        // 49 characters, 54 bytes.
        QTest::newRow("accented name") << QStringLiteral("Jérôme Plongeur-Éléonore de la Tour d'Auvergne-Ké")
                                       << QStringLiteral("Jérôme Plongeur-Éléonore de ");
        QTest::newRow("two-byte characters across the end") << QString(31, 'a') + QString(18, QChar(0xE9))
                                                           << QString(31, 'a');
        QTest::newRow("four-byte characters") << "aa" + QStringLiteral("🐠").repeated(47)
                                              << "aa" + QStringLiteral("🐠").repeated(7);
        QTest::newRow("exactly the field") << QString(32, 'z') << QString(32, 'z');
    }
    void ownerNameTakesWhatFits()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        SimulatedComputer computer;
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();
        QString shown;
        mPrompts.answerDialog(testkit::runDialog([&](QDialog& dialog) {
            shown = typeOwnerName(dialog, typed);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Program name"));
        testkit::settle();

        QCOMPARE(shown, kept);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(computer.requests().owners, QList<QByteArray>{ownerField(kept)});
        QCOMPARE(OwnerName::fromBytes(computer.requests().owners.first()).text(), kept);
    }

    void ownerNameTooLongIsRefused()
    {
        SimulatedComputer computer;
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();
        const QString name = QStringLiteral("Jérôme Plongeur-Éléonore de la Tour d'Auvergne-Ké");
        mPrompts.answerDialog(testkit::runDialog([&](QDialog& dialog) {
            // Put there by the program, not typed.
            dialog.show();
            ownerEditor(dialog)->setText(name);
            QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Program name"));
        testkit::settle();

        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(1).kind, QStringLiteral("warning"));
        QCOMPARE(mPrompts.records().at(1).title, QStringLiteral("Set owner"));
        QCOMPARE(mPrompts.records().at(1).text,
                 "The owner name is too long: the computer keeps at most 32 bytes of it in UTF-8, and \"" + name
                     + "\" takes 54.");
        QVERIFY(computer.requests().owners.isEmpty());
    }

    void refusedInBootloaderMode_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("refused");
        QTest::newRow("owner name, bootloader") << "Program name" << 2 << true;
        QTest::newRow("owner name, other mode") << "Program name" << 0 << true;
        QTest::newRow("system log, bootloader") << "Get system logs" << 2 << true;
        QTest::newRow("system log, other mode") << "Get system logs" << 0 << false;
    }
    void refusedInBootloaderMode()
    {
        QFETCH(QString, entry);
        QFETCH(int, mode);
        QFETCH(bool, refused);
        SimulatedComputer computer;
        computer.script.mode = quint8(mode);
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();
        mPrompts.answerDialog(testkit::runDialog());
        QVERIFY(testkit::chooseComputerMenu(window, entry));
        testkit::settle();
        QVERIFY(!mPrompts.records().isEmpty());
        QCOMPARE(mPrompts.records().at(0).kind, refused ? QStringLiteral("warning") : QStringLiteral("dialog"));
        if (refused) {
            QCOMPARE(mPrompts.records().size(), 1);
            QCOMPARE(mPrompts.records().at(0).title, QStringLiteral("Warning"));
            QCOMPARE(mPrompts.records().at(0).text, QStringLiteral("The computer is in Bootloader mode"));
        }
        QCOMPARE(computer.requests().commands.size(), refused ? 4 : 5);
    }

    void stuckOwnerRequestAskedAgainOpensOneDialog()
    {
        SimulatedComputer computer;
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();
        computer.stallNext(PelavixCommand::OwnerName);
        QVERIFY(testkit::chooseComputerMenu(window, "Program name"));
        testkit::settle();
        QVERIFY(mPrompts.records().isEmpty());

        mPrompts.answerDialog(testkit::runDialog([](QDialog& dialog) { typeOwnerName(dialog, "Nouveau"); }));
        QVERIFY(testkit::chooseComputerMenu(window, "Program name"));
        testkit::settle();
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(computer.requests().owners.size(), 1);

        // Each later choice asks once again.
        mPrompts.answerDialog(testkit::runDialog());
        QVERIFY(testkit::chooseComputerMenu(window, "Program name"));
        testkit::settle();
        QCOMPARE(mPrompts.records().size(), 2);
    }

    void lostLinkDropsTheOwnerRequest()
    {
        SimulatedComputer computer;
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        computer.stallNext(PelavixCommand::OwnerName);
        QVERIFY(testkit::chooseComputerMenu(window, "Program name"));
        computer.dropLink();
        testkit::settle();
        mPrompts.clear();

        // Connected again: the old request opens nothing, the new one once.
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog());
        QVERIFY(testkit::chooseComputerMenu(window, "Program name"));
        testkit::settle();
        QStringList asked;
        for (const testkit::PromptRecord& record : mPrompts.records())
            asked << record.kind + ": " + record.title;
        QCOMPARE(asked, (QStringList{"dialog: Bluetooth Connection", "dialog: Set owner"}));
    }

    void textSysLogIsSaved()
    {
        SimulatedComputer computer;
        computer.script.firmwareVersion = 0x02000AFF;
        computer.script.serialNumber = "PX-9";
        computer.script.sysLogText = "boot ok\nbattery 87 %\ndernière ligne";
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();
        const QString path = mFiles.filePath("text.syslog");
        QString busyText;
        mPrompts.answerDialog(testkit::runDialog([&busyText](QDialog& dialog) {
            busyText = static_cast<QProgressDialog&>(dialog).labelText();
        }));
        mPrompts.answer(path);
        QVERIFY(testkit::chooseComputerMenu(window, "Get system logs"));

        QCOMPARE(computer.requests().commands.last(), 2);
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(1).kind, QStringLiteral("saveFile"));
        QCOMPARE(mPrompts.records().at(1).title, QStringLiteral("Save Syslog"));
        QCOMPARE(mPrompts.records().at(1).filter, QStringLiteral("Syslog files (*.syslog)"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(!content.contains('\n'));
        const QStringList lines = QString::fromUtf8(QByteArray::fromBase64(content)).split('\n');
        QCOMPARE(lines.size(), 8);
        QCOMPARE(lines.at(0), QStringLiteral("-------------------- SYSLOG HEADER --------------------"));
        QVERIFY2(QRegularExpression(R"(^Extraction date: \d\d/\d\d/\d{4}_\d\d:\d\d:\d\d$)").match(lines.at(1)).hasMatch(),
                 qPrintable(lines.at(1)));
        QCOMPARE(lines.at(2), "Computer model: " + computer.script.modelText);
        QCOMPARE(lines.at(3), QStringLiteral("Serial number: PX-9"));
        QCOMPARE(lines.at(4), QStringLiteral("-------------------- SYSLOG BODY --------------------"));
        QCOMPARE(lines.mid(5), (QStringList{"boot ok", "battery 87 %", "dernière ligne"}));
        QCOMPARE(lastSyslogDir(), mFiles.path());
        QCOMPARE(busyText, QStringLiteral("Get syslog..."));
    }

    void emptyTextSysLogOffersNoFile()
    {
        SimulatedComputer computer;
        computer.script.firmwareVersion = 0x02000AFF;
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();
        mPrompts.answerDialog(testkit::runDialog());
        QVERIFY(testkit::chooseComputerMenu(window, "Get system logs"));
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().at(0).kind, QStringLiteral("dialog"));
    }

    void binarySysLogIsSaved_data()
    {
        QTest::addColumn<int>("records");
        QTest::newRow("none") << 0;
        QTest::newRow("three") << 3;
    }
    void binarySysLogIsSaved()
    {
        QFETCH(int, records);
        SimulatedComputer computer;
        computer.script.firmwareVersion = 0x02000B00;
        for (int i = 0; i < records; ++i)
            computer.script.sysLogRecords.append(record(char('a' + i)));
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        const QString path = mFiles.filePath("binary.syslog");
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answer(path);
        QVERIFY(testkit::chooseComputerMenu(window, "Get system logs"));

        QCOMPARE(computer.requests().commands.last(), 29);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QCOMPARE(content.size(), 12 + 24 * records);
        QCOMPARE(content.left(12), QByteArray("SysLogBinary"));
        for (int i = 0; i < records; ++i)
            QCOMPARE(content.mid(12 + 24 * i, 24), QByteArray(24, char('a' + i)));
        QCOMPARE(lastSyslogDir(), mFiles.path());
    }

    void unwritableSysLogIsReported_data()
    {
        QTest::addColumn<quint32>("version");
        QTest::addColumn<bool>("folderKept");
        QTest::newRow("text") << 0x02000AFFu << true;
        QTest::newRow("binary") << 0x02000B00u << false;
    }
    void unwritableSysLogIsReported()
    {
        QFETCH(quint32, version);
        QFETCH(bool, folderKept);
        SimulatedComputer computer;
        computer.script.firmwareVersion = version;
        computer.script.sysLogText = "log";
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();
        const QString path = mFiles.filePath("missing/folder/log.syslog");
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answer(path);
        QVERIFY(testkit::chooseComputerMenu(window, "Get system logs"));

        QCOMPARE(mPrompts.records().size(), 3);
        QCOMPARE(mPrompts.records().at(2).kind, QStringLiteral("critical"));
        QCOMPARE(mPrompts.records().at(2).title, QStringLiteral("Error"));
        QCOMPARE(mPrompts.records().at(2).text,
                 QStringLiteral("Impossible to write file %1").arg(QDir::toNativeSeparators(path)));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(lastSyslogDir(), folderKept ? mFiles.filePath("missing/folder") : QString());
    }

    void busyDialogWaitsForTheAnswer()
    {
        SimulatedComputer computer;
        computer.stallNext(PelavixCommand::SysLogBinary);
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();
        // No answer: the person closes the busy dialog, nothing is asked.
        mPrompts.answerDialog(testkit::runDialog());
        QVERIFY(testkit::chooseComputerMenu(window, "Get system logs"));
        QCOMPARE(mPrompts.records().size(), 1);
        // A late answer of that request asks nothing either.
        testkit::settle();
        QCOMPARE(mPrompts.records().size(), 1);
    }

    void imageMenuOffersCloseAndReset_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("disconnections");
        QTest::addColumn<QList<int>>("commands");
        QTest::newRow("close yes") << "Close Connection" << "Are you sure to disconnect the computer?"
                                   << int(QMessageBox::Yes) << 1 << QList<int>{};
        QTest::newRow("close no") << "Close Connection" << "Are you sure to disconnect the computer?"
                                  << int(QMessageBox::No) << 0 << QList<int>{};
        QTest::newRow("reset yes") << "Reset Computer" << "Are you sure to reset the computer?"
                                   << int(QMessageBox::Yes) << 0 << QList<int>{254};
        QTest::newRow("reset no") << "Reset Computer" << "Are you sure to reset the computer?"
                                  << int(QMessageBox::No) << 0 << QList<int>{};
    }
    void imageMenuOffersCloseAndReset()
    {
        QFETCH(QString, action);
        QFETCH(QString, text);
        QFETCH(int, answer);
        QFETCH(int, disconnections);
        QFETCH(QList<int>, commands);
        SimulatedComputer computer;
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        mPrompts.clear();

        QLabel* image = computerImage(window);
        testkit::requestContextMenu(*image, image->rect().center());
        QPointer<QMenu> menu = testkit::shownMenu();
        QVERIFY(menu);
        QStringList entries;
        for (const QAction* entry : menu->actions())
            entries << entry->text();
        QCOMPARE(entries, (QStringList{"Close Connection", "Reset Computer"}));
        mPrompts.answer(QVariant::fromValue(QMessageBox::StandardButton(answer)));
        QVERIFY(testkit::clickMenuAction(action));
        QVERIFY(!menu.isNull());
        QCoreApplication::processEvents();
        // The menu made for this request is gone once its action has run.
        QVERIFY(menu.isNull());
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().at(0).title, action == "Close Connection" ? "Disconnect Computer" : action);
        QCOMPARE(mPrompts.records().at(0).text, text);
        testkit::settle();
        QCOMPARE(computer.requests().disconnections, disconnections);
        QCOMPARE(computer.requests().commands.mid(4), commands);
        // A reset computer starts again: the link drops.
        QCOMPARE(session(window)->connected, disconnections == 0 && commands.isEmpty());
    }

    void imageMenuOnlyWhileConnected()
    {
        SimulatedComputer computer;
        MainWindow window;
        showWindow(window);
        QLabel* image = computerImage(window);
        testkit::requestContextMenu(*image, image->rect().center());
        QVERIFY(!testkit::shownMenu());
        QVERIFY(testkit::connectWindow(window, mPrompts));
        computer.dropLink();
        testkit::settle();
        testkit::requestContextMenu(*image, image->rect().center());
        QVERIFY(!testkit::shownMenu());
    }

    void doubleClickDisconnects()
    {
        SimulatedComputer computer;
        MainWindow window;
        showWindow(window);
        QVERIFY(testkit::connectWindow(window, mPrompts));
        const QList<QWidget*> simulation = {window.findChild<QWidget*>("btStartStopSimul"),
                                            window.findChild<QWidget*>("tbPressure"),
                                            window.findChild<QWidget*>("spPressure"),
                                            window.findChild<QWidget*>("btAscent")};
        for (QWidget* control : simulation)
            control->setEnabled(true);
        window.findChild<QWidget*>("btConnectBluetooth")->setEnabled(false);
        mPrompts.clear();

        mPrompts.answer(QVariant::fromValue(QMessageBox::Yes));
        QTest::mouseDClick(computerImage(window), Qt::LeftButton);
        testkit::settle();
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().at(0).title, QStringLiteral("Disconnect Computer"));
        QVERIFY(!session(window)->connected);
        QCOMPARE(computerImage(window)->styleSheet(),
                 QStringLiteral("image: url(:/TestGraphics/icons/Pelavix-power-off.png);"));
        for (QWidget* control : simulation)
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(window.findChild<QWidget*>("btConnectBluetooth")->isEnabled());
    }

    void doubleClickAsksEvenWithoutComputer()
    {
        MainWindow window;
        showWindow(window);
        mPrompts.answer(QVariant::fromValue(QMessageBox::Yes));
        QTest::mouseDClick(computerImage(window), Qt::LeftButton);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().at(0).text, QStringLiteral("Are you sure to disconnect the computer?"));
    }

private:
    static QLineEdit* ownerEditor(QDialog& dialog)
    {
        return dialog.findChild<QLineEdit*>();
    }

    // Types `name` into the owner dialog's cleared editor key by key, one
    // character (a surrogate pair included) a key, and confirms; returns
    // what the editor held.
    static QString typeOwnerName(QDialog& dialog, const QString& name)
    {
        dialog.show();
        QLineEdit* editor = ownerEditor(dialog);
        editor->clear();
        editor->setFocus();
        for (qsizetype at = 0; at < name.size(); ++at) {
            const qsizetype length = name.at(at).isHighSurrogate() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, name.mid(at, length), Qt::NoModifier);
            at += length - 1;
        }
        const QString shown = editor->text();
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        return shown;
    }

    static QByteArray ownerField(const QString& name)
    {
        return OwnerName::fromText(name).bytes();
    }

    static void showWindow(MainWindow& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    testkit::PromptRecorder mPrompts;
    QTemporaryDir mFiles;
};

MAREVANE_TEST_MAIN(ComputerActionsTest)
#include "tst_computeractions.moc"
