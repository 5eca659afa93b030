#include "app/common/widgethelpers.h"

#include <QColor>
#include <QVBoxLayout>
#include <QWidget>

double luminance(const QColor& color)
{
    return 0.299 * color.red() + 0.587 * color.green() + 0.114 * color.blue();
}

QVBoxLayout* insertWidget(QWidget* parent, QWidget* child, QMargins margins)
{
    // Built with its parent, the layout stays owned even if the parent
    // already had one and refuses it.
    auto* layout = new QVBoxLayout(parent);
    layout->addWidget(child);
    layout->setContentsMargins(margins);
    return layout;
}
