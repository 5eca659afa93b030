#include "widgetgrab.h"

#include <QPixmap>
#include <QWidget>

namespace testkit {

bool grabToPng(QWidget& widget, const QString& path)
{
    widget.ensurePolished();
    return widget.grab().save(path, "PNG");
}

} // namespace testkit
