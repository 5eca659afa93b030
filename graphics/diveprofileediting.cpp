// Point editing of a planned dive on the profile item: the points, the drag
// constraint, insertions, deletions, the modify operations, the selection
// and the undo list.
#include "graphics/diveprofileitem.h"

#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "divemodel/diveanalysis.h"
#include "divemodel/pointlimits.h"
#include "graphics/profilenumbers.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDepthStepsPerMetre = 2.0; // drags move by half metres
// A point inserted after the last sample goes half this later.
constexpr double kAppendedPointSpan = 60.0; // s

} // namespace

QList<DivePoint*> DiveProfileItem::divePoints() const
{
    QList<DivePoint*> points;
    for (QGraphicsItem* child : childItems()) {
        if (child->type() == DivePoint::Type)
            points.append(static_cast<DivePoint*>(child));
    }
    return points;
}

void DiveProfileItem::createDivePoints()
{
    if (!mEditable)
        return;
    // The undo records would point at the deleted points.
    mUndoList.clear();
    qDeleteAll(divePoints());
    if (!mDive)
        return;
    for (int k = 0; k < mDive->lines.size(); ++k)
        createDivePoint(k, k == 0);
}

DivePoint* DiveProfileItem::createDivePoint(int index, bool readOnly)
{
    const DiveLine& line = mDive->lines.at(index);
    const auto constraint = [this](DiveLineInfo& info, const QPointF& p) { return updateDivePoint(info, p); };
    auto* point = new DivePoint(this, divePointPosition(line), {index, line.timeSec, line.depth}, constraint, readOnly);
    point->setToolTip(divePointToolTip(index, line));
    point->setVisible(mShowItems.points);
    return point;
}

void DiveProfileItem::updateDivePoints()
{
    if (!mEditable || !mDive)
        return;
    for (DivePoint* point : divePoints()) {
        const int index = point->mLineInfo.index;
        if (index >= 0 && index < mDive->lines.size())
            placeDivePoint(point, mDive->lines.at(index));
    }
}

void DiveProfileItem::placeDivePoint(DivePoint* point, const DiveLine& line)
{
    const bool notifies = point->flags().testFlag(ItemSendsGeometryChanges);
    point->setFlag(ItemSendsGeometryChanges, false);
    point->setPos(divePointPosition(line));
    point->setFlag(ItemSendsGeometryChanges, notifies);
    point->setToolTip(divePointToolTip(point->mLineInfo.index, line));
}

QPointF DiveProfileItem::divePointPosition(const DiveLine& line) const
{
    const QPointF at = timeDepthToGraphCoordinates(line.timeSec, line.depth);
    return QPointF(profilenumbers::withinFarOff(at.x()), profilenumbers::withinFarOff(at.y()));
}

std::pair<double, double> DiveProfileItem::timeDepthAt(const QPointF& p) const
{
    const double time = profilenumbers::wholeSecondOf(timeAt(p.x()));
    const double y = std::min(p.y(), mGraphBottom);
    const double depth =
        std::round(kDepthStepsPerMetre * (y - mGraphRect.top()) / mPixelsPerMeter) / kDepthStepsPerMetre;
    return {time, depth};
}

QPointF DiveProfileItem::updateDivePoint(DiveLineInfo& info, QPointF p)
{
    if (!mDive || info.index < 0 || info.index >= mDive->lines.size())
        return p;
    const auto [time, depth] = timeDepthAt(p);
    return constrainDivePoint(info, time, depth);
}

QPointF DiveProfileItem::constrainDivePoint(DiveLineInfo& info, double t, double d)
{
    const int i = info.index;
    QList<DiveLine>& lines = mDive->lines;
    t = pointlimits::timeWithinLimits(lines, i, t, d, {vascSpeedLimit, vdscSpeedLimit});
    const double depth = std::max(0.0, d);
    lines[i].timeSec = t;
    lines[i].depth = depth;
    DiveAnalysis::calculateSpeeds(*mDive, false);
    rebuildIcons();
    repaintScene();
    emit onUpdateDivePoint(i);
    info.time = t;
    info.depth = depth;
    return timeDepthToGraphCoordinates(t, depth);
}

void DiveProfileItem::onDivePointMoved(DivePoint* point, const QPointF& /*oldPos*/)
{
    // Only this item's points: a record of another item's point would outlive
    // it. The sample's values at the press, not the place the point had
    // then, are what an undo gives back.
    if (point && point->parentItem() == this)
        mUndoList.append({PointUndoRecord::moved, point, point->mPressInfo.time, point->mPressInfo.depth});
}

QString DiveProfileItem::divePointToolTip(int index, const DiveLine& line)
{
    QString tip = QStringLiteral("Point <b>%1</b><br>Depth <b>%2m</b><br>Time <b>%3</b>")
                      .arg(QString::number(index), QString::number(line.depth),
                           formatTimeSecondes(wholeSeconds(line.timeSec)));
    if (line.decoCeiling > 0)
        tip += QStringLiteral("<br>Ceil <b>%1m</b>").arg(QString::number(line.decoCeiling));
    return tip;
}

void DiveProfileItem::addDivePoint(double time, double depth)
{
    if (!mEditable || !mDive || !std::isfinite(time) || !std::isfinite(depth))
        return;
    if (mLogCallback)
        mLogCallback(tr("Time: %1 - Depth: %2").arg(QString::number(time), QString::number(depth)));

    // Nothing goes before the first sample, whose point stays read-only, nor
    // above the surface.
    QList<DiveLine>& lines = mDive->lines;
    if (!lines.isEmpty())
        time = std::max(time, lines.constFirst().timeSec);
    depth = std::max(0.0, depth);
    const auto later = std::find_if(lines.cbegin(), lines.cend(),
                                    [time](const DiveLine& line) { return line.timeSec > time; });
    const int j = int(later - lines.cbegin());
    DiveLine line;
    line.timeSec = time;
    line.depth = depth;
    lines.insert(j, line);

    for (DivePoint* point : divePoints()) {
        if (point->mLineInfo.index >= j)
            ++point->mLineInfo.index;
    }
    DivePoint* point = createDivePoint(j, j == 0);
    mUndoList.append({PointUndoRecord::added, point, time, depth});
    samplesChanged();
    emit onAddDivePoint();
}

void DiveProfileItem::addDivePoint(QPointF p)
{
    const auto [time, depth] = timeDepthAt(p);
    addDivePoint(time, depth);
}

void DiveProfileItem::addDivePointAfter(int index)
{
    if (!mDive || index < 0 || index >= mDive->lines.size())
        return;
    const DiveLine& line = mDive->lines.at(index);
    const bool last = index + 1 == mDive->lines.size();
    const double nextTime = last ? line.timeSec + kAppendedPointSpan : mDive->lines.at(index + 1).timeSec;
    const double nextDepth = last ? line.depth : mDive->lines.at(index + 1).depth;
    addDivePoint((line.timeSec + nextTime) / 2, (line.depth + nextDepth) / 2);
}

bool DiveProfileItem::deleteDivePoint(DivePoint* point)
{
    if (!mDive || !point || point->parentItem() != this)
        return false;
    const int index = point->mLineInfo.index;
    QList<DiveLine>& lines = mDive->lines;
    // A dive keeps at least one sample.
    if (index < 0 || index >= lines.size() || lines.size() < 2)
        return false;
    dropUndoRecordsOf(point);
    lines.removeAt(index);
    // Out of the scene and no longer the point the menu was opened on.
    delete point;
    for (DivePoint* other : divePoints()) {
        if (other->mLineInfo.index > index)
            --other->mLineInfo.index;
    }
    if (index == 0)
        keepFirstPointReadOnly();
    samplesChanged();
    return true;
}

void DiveProfileItem::deleteSelectedPoints()
{
    if (!mDive)
        return;
    QList<int> indices;
    for (const DivePoint* point : divePoints()) {
        if (point->isSelected())
            indices.append(point->mLineInfo.index);
    }
    std::sort(indices.begin(), indices.end(), std::greater<>());
    for (const int index : std::as_const(indices)) {
        if (index >= 1 && index < mDive->lines.size())
            mDive->lines.removeAt(index);
    }
    DiveAnalysis::calculateSpeeds(*mDive, false);
    // The points are made again, and the undo list goes with the old ones.
    update();
    internalUpdateTitle();
}

DivePoint* DiveProfileItem::getDivePointAtIndex(int index) const
{
    for (DivePoint* point : divePoints()) {
        if (point->mLineInfo.index == index)
            return point;
    }
    return nullptr;
}

void DiveProfileItem::modifyDepthOfDivePoint(int index, double depth)
{
    DivePoint* point = getDivePointAtIndex(index);
    if (!point || !mDive || index >= mDive->lines.size() || !std::isfinite(depth))
        return;
    mDive->lines[index].depth = depth;
    point->mLineInfo.depth = depth;
    samplesChanged();
}

bool DiveProfileItem::modifyTimeOfDivePoint(int index, double& time)
{
    DivePoint* point = getDivePointAtIndex(index);
    if (!point || !mDive || index < 1 || index >= mDive->lines.size() || !std::isfinite(time))
        return false;
    QList<DiveLine>& lines = mDive->lines;
    bool clamped = false;
    if (lines.at(index - 1).timeSec > time) {
        time = lines.at(index - 1).timeSec;
        clamped = true;
    }
    if (index + 1 < lines.size() && time > lines.at(index + 1).timeSec) {
        time = lines.at(index + 1).timeSec;
        clamped = true;
    }
    lines[index].timeSec = time;
    point->mLineInfo.time = time;
    samplesChanged();
    return clamped;
}

void DiveProfileItem::modifyGasOfDivePoint(int index, int gas)
{
    if (!getDivePointAtIndex(index) || !mDive || index >= mDive->lines.size())
        return;
    mDive->lines[index].gasIndex = gas;
    // No repaint here, but the next one shows the gas: a value written in
    // place is nothing the kept trace can tell from its key.
    rebuildIcons();
}

void DiveProfileItem::selectPointsInRect(const QRectF& rect)
{
    for (DivePoint* point : divePoints()) {
        if (rect.contains(point->scenePos()))
            point->setSelected(true);
    }
}

int DiveProfileItem::nbSelectedPoints() const
{
    const QList<DivePoint*> points = divePoints();
    return int(std::count_if(points.cbegin(), points.cend(), [](const DivePoint* p) { return p->isSelected(); }));
}

std::pair<int, int> DiveProfileItem::getSelectedPair() const
{
    int first = -1;
    int second = -1;
    if (scene()) {
        // The two topmost selected points, when more are selected.
        for (QGraphicsItem* item : scene()->items(Qt::DescendingOrder)) {
            if (item->type() != DivePoint::Type || item->parentItem() != this || !item->isSelected())
                continue;
            const int index = static_cast<DivePoint*>(item)->mLineInfo.index;
            if (first < 0) {
                first = index;
            } else {
                second = index;
                break;
            }
        }
    }
    if (second < 0)
        return {first, -1};
    return {std::min(first, second), std::max(first, second)};
}

bool DiveProfileItem::undoLastPointChange()
{
    if (mUndoList.isEmpty())
        return true;
    const PointUndoRecord record = mUndoList.takeLast();
    if (record.kind == PointUndoRecord::added) {
        deleteDivePoint(record.point);
    } else if (mDive && record.point->mLineInfo.index >= 0 && record.point->mLineInfo.index < mDive->lines.size()) {
        DivePoint* point = record.point;
        constrainDivePoint(point->mLineInfo, record.time, record.depth);
        placeDivePoint(point, mDive->lines.at(point->mLineInfo.index));
    }
    return mUndoList.isEmpty();
}

void DiveProfileItem::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event)
{
    if (!mDive || !mEditable) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::MiddleButton)
        fitAll();
    else if (event->button() == Qt::LeftButton)
        addDivePoint(event->pos());
}

void DiveProfileItem::samplesChanged()
{
    DiveAnalysis::calculateSpeeds(*mDive, false);
    updateDivePoints();
    rebuildIcons();
    repaintScene();
}

void DiveProfileItem::dropUndoRecordsOf(const DivePoint* point)
{
    mUndoList.removeIf([point](const PointUndoRecord& record) { return record.point == point; });
}

void DiveProfileItem::keepFirstPointReadOnly()
{
    DivePoint* first = getDivePointAtIndex(0);
    if (!first)
        return;
    first->setReadOnly(true);
    // It can no longer be dragged: its moves are no longer undone either.
    dropUndoRecordsOf(first);
}
