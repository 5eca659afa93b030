#pragma once

#include <QMargins>

class QColor;
class QString;
class QTableWidgetItem;
class QVBoxLayout;
class QWidget;

// Perceived brightness, 0 to 255.
double luminance(const QColor& color);
// Gives `parent` a new vertical layout holding `child`, in place of any
// earlier layout; the parent owns it.
QVBoxLayout* insertWidget(QWidget* parent, QWidget* child, QMargins margins);
// A new table cell showing `text` centred both ways.
QTableWidgetItem* centredTableItem(const QString& text);
