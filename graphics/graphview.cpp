#include "graphics/graphview.h"

#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "graphics/gesturerecognizers.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QResizeEvent>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The samples around `timeSec` in a time-ordered list, found by bisection:
// the first pair whose whole-second times bracket it, as a scan from the
// start would find it, with the ceiling and tank pressure between them.
DivePosition positionAt(const QList<DiveLine>& lines, int timeSec)
{
    DivePosition position;
    if (lines.size() < 2)
        return position;
    const double t = timeSec;
    const auto first = std::lower_bound(lines.cbegin(), lines.cend(), t,
                                        [](const DiveLine& line, double v) { return std::trunc(line.timeSec) < v; });
    if (first == lines.cend())
        return position;
    const qsizetype i = std::max<qsizetype>(1, first - lines.cbegin());
    const DiveLine& a = lines.at(i - 1);
    const DiveLine& b = lines.at(i);
    if (!(t >= std::trunc(a.timeSec) && std::trunc(b.timeSec) >= t))
        return position;
    const double f = b.timeSec > a.timeSec ? (t - a.timeSec) / (b.timeSec - a.timeSec) : 0.0;
    position.prevLine = &a;
    position.nextLine = &b;
    position.decoCeiling = a.decoCeiling + f * (b.decoCeiling - a.decoCeiling);
    position.tankPressure = a.tankPressure + f * (double(b.tankPressure) - double(a.tankPressure));
    return position;
}

QString infoTableTitle(const QString& title)
{
    return QStringLiteral("    <p align=\"center\" style=\"font-size:10pt; font-weight:700;\">") + title
        + QStringLiteral("< / p>    <table width=\"98%\" align=\"center\">");
}

QString infoTableRow(const QString& label, const QString& value, bool shaded)
{
    if (shaded)
        return QStringLiteral("    <tr style=\"background-color:#DFF5D8;\"><td width=\"50%\">") + label
            + QStringLiteral("</td> <td>") + value + QStringLiteral("</td></tr>");
    return QStringLiteral("    <tr><td>") + label + QStringLiteral("</td> <td>") + value + QStringLiteral("</td></tr>");
}

QString oneDecimal(double value)
{
    return QString::number(std::abs(value), 'f', 1);
}

const QString kTableEnd = QStringLiteral("    </table>");

} // namespace

GraphView::GraphView(QWidget* parent)
    : QGraphicsView(parent)
    , mScene(new QGraphicsScene(this))
{
    mScene->setBackgroundBrush(QColor(242, 242, 230));
    // The scene is the view's own rectangle from the start, never the bounds
    // of its items, which a dive could place anywhere.
    mScene->setSceneRect(QRectF(QPointF(0, 0), QSizeF(size())));
    setScene(mScene);
    mProfile = new DiveProfileItem();
    mScene->addItem(mProfile);
    const qreal height = mScene->sceneRect().height();
    mCursorLine = mScene->addLine(0, 0, 0, height);
    mRangeEndLine = mScene->addLine(0, 0, 0, height);
    mRangeEndLine->hide();
    mSelectionRect = mScene->addRect(QRectF(), Qt::NoPen, QColor(128, 128, 128, 128));
    mSelectionRect->setFlag(QGraphicsItem::ItemIsSelectable, false);
    mSelectionRect->hide();
    setAttribute(Qt::WA_MouseTracking);
    setMouseTracking(true);
    // The scene is the view's own size and navigation is the profile's: nothing scrolls.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

void GraphView::setDiveProfile(Dive* dive)
{
    mProfile->setDiveProfile(dive);
    mSelectionRect->hide();
}

Dive* GraphView::getDiveProfile()
{
    return mProfile ? mProfile->dive() : nullptr;
}

Dive* GraphView::getDiveProfile() const
{
    return mProfile ? mProfile->dive() : nullptr;
}

void GraphView::showItems(const ShowItemsState& state)
{
    if (mProfile)
        mProfile->showItems(state);
}

std::pair<int, int> GraphView::getSelection() const
{
    return {mSelectionStart, mSelectionEnd};
}

void GraphView::enableMultiSelect(bool on)
{
    mMultiSelect = on;
}

QPointF GraphView::scenePoint(const QPointF& viewPosition) const
{
    return mapToScene(viewPosition.toPoint());
}

bool GraphView::inside(const QPointF& point) const
{
    return mProfile->pointInRect(point);
}

void GraphView::placeVerticalLine(QGraphicsLineItem* line, int x) const
{
    line->setLine(x, mProfile->graphRect().top(), x, mProfile->graphBottom());
}

void GraphView::updateSelection(short mode)
{
    if (mode == 0) {
        mSelectionRect->setRect(QRectF(mCursorLine->line().p1(), mRangeEndLine->line().p2()));
        return;
    }
    mSelectionRect->setRect(QRectF(mPressPoint, mCornerPoint).normalized());
}

QMouseEvent GraphView::withControl(const QMouseEvent& event)
{
    return QMouseEvent(event.type(), event.position(), event.globalPosition(), event.button(), event.buttons(),
                       event.modifiers() | Qt::ControlModifier, QPointingDevice::primaryPointingDevice());
}

void GraphView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    const QPointF point = scenePoint(event->position());
    if (inside(point)) {
        mPressPoint = point;
        const int time = mProfile->xpositionToTime(int(point.x()));
        if (event->button() == Qt::LeftButton && event->modifiers() == Qt::ShiftModifier && mSelectTimeRange)
            startTimeRange(point);
        emit clickDown(time);
    }
    if (!mMultiSelect) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    const QList<QGraphicsItem*> hits = mScene->items(point, Qt::IntersectsItemShape, Qt::DescendingOrder);
    const bool onPoint = std::any_of(hits.cbegin(), hits.cend(),
                                     [](const QGraphicsItem* item) { return item->type() == DivePoint::Type; });
    if (!onPoint)
        mScene->clearSelection();
    QMouseEvent copy = withControl(*event);
    QGraphicsView::mousePressEvent(&copy);
}

void GraphView::startTimeRange(const QPointF& point)
{
    // The shading runs from the cursor line, so it starts where the press is.
    mRangeInProgress = true;
    placeVerticalLine(mCursorLine, int(point.x()));
    mSelectionStart = mProfile->xpositionToTime(int(point.x()));
    mSelectionEnd = mSelectionStart;
}

void GraphView::mouseMoveEvent(QMouseEvent* event)
{
    if (!getDiveProfile()) {
        QGraphicsView::mouseMoveEvent(event);
        return;
    }
    // Two fingers on the screen move the mouse too: the gestures handle them.
    if (TwoFingersRecognizer::active)
        return;
    const QPointF point = scenePoint(event->position());
    const int x = int(point.x());
    if (mPressPoint.x() < 0) {
        placeVerticalLine(mCursorLine, x);
        mCursorLine->setVisible(inside(point));
        emit mouseMove(point, mProfile->xpositionToTime(x));
    } else if (event->buttons() == Qt::MiddleButton) {
        const double old = mPressPoint.x();
        mPressPoint.setX(x);
        if (x != old)
            mProfile->pan(old - x);
    } else if (event->modifiers() == Qt::ControlModifier && event->buttons() == Qt::LeftButton) {
        mCornerPoint = point;
        updateSelection(1);
        mSelectionRect->setVisible(inside(point));
    } else if (event->modifiers() == Qt::ShiftModifier && event->buttons() == Qt::LeftButton && mSelectTimeRange
               && mRangeInProgress) {
        dragTimeRange(point);
    }
    QGraphicsView::mouseMoveEvent(event);
}

void GraphView::dragTimeRange(const QPointF& point)
{
    const int x = int(point.x());
    placeVerticalLine(mRangeEndLine, x);
    updateSelection(0);
    const bool in = inside(point);
    mRangeEndLine->setVisible(in);
    mSelectionRect->setVisible(in);
    mSelectionEnd = mProfile->xpositionToTime(x);
    emit mouseMove(point, mSelectionEnd);
}

void GraphView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        QGraphicsView::mouseReleaseEvent(event);
        return;
    }
    const QPointF point = scenePoint(event->position());
    // A band needs its press inside the graph; without one there is no corner to span from.
    const bool pressed = mPressPoint.x() >= 0;
    if (event->button() == Qt::LeftButton) {
        if (event->modifiers() == Qt::ControlModifier) {
            if (pressed && inside(point))
                emit selectInRect(QRectF(mPressPoint, point).normalized());
            mSelectionRect->hide();
        } else if (event->modifiers() == Qt::ShiftModifier) {
            finishTimeRange(point);
        }
        mRangeInProgress = false;
        mPressPoint.setX(-1);
    } else if (event->button() == Qt::MiddleButton && event->buttons() == Qt::NoButton) {
        // The pan is over: the cursor follows the mouse again.
        mPressPoint.setX(-1);
    }
    if (!mMultiSelect) {
        QGraphicsView::mouseReleaseEvent(event);
        return;
    }
    QMouseEvent copy = withControl(*event);
    QGraphicsView::mouseReleaseEvent(&copy);
}

void GraphView::finishTimeRange(const QPointF& point)
{
    int time = -1;
    if (inside(point)) {
        time = mProfile->xpositionToTime(int(point.x()));
        if (mRangeInProgress && mSelectionStart >= 0) {
            if (time > mSelectionStart) {
                mSelectionEnd = time;
            } else {
                mSelectionEnd = mSelectionStart;
                mSelectionStart = time;
            }
        }
    }
    mRangeEndLine->hide();
    emit clickRelease(time);
}

void GraphView::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    if (delta.x() != 0) {
        mProfile->pan(delta.x());
    } else {
        const bool depth = QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier)
            || event->modifiers().testFlag(Qt::ControlModifier);
        const QPointF point = scenePoint(event->position());
        mProfile->zoom(depth ? DiveProfileItem::Axis::Depth : DiveProfileItem::Axis::Time, 1 + delta.y() / 600.0,
                       int(point.x()));
    }
    event->accept();
}

void GraphView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        mSelectionRect->hide();
    event->accept();
}

void GraphView::resizeEvent(QResizeEvent* event)
{
    // The viewport's resizes come here too, and a view of a pixel or two has
    // an empty viewport: a scene rectangle of no size would count as unset,
    // and the scene would take the bounds of its items instead.
    const QRectF rect(0, 0, std::max(1, event->size().width()), std::max(1, event->size().height()));
    mScene->setSceneRect(rect);
    mProfile->resize(rect);
    for (QGraphicsLineItem* line : {mCursorLine, mRangeEndLine}) {
        const QLineF l = line->line();
        line->setLine(l.x1(), l.y1(), l.x1(), rect.height());
    }
    updateSelection(0);
    QGraphicsView::resizeEvent(event);
}

void GraphView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (!mContextMenuFiller)
        return;
    QMenu menu(this);
    if (mContextMenuFiller(menu))
        menu.exec(event->globalPos());
}

void GraphView::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void GraphView::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void GraphView::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void GraphView::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    const QList<QUrl> urls = event->mimeData()->urls();
    QStringList files;
    for (qsizetype i = 0; i < std::min<qsizetype>(urls.size(), kMaxDroppedFiles); ++i)
        files.append(urls.at(i).toLocalFile());
    emit dragDropFiles(files);
    event->acceptProposedAction();
}

bool GraphView::getInfosOnPosition(QPointF, int time, DivePosition& out) const
{
    const Dive* dive = getDiveProfile();
    if (!dive)
        return false;
    DivePosition position = positionAt(dive->lines, time);
    if (!position.prevLine || !position.nextLine)
        position = positionAt(dive->decoLines, time);
    if (!position.prevLine || !position.nextLine)
        return false;
    out = position;
    return true;
}

QString GraphView::getInfosOnPosition(QPointF point, int time) const
{
    const Dive* dive = getDiveProfile();
    if (!dive)
        return QString();
    const DivePosition position = positionAt(dive->lines, time);
    if (!position.prevLine || !position.nextLine)
        return QString();
    QString html = QStringLiteral(
        "<html>  <head>    <style>      table, caption, th, td { padding:4px; border:1px solid black; "
        "border-collapse: collapse; font-family: Arial, sans-serif; font-size:8pt; font-weight:100}    </style>  "
        "</head>  <body>");
    html += infoTableTitle(tr("Position information"));
    html += infoTableRow(tr("Time"), formatTimeSecondes(time), true);
    html += infoTableRow(tr("Depth"), QStringLiteral("%1m").arg(oneDecimal(position.prevLine->depth)), false);
    html += infoTableRow(tr("Speed"), QStringLiteral("%1m/mn").arg(oneDecimal(position.nextLine->speed)), true);
    html += infoTableRow(tr("Temperature"), QStringLiteral("%1&deg;C").arg(oneDecimal(position.nextLine->ambientTemp)),
                         false);
    const int tank = truncatedInt(position.tankPressure);
    if (qint16(tank) > 0)
        html += infoTableRow(tr("Tank Pressure"), QStringLiteral("%1b").arg(tank), false);
    const double ceiling = position.prevLine->decoCeiling;
    if (ceiling >= 0)
        html += infoTableRow(tr("Ceiling"), oneDecimal(ceiling) + QStringLiteral("m"), true);
    else
        html += infoTableRow(tr("NDL"), oneDecimal(ceiling) + QStringLiteral("mn"), true);
    if (const Marker* marker = mProfile->getMarkerAtPosition(point)) {
        if (marker->mType >= MarkerType::AlertCeil && marker->mType <= MarkerType::Alert24H)
            html += infoTableRow(tr("Alert"), marker->mText, false);
        else if (marker->mType == MarkerType::Gas)
            html += infoTableRow(tr("Switch gas"), marker->mText, false);
    }
    html += kTableEnd;
    if (mSelectionRect->isVisible()) {
        html += infoTableTitle(tr("Selection"));
        html += infoTableRow(tr("Start Time"), formatTimeSecondes(mSelectionStart), true);
        html += infoTableRow(tr("End Time"), formatTimeSecondes(mSelectionEnd), false);
        html += infoTableRow(tr("Elapsed Time"), formatTimeSecondes(mSelectionEnd - mSelectionStart), true);
        html += kTableEnd;
    }
    html += QStringLiteral("  </body></html>");
    return html;
}
