#pragma once

#include "mainwindow.h"

#include <QIcon>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

// The planning tab's widgets as its tests reach them: by name, and the
// buttons with the mouse.
namespace planningtabkit {

template<typename Widget>
Widget* child(MainWindow& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(QLatin1String(name));
    if (!widget)
        qFatal("no %s in the window", name);
    return widget;
}

inline void click(MainWindow& window, const char* button)
{
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

// The name the dive table shows on a row.
inline QString diveName(MainWindow& window, int row)
{
    const QTableWidgetItem* item = child<QTableWidget>(window, "tblDives")->item(row, 1);
    return item ? item->text() : QString();
}

inline QPushButton* effortButton(MainWindow& window, int row)
{
    return qobject_cast<QPushButton*>(child<QTableWidget>(window, "tblDives")->cellWidget(row, 0));
}

inline bool showsIcon(const QPushButton* button, const QString& path)
{
    return button->icon().pixmap(16).toImage() == QIcon(path).pixmap(16).toImage();
}

} // namespace planningtabkit
