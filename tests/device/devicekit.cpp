#include "devicekit.h"

#include "computerkit.h"
#include "mainwindow.h"
#include "menuclick.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>

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
    // The button's menu waits in an event loop of its own.
    bool clicked = false;
    clickInNextMenu(entry, &clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    return clicked;
}

bool connectWindow(MainWindow& window, PromptRecorder& prompts)
{
    prompts.answerDialog(runDialog());
    return window.connectQuelmBle() == 1;
}

} // namespace testkit
