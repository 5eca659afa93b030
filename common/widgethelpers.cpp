#include "common/widgethelpers.h"

#include <QColor>
#include <QTableWidgetItem>
#include <QVBoxLayout>
#include <QWidget>

double luminance(const QColor& color)
{
    return 0.299 * color.red() + 0.587 * color.green() + 0.114 * color.blue();
}

QVBoxLayout* insertWidget(QWidget* parent, QWidget* child, QMargins margins)
{
    // A widget takes no second layout: the earlier one goes (its widgets stay
    // with the parent), or the new one would be refused and leak.
    if (parent)
        delete parent->layout();
    auto* layout = new QVBoxLayout(parent);
    layout->addWidget(child);
    layout->setContentsMargins(margins);
    return layout;
}

QTableWidgetItem* centredTableItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}
