#pragma once

#include <QString>

class QWidget;

namespace testkit {

// Renders a widget (offscreen or under Xvfb) and saves it as a PNG, so that a
// person can look at what the window shows. Returns false when saving fails.
bool grabToPng(QWidget& widget, const QString& path);

} // namespace testkit
