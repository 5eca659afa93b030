#include "devicekit.h"

#include "computerkit.h"
#include "mainwindow.h"
#include "menuclick.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace testkit {

namespace {

constexpr int kStillRunning = -1;

} // namespace

DialogScript runDialog(std::function<void(QDialog&)> act)
{
    return [act](QDialog& dialog) {
        dialog.setResult(kStillRunning);
        settle();
        if (act && dialog.result() == kStillRunning)
            act(dialog);
        settle();
        return dialog.result() == kStillRunning ? int(QDialog::Rejected) : dialog.result();
    };
}

bool chooseComputerMenu(MainWindow& window, const QString& entry)
{
    auto* button = window.findChild<QPushButton*>("btImportPelavix");
    if (!button)
        return false;
    // The button's menu waits in an event loop of its own. Its entries hold
    // slashes, which clickMenuAction would take for submenus: the entry is
    // found by its whole text and clicked with the mouse.
    bool clicked = false;
    QMetaObject::invokeMethod(
        qApp,
        [entry, &clicked] {
            QMenu* menu = shownMenu();
            const QList<QAction*> actions = menu ? menu->actions() : QList<QAction*>();
            const auto found = std::find_if(actions.begin(), actions.end(),
                                            [&entry](const QAction* action) { return action->text() == entry; });
            if (found == actions.end()) {
                closeShownMenus();
                return;
            }
            clicked = true;
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(*found).center());
        },
        Qt::QueuedConnection);
    QTest::mouseClick(button, Qt::LeftButton);
    return clicked;
}

bool connectWindow(MainWindow& window, PromptRecorder& prompts)
{
    prompts.answerDialog(runDialog());
    return window.connectQuelmBle() == 1;
}

} // namespace testkit
