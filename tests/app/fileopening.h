#pragma once

#include "mainwindow.h"
#include "menuclick.h"

#include "graphics/graphview.h"

#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

namespace testkit {

// Opens the window's File menu with the mouse and clicks its "Open".
inline bool clickFileOpen(MainWindow& window)
{
    QMenuBar* bar = window.menuBar();
    const QMenu* file = window.findChild<QMenu*>("menuFile");
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(file->menuAction()).center());
    return shownMenu() == file && clickMenuAction("Open");
}

// Drops the file on the dive-log view, as a file manager does.
inline void dropOnTheView(MainWindow& window, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QWidget* viewport = window.diveLogView()->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
}

} // namespace testkit
