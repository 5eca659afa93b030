#pragma once

#include <QList>
#include <QRect>

#include <chrono>
#include <memory>

class QPoint;
class QScreen;
class QSplashScreen;

// The splash image shown while the main window is built.
namespace splash {

// How long the splash stays once the main window is shown.
inline constexpr std::chrono::milliseconds kShowTime{2000};

// The index of the first screen geometry that contains `point`, or -1.
int screenIndexAt(const QPoint& point, const QList<QRect>& screenGeometries);

// The screen under the mouse cursor, or the primary screen when the cursor
// lies on none.
QScreen* screenUnderCursor();

// Shows the splash image on the screen under the cursor, above the other
// windows, and paints it at once, before the long window construction.
std::unique_ptr<QSplashScreen> show();

// Closes the splash after kShowTime. The timer belongs to the splash, so it
// can never fire on a splash that is gone.
void closeLater(QSplashScreen& splash);

} // namespace splash
