#include "common/transientmenu.h"

void popUpTransientMenu(QMenu* menu, const QPoint& globalPos)
{
    QObject::connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(globalPos);
}
