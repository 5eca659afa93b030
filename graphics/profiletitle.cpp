#include "graphics/profiletitle.h"

#include "graphics/profilestyle.h"

#include <QFontMetricsF>
#include <QTextDocument>

#include <algorithm>

namespace profiletitle {

namespace {

constexpr int kFontSize = 12;
const QRect kEffortIcon(5, 5, 32, 32);
// Pixels between the effort icon and the title.
constexpr double kIconGap = 3.0;
// Tries at shortening the name further where the rich text's layout is
// wider than the font metrics said.
constexpr int kElisionTries = 8;

QString piece(QLatin1String label, const QString& value)
{
    return QStringLiteral("<span style=\" font-size:12pt; color:#5a5a5a;\">") + label
        + QStringLiteral("</span><span style=\" font-size:12pt; font-weight:700;\">") + value
        + QStringLiteral("</span>");
}

// The name goes in as plain text: whatever it holds shows as typed.
QString html(const QString& name, const QList<Figure>& figures)
{
    QString text = QStringLiteral("<html><head/><body><p>") + piece(QLatin1String("Plongee : "), name.toHtmlEscaped());
    for (const Figure& figure : figures)
        text += piece(QLatin1String(figure.label), figure.value.toHtmlEscaped());
    return text + QStringLiteral("</p></body></html>");
}

// The line as the paint's static text lays it out: the painter's font, no margin.
Fitted laidOut(const QString& text)
{
    QTextDocument document;
    document.setDefaultFont(profilestyle::arial(kFontSize));
    document.setDocumentMargin(0);
    document.setHtml(text);
    return {text, QSizeF(document.idealWidth(), document.size().height())};
}

} // namespace

Fitted fitted(const QString& name, const QList<Figure>& figures, double room)
{
    Fitted line = laidOut(html(name, figures));
    if (line.size.width() <= room)
        return line;
    const QFontMetricsF metrics(profilestyle::arial(kFontSize, QFont::Bold));
    double nameRoom = room - laidOut(html(QString(), figures)).size.width();
    for (int k = 0; k < kElisionTries; ++k) {
        QString shown = metrics.elidedText(name, Qt::ElideRight, std::max(0.0, nameRoom));
        if (shown.isEmpty())
            shown = QStringLiteral("\u2026");
        line = laidOut(html(shown, figures));
        if (line.size.width() <= room || shown.size() <= 1)
            return line;
        nameRoom -= metrics.averageCharWidth();
    }
    return line;
}

QRect effortIconRect(double itemWidth, const QSizeF& title)
{
    const double titleLeft = (itemWidth - title.width()) / 2;
    if (title.isEmpty() || titleLeft >= kEffortIcon.right() + 1 + kIconGap)
        return kEffortIcon;
    return kEffortIcon.translated(0, int(std::ceil(kTop + title.height() + kIconGap)) - kEffortIcon.top());
}

} // namespace profiletitle
