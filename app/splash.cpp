#include "splash.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>

namespace splash {

int screenIndexAt(const QPoint& point, const QList<QRect>& screenGeometries)
{
    for (qsizetype i = 0; i < screenGeometries.size(); ++i) {
        if (screenGeometries.at(i).contains(point))
            return int(i);
    }
    return -1;
}

QScreen* screenUnderCursor()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    QList<QRect> geometries;
    for (const QScreen* screen : screens)
        geometries.append(screen->geometry());
    const int index = screenIndexAt(QCursor::pos(), geometries);
    return index >= 0 ? screens.at(index) : QGuiApplication::primaryScreen();
}

std::unique_ptr<QSplashScreen> show()
{
    auto splash = std::make_unique<QSplashScreen>(
        screenUnderCursor(), QPixmap(":/TestGraphics/icons/splashscreen.png"),
        Qt::WindowStaysOnTopHint);
    splash->show();
    QCoreApplication::processEvents();
    return splash;
}

void closeLater(QSplashScreen& splash)
{
    auto* timer = new QTimer(&splash);
    timer->setSingleShot(true);
    timer->setInterval(kShowTime);
    QObject::connect(timer, &QTimer::timeout, &splash, &QSplashScreen::close);
    timer->start();
}

} // namespace splash
