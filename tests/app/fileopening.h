#pragma once

#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"

#include "graphics/graphview.h"

#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

namespace testkit {

// Opens the window's File menu with the mouse and clicks its "Open".
inline bool clickFileOpen(MainWindow& window)
{
    return clickMenuBar(*window.menuBar(), "File", "Open");
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

// Brings a file in the way a user does: dropped on the view, or chosen through File → Open.
inline bool bringInFile(MainWindow& window, PromptRecorder& prompts, const QString& path, bool drop)
{
    if (drop) {
        dropOnTheView(window, path);
        return true;
    }
    prompts.answer(path);
    return clickFileOpen(window);
}

// The last box shown was the error box with this text.
inline bool lastBoxIsError(const PromptRecorder& prompts, const QString& text)
{
    if (prompts.records().isEmpty())
        return false;
    const PromptRecord& report = prompts.records().last();
    return report.kind == "critical" && report.title == "Error" && report.text == text;
}

} // namespace testkit
