// The dive list of the main window and the user information of the shown
// dive.
#include "mainwindow.h"

#include "common/transientmenu.h"
#include "divedb/divedb.h"
#include "graphics/graphview.h"

#include "divelisttable.h"
#include "formfilter.h"
#include "inputdialogmulti.h"
#include "userprompt.h"

#include <QDialog>
#include <QHeaderView>
#include <QMenu>

#include <utility>

void MainWindow::updateDiveList()
{
    mWriteQueue.run([this] {
        DiveDb* db = DiveDb::instance();
        // An older file that could not be upgraded may be free now.
        db->retryUpgrade();
        const int column = ui.diveList->property(DiveListTable::kSortColumnProperty).toInt();
        QList<DiveInfo> dives;
        // The table counts the groups it shows itself.
        int databaseGroups = 0;
        // The message at start already said why the database cannot be read.
        const bool toldAtStart = std::exchange(mDatabaseFailureShown, false);
        if (!db->getDives(mFilter, dives, databaseGroups, DiveListTable::sortFieldOf(column),
                          SortOrder(getSortOrder(column)))) {
            if (!toldAtStart)
                reportListFailure();
            return;
        }
        const int groups = DiveListTable(*ui.diveList).fill(dives, mShownDatabaseId);
        ui.lbFilter->setText(DiveListTable::counterText(groups, int(dives.size())));
    });
}

int MainWindow::getSortOrder(int column) const
{
    return 1 - ui.diveList->property(DiveListTable::sortOrderProperty(column)).toInt();
}

void MainWindow::sortDiveList(int section)
{
    mWriteQueue.run([this, section] {
        QHeaderView* header = ui.diveList->horizontalHeader();
        if (section == DiveListTable::NameColumn) {
            header->setSortIndicator(-1, Qt::AscendingOrder);
            return;
        }
        // Each click reverses the column's own direction.
        const int flag = getSortOrder(section);
        ui.diveList->setProperty(DiveListTable::sortOrderProperty(section), flag);
        ui.diveList->setProperty(DiveListTable::kSortColumnProperty, section);
        updateDiveList();
        header->setSortIndicator(section, Qt::SortOrder(flag));
    });
}

void MainWindow::openDiveProfileItem(QTableWidgetItem* item)
{
    const int id = DiveListTable(*ui.diveList).diveIdOf(item);
    if (id >= 0)
        mWriteQueue.run([this, id] { openStoredDive(id); });
}

void MainWindow::openStoredDive(int id)
{
    // Asked while the shown id still names the dive whose fields were edited.
    checkUserInformationToSave();
    if (!DiveDb::instance()->readDive(id, mCurrentDive)) {
        reportReadFailure();
        return;
    }
    mShownDatabaseId = id;
    showCurrentDive();
    updateDiveInfos();
    ui.btStoreDive->setEnabled(false);
    updateSimulationButton();
    // Found again by id: the question may have outlived the item.
    highlightLoadedItem(DiveListTable(*ui.diveList).itemOfDive(id));
    for (QWidget* tab : {ui.tabSummary, ui.tabUserInformation, ui.tabComputer})
        ui.tabProfile->setTabEnabled(ui.tabProfile->indexOf(tab), true);
}

void MainWindow::onDiveListContextMenu(const QPoint& position)
{
    QTableWidgetItem* item = ui.diveList->itemAt(position);
    if (!item)
        return;
    // A new menu is built at each request.
    popUpTransientMenu(createDiveListMenu(item), ui.diveList->viewport()->mapToGlobal(position));
}

QMenu* MainWindow::createDiveListMenu(QTableWidgetItem* item)
{
    auto* menu = new QMenu(this);
    const int id = DiveListTable(*ui.diveList).diveIdOf(item);
    if (id >= 0)
        addDiveActions(*menu, id);
    addCsvSeparatorMenu(*menu);
    if (id >= 0)
        addPlanificationActions(*menu, id);
    return menu;
}

void MainWindow::addDiveActions(QMenu& menu, int id)
{
    // The actions find the dive's row when chosen: the list may have been
    // rebuilt while the menu was open.
    const auto onDive = [this, id](void (MainWindow::*action)(QTableWidgetItem*)) {
        return [this, id, action] {
            if (QTableWidgetItem* row = DiveListTable(*ui.diveList).itemOfDive(id))
                (this->*action)(row);
        };
    };
    addDeferredAction(menu, tr("Open"), this, onDive(&MainWindow::openDiveProfileItem));
    addDeferredAction(menu, tr("Delete"), this, [this] { deleteSelectedDiveProfiles(); });
    menu.addSeparator();
    addDeferredAction(menu, tr("Rename"), this, onDive(&MainWindow::renameDiveProfileItem));
    addDeferredAction(menu, tr("Export"), this, onDive(&MainWindow::exportDiveProfileItem));
}

void MainWindow::addCsvSeparatorMenu(QMenu& menu)
{
    QMenu* separators = menu.addMenu(tr("csv separator"));
    const std::pair<QString, CsvSeparator> choices[] = {{tr("Dot ."), CsvSeparator::Dot},
                                                        {tr("Comma ,"), CsvSeparator::Comma},
                                                        {tr("Semicolon ;"), CsvSeparator::Semicolon}};
    for (const auto& [text, separator] : choices) {
        QAction* action = addDeferredAction(*separators, text, this,
                                            [this, separator] { setCsvSeparator(separator); });
        action->setCheckable(true);
        action->setChecked(mCsvSeparator == separator);
    }
}

void MainWindow::deleteSelectedDiveProfiles()
{
    // The dives selected now, whenever they can be deleted.
    const QList<int> ids = DiveListTable(*ui.diveList).selectedDiveIds();
    if (!ids.isEmpty())
        mWriteQueue.run([this, ids] { deleteStoredDives(ids); });
}

void MainWindow::deleteStoredDives(const QList<int>& ids)
{
    const QString question = ids.size() == 1 ? tr("Are you sure to delete this dive?")
                                             : tr("Are you sure to delete these dives?");
    if (UserPrompt::current().question(this, tr("Delete dive"), question) != QMessageBox::Yes)
        return;
    int failed = 0;
    for (const int id : ids) {
        if (!DiveDb::instance()->deleteDive(id)) {
            ++failed;
            continue;
        }
        // Nothing may be saved under the id of a deleted dive: a dive stored
        // later can get it.
        if (id == mShownDatabaseId)
            mShownDatabaseId = -1;
    }
    if (failed < ids.size()) {
        ui.diveList->clearSelection();
        updateDiveList();
    }
    if (failed == ids.size())
        reportDatabaseError(tr("Impossible to delete profile("));
    else if (failed > 0)
        reportDatabaseError(tr("%1 of the %2 selected dives could not be deleted").arg(failed).arg(ids.size()));
}

void MainWindow::renameDiveProfileItem(QTableWidgetItem* item)
{
    const int id = DiveListTable(*ui.diveList).diveIdOf(item);
    if (id >= 0)
        mWriteQueue.run([this, id] { renameStoredDive(id); });
}

void MainWindow::renameStoredDive(int id)
{
    const DiveListTable table(*ui.diveList);
    const QTableWidgetItem* item = table.itemOfDive(id);
    if (!item)
        return;
    const std::optional<QString> newName = askDiveName(item->text(), true);
    if (!newName)
        return;
    DiveDb* db = DiveDb::instance();
    if (!db->renameDive(id, *newName)) {
        if (db->isNameTaken(id, *newName))
            UserPrompt::current().critical(this, tr("Error"), tr("Name already exists"));
        else
            reportDatabaseError(tr("Impossible to rename the dive") + '\n' + db->lastError());
        return;
    }
    if (QTableWidgetItem* renamed = table.itemOfDive(id))
        renamed->setText(*newName);
    if (id == mShownDatabaseId) {
        mCurrentDive.name = *newName;
        mDiveLogView->mProfile->updateTitle();
    }
}

void MainWindow::storeCurrentDive()
{
    mWriteQueue.run([this] {
        Dive* dive = mDiveLogView->getDiveProfile();
        if (!dive)
            return;
        const std::optional<QString> name = askDiveName(dive->name, false);
        if (!name)
            return;
        dive->name = *name;
        storeDive(*dive);
        mDiveLogView->mProfile->updateTitle();
    });
}

std::optional<QString> MainWindow::askDiveName(const QString& name, bool mustChange)
{
    InputDialogMulti dialog(tr("Rename"), this);
    dialog.addStringField(tr("Name"), name);
    if (dialog.Exec() != QDialog::Accepted)
        return std::nullopt;
    const QString chosen = dialog.value<QString>(0);
    if (chosen.trimmed().isEmpty() || (mustChange && chosen == name)) {
        UserPrompt::current().critical(this, tr("Error"), tr("Invalid name"));
        return std::nullopt;
    }
    return chosen;
}

void MainWindow::setFilter()
{
    mWriteQueue.run([this] {
        if (!mFilterDialog)
            mFilterDialog = new FormFilter(this);
        if (mFilterDialog->execute(mFilter) != QDialog::Accepted)
            return;
        mFilterDialog->getFilter(mFilter);
        updateDiveList();
    });
}

void MainWindow::reportDatabaseError(const QString& text)
{
    UserPrompt::current().critical(this, tr("Database Error"), text);
}

void MainWindow::reportReadFailure()
{
    const QString text = tr("Impossible to read profile");
    const QString reason = DiveDb::instance()->lastError();
    reportDatabaseError(reason.isEmpty() ? text : text + '\n' + reason);
}

void MainWindow::reportListFailure()
{
    reportDatabaseError(tr("Impossible to read the dive list") + '\n' + DiveDb::instance()->lastError());
}

void MainWindow::storeUserInformation()
{
    mWriteQueue.run([this] {
        const UserInformation information{ui.edPlace->text(), ui.edSite->text(), ui.edBuddy->text()};
        // A dive that is not stored (a loaded file) keeps them until it is.
        if (mShownDatabaseId >= 0 &&
            DiveDb::instance()->storeUserInformation(mShownDatabaseId, information) != DiveDb::Success) {
            reportDatabaseError(tr("Impossible to save the user information"));
            return;
        }
        mCurrentDive.place = information.place;
        mCurrentDive.site = information.site;
        mCurrentDive.buddy = information.buddy;
        userInformationChanged(false);
    });
}

void MainWindow::checkUserInformationToSave()
{
    mWriteQueue.run([this] {
        if (!mUserInformationChanged)
            return;
        if (UserPrompt::current().question(this, tr("Unsaved changes"),
                                           tr("You have unsaved changes. Do you want to save them?")) ==
            QMessageBox::Yes)
            storeUserInformation();
        else
            userInformationChanged(false);
    });
}
