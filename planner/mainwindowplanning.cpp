// The planning tab of the main window.
#include "app/mainwindow.h"

void MainWindow::initUiDivePlanification()
{
    // The planning tab (its profile view, tissue graph and the graphics
    // library's log hook) is built here.
}

