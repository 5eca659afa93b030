// Dive files in the main window: opening and dropping them into the current
// dive, exporting a stored dive, saving a selected time range, and storing a
// dive in the database.
#include "mainwindow.h"

#include "divedb/divedb.h"
#include "divemodel/csvfile.h"
#include "divemodel/diveanalysis.h"
#include "divemodel/divelinesio.h"
#include "graphics/graphview.h"

#include "divelisttable.h"
#include "userprompt.h"

#include <QDir>
#include <QFileInfo>
#include <QGraphicsRectItem>
#include <QGuiApplication>
#include <QMenu>

#include <utility>

namespace {

// What the message of a failed store adds to the dive's name.
QString storeFailureDetail(int code)
{
    switch (code) {
    case DiveDb::NotOpen: return MainWindow::tr("\nDatabase not open");
    case DiveDb::AlreadyStored: return MainWindow::tr("\nDive Id already exists");
    case DiveDb::SqlFailed: return "\n" + DiveDb::instance()->lastError();
    default: return {};
    }
}

// While it lives, a long dive being written lets the window repaint now and
// then, under a wait cursor. What the user does meanwhile waits until the
// dive is stored; what timers, queued calls and a close ask of the window
// meanwhile waits in its write queue, so nothing touches the database, the
// list or the shown dive in between.
class KeepPaintingWhileWriting
{
public:
    explicit KeepPaintingWhileWriting(WriteQueue& queue)
        : mWriting(queue)
    {
        DiveDb::instance()->setWriteProgress([this] {
            if (!mCursorSet)
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            mCursorSet = true;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    KeepPaintingWhileWriting(const KeepPaintingWhileWriting&) = delete;
    KeepPaintingWhileWriting& operator=(const KeepPaintingWhileWriting&) = delete;
    ~KeepPaintingWhileWriting()
    {
        DiveDb::instance()->setWriteProgress(nullptr);
        if (mCursorSet)
            QGuiApplication::restoreOverrideCursor();
    }

private:
    WriteQueue::Writing mWriting;
    bool mCursorSet = false;
};

} // namespace

void MainWindow::openDiveProfile()
{
    mWriteQueue.run([this] {
        const QString path = UserPrompt::current().openFileName(
            this, tr("Open Dive File"), mSettings->lastDiveFile(),
            tr("Dive file (*.csv *.uddf *.divebin);;Csv file (*.csv);;UDDF file (*.uddf);;"
               "Binary dive file (*.divebin)"));
        if (!path.isEmpty())
            loadDiveProfile(path);
    });
}

void MainWindow::dropFiles(const QList<QString>& files)
{
    if (!files.isEmpty())
        mWriteQueue.run([this, path = files.first()] { dropFile(path); });
}

void MainWindow::dropFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix != QLatin1String("uddf") && suffix != QLatin1String("divebin")) {
        UserPrompt::current().critical(this, tr("Error"), tr("Invalid File"));
        return;
    }
    loadDiveProfile(path);
}

bool MainWindow::loadDiveProfile(const QString& path)
{
    // A fresh dive: the current one stays shown until the file has been read.
    Dive dive;
    QString reason;
    if (!DiveAnalysis::importDiveFile(dive, path, &reason)) {
        // The reader's reason, when it gave one, goes on a line of its own.
        const QString text = tr("Impossible to open file");
        UserPrompt::current().critical(this, tr("Error"), reason.isEmpty() ? text : text + '\n' + reason);
        return false;
    }
    // Edits of the dive shown until now are offered while its id still names
    // it.
    checkUserInformationToSave();
    mCurrentDive = std::move(dive);
    // A file is no stored dive: edits of its user information must not reach
    // the dive last opened from the list.
    mShownDatabaseId = -1;
    showCurrentDive();
    updateDiveInfos();
    ui.btStoreDive->setEnabled(true);
    updateSimulationButton();
    highlightLoadedItem(nullptr);
    mSettings->setLastDiveFile(QFileInfo(path).absolutePath());
    return true;
}

void MainWindow::saveSelection()
{
    mWriteQueue.run([this] {
        const QString path =
            UserPrompt::current().saveFileName(this, tr("Save Dive File"), QString(),
                                               tr("Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)"));
        if (path.isEmpty())
            return;
        const Dive* shown = mDiveLogView->getDiveProfile();
        if (!shown)
            return;
        const auto [start, end] = mDiveLogView->getSelection();
        Dive selection = DiveAnalysis::extractProfile(*shown, start, end);
        if (!DiveAnalysis::exportDiveFile(selection, path))
            reportWriteFailure(path);
    });
}

void MainWindow::reportWriteFailure(const QString& path)
{
    UserPrompt::current().critical(this, tr("Error"),
                                   tr("Impossible to write file %1").arg(QDir::toNativeSeparators(path)));
}

bool MainWindow::fillDiveLogMenu(QMenu& menu)
{
    if (!mDiveLogView->mSelectionRect->isVisible())
        return false;
    connect(menu.addAction(tr("Save selection")), &QAction::triggered, this, &MainWindow::saveSelection);
    return true;
}

void MainWindow::exportDiveProfileItem(QTableWidgetItem* item)
{
    const int id = DiveListTable(*ui.diveList).diveIdOf(item);
    if (id >= 0)
        mWriteQueue.run([this, id] { exportStoredDive(id); });
}

void MainWindow::exportStoredDive(int id)
{
    const QString path = UserPrompt::current().saveFileName(
        this, tr("Export Profile"), mSettings->lastExportDir(),
        tr("Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)"));
    if (path.isEmpty())
        return;
    const std::unique_ptr<DiveLinesIO> writer = DiveLinesIO::getWriter(path);
    if (!writer) {
        UserPrompt::current().critical(this, tr("Error"), tr("Invalid File Name"));
        return;
    }
    Dive dive;
    if (!DiveDb::instance()->readDive(id, dive)) {
        reportReadFailure();
    } else {
        if (auto* csv = dynamic_cast<CsvFile*>(writer.get()))
            csv->separator = csvSeparatorCharacter(mCsvSeparator);
        if (!writer->write(path, dive))
            reportWriteFailure(path);
    }
    mSettings->setLastExportDir(QFileInfo(path).absolutePath());
}

void MainWindow::storeDive(const Dive& dive)
{
    // A dive handed over while another is being written, or while other work
    // waits, is kept whole until its turn.
    mWriteQueue.run([this, dive] {
        if (!storeDiveUnlisted(dive))
            return;
        // The shown dive, once stored, is the stored one (name and serial name
        // one dive): its user information is saved there from now on, and the
        // list highlights it.
        if (mShownDatabaseId < 0 && dive.name == mCurrentDive.name && dive.computerSerial == mCurrentDive.computerSerial)
            mShownDatabaseId = DiveDb::instance()->getDiveByName(dive.name, dive.computerSerial);
        ui.btStoreDive->setEnabled(false);
        updateDiveList();
    });
}

bool MainWindow::storeDiveUnlisted(const Dive& dive)
{
    const int code = [this, &dive] {
        const KeepPaintingWhileWriting painting(mWriteQueue);
        // An older file that could not be upgraded may be free now.
        DiveDb::instance()->retryUpgrade();
        return DiveDb::instance()->storeDive(dive);
    }();
    if (code == DiveDb::Success)
        return true;
    UserPrompt::current().critical(this, tr("Write Database Error"),
                                   tr("Impossible to write profile ") + dive.name + storeFailureDetail(code));
    return false;
}

void MainWindow::updateData(QTableWidgetItem* item)
{
    const int id = DiveListTable(*ui.diveList).diveIdOf(item);
    mWriteQueue.run([this, fromList = item != nullptr, id] {
        // The fields are filled again: edits in them are offered first.
        checkUserInformationToSave();
        showCurrentDive();
        updateDiveInfos();
        ui.btStoreDive->setEnabled(!fromList);
        updateSimulationButton();
        highlightLoadedItem(DiveListTable(*ui.diveList).itemOfDive(id));
    });
}
