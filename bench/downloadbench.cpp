// Dive download benchmark: 50 dives of 3,600 samples (an hour at one
// sample a second) from the simulated computer into a database that already
// holds 5,000 dives, from the press of "Import" to the rebuilt dive list,
// through the main window's "Download dives" as a diver runs it.
//
//   download_bench [--dives N] [--samples N] [--logbook N]
//
// Prints the phases and the number of list rebuilds; never fails on a
// timing. Target: at most 2 s from "Import" to the rebuilt list, and one
// rebuild.
#include "divedb/divedb.h"
#include "mainwindow.h"
#include "tessal/pelavixdiveconverter.h"
#include "tessal/simulatedcomputer.h"
#include "userprompt.h"

#include "benchsetup.h"
#include "benchtiming.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include <cstdio>

namespace {

// Runs the event loop until `done` holds (or a bound of rounds is reached).
template <typename Done>
void runUntil(Done done)
{
    for (int round = 0; round < 1000000 && !done(); ++round)
        QCoreApplication::processEvents();
}

// The moments of one download, in ms from the press of "Import".
struct Phases
{
    QElapsedTimer clock;
    double downloaded = 0; // every checked dive converted
    double closed = 0;     // the dialog closed: storing starts
};

// Plays the diver: the connection dialog runs to its end, the download
// dialog gets every row checked, "Import" pressed and "Ok" once all came.
// Every other dialog is cancelled.
class BenchPrompt final : public UserPrompt
{
public:
    explicit BenchPrompt(Phases& phases) : mPhases(phases) { UserPrompt::install(this); }
    ~BenchPrompt() override { UserPrompt::install(nullptr); }

    void critical(QWidget*, const QString& title, const QString& text) override { report(title, text); }
    void warning(QWidget*, const QString& title, const QString& text) override { report(title, text); }
    void information(QWidget*, const QString& title, const QString& text) override { report(title, text); }
    QMessageBox::StandardButton question(QWidget*, const QString&, const QString&,
                                         QMessageBox::StandardButtons) override
    {
        return QMessageBox::No;
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString existingDirectory(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QString> text(QWidget*, const QString&, const QString&, QLineEdit::EchoMode,
                                const QString&) override
    {
        return {};
    }
    std::optional<QString> item(QWidget*, const QString&, const QString&, const QStringList&, int, bool) override
    {
        return {};
    }
    std::optional<int> integer(QWidget*, const QString&, const QString&, int, int, int, int) override { return {}; }
    std::optional<double> real(QWidget*, const QString&, const QString&, double, double, double, int) override
    {
        return {};
    }
    std::optional<QColor> color(QWidget*, const QString&, const QColor&) override { return {}; }

    int exec(QDialog& dialog) override
    {
        bool finished = false;
        QObject::connect(&dialog, &QDialog::finished, &dialog, [&finished] { finished = true; });
        if (auto* list = dialog.findChild<QListWidget*>("listDives"))
            download(dialog, *list);
        runUntil([&finished] { return finished; });
        return dialog.result();
    }

private:
    void download(QDialog& dialog, QListWidget& list)
    {
        auto* progress = dialog.findChild<QProgressBar*>("progressBar");
        runUntil([progress] { return progress->maximum() == 1; });
        for (int row = 0; row < list.count(); ++row)
            list.item(row)->setCheckState(Qt::Checked);
        mPhases.clock.start();
        dialog.findChild<QPushButton*>("btImport")->click();
        runUntil([progress] { return progress->maximum() == 1; });
        mPhases.downloaded = mPhases.clock.nsecsElapsed() / 1e6;
        dialog.findChild<QPushButton*>("pushButton")->click();
        mPhases.closed = mPhases.clock.nsecsElapsed() / 1e6;
    }

    static void report(const QString& title, const QString& text)
    {
        std::fprintf(stderr, "download_bench: %s: %s\n", qPrintable(title), qPrintable(text));
    }

    Phases& mPhases;
};

QAction* downloadAction(MainWindow& window)
{
    for (QAction* action : window.findChild<QPushButton*>("btImportPelavix")->menu()->actions()) {
        if (action->property("id").toInt() == 1)
            return action;
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    const bench::WindowEnvironment environment;
    QApplication app(argc, argv);
    const int dives = bench::option(argc, argv, "--dives", 50);
    const int samples = bench::option(argc, argv, "--samples", 3600);
    const int logbook = bench::option(argc, argv, "--logbook", 5000);

    SimulatedComputer computer;
    for (int i = 0; i < dives; ++i)
        computer.script.dives.append(
            SimulatedComputer::makeDive(quint16(i + 1), 1700000000 + qint64(i) * 86400, samples, 18.0 + i % 25, 1));
    Phases phases;
    BenchPrompt prompt(phases);

    MainWindow window;
    window.resize(1280, 800);
    window.show();
    {
        // A logbook of other computers' dives.
        QuelmSession owner;
        bench::storeLogbook(
            logbook,
            [&owner](int i) {
                owner.serialNumber = QStringLiteral("LOG-%1").arg(i % 10);
                const auto stored = SimulatedComputer::makeDive(quint16(i + 1), 1500000000 + qint64(i) * 7200, 60,
                                                                12.0 + i % 30, 10);
                return PelavixDiveConverter::toDive(stored.header, stored.samples, owner);
            },
            "download_bench");
    }
    window.updateDiveList();

    int rebuilds = 0;
    QObject::connect(window.findChild<QTableWidget*>("diveList")->model(), &QAbstractItemModel::rowsInserted,
                     [&rebuilds] { ++rebuilds; });
    downloadAction(window)->trigger();
    const double total = phases.clock.nsecsElapsed() / 1e6;
    const int stored = DiveDb::instance()->getNbDives() - logbook;
    const int downloadRebuilds = rebuilds;
    const double rebuild = bench::bestMilliseconds(3, [&window] { window.updateDiveList(); });

    std::printf("Download of %d dives of %d samples into a database of %d dives\n", dives, samples, logbook);
    std::printf("download and conversion (Import to last dive)   %8.1f ms\n", phases.downloaded);
    std::printf("storing and the list rebuild (dialog closed)    %8.1f ms\n", total - phases.closed);
    std::printf("  of which one list rebuild alone (best of 3)   %8.1f ms\n", rebuild);
    std::printf("Import to rebuilt list                          %8.1f ms   (target: at most 2000 ms)\n", total);
    std::printf("dives stored %d of %d, list rebuilds %d   (target: 1)\n", stored, dives, downloadRebuilds);
    return stored == dives ? 0 : 1;
}
