#include "graphics/diveprofileitem.h"

#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "divemodel/diveanalysis.h"
#include "graphics/profilenumbers.h"
#include "graphics/profilepainter.h"
#include "graphics/profiletitle.h"

#include <QGraphicsScene>
#include <QStyleOptionGraphicsItem>

#include <algorithm>
#include <cmath>

using profilenumbers::finiteOrZero;
using profilenumbers::isFinitePositive;
using profilenumbers::scaleOrOne;

std::function<void(const QString&)> DiveProfileItem::mLogCallback;
QIcon DiveProfileItem::effortIcon;
double DiveProfileItem::vascSpeedLimit = 15.0;
double DiveProfileItem::vdscSpeedLimit = 30.0;

namespace {

// Pixels kept free right of a computed decompression ascent for its stop labels.
constexpr double kDecoLabelReserve = 55.0;
constexpr int kDecoLinesNeedingReserve = 3;
// Deepest depth the depth zoom shows, unless the dive itself is deeper.
constexpr double kDeepestZoomedDepth = 120.0;
// The temperature and tank curves each take this share of the graph height.
constexpr double kCurveHeightShare = 3.2;
constexpr double kMinTemperatureRange = 5.0; // °C
constexpr int kMinTankRange = 6;             // bar; narrower ranges use kNarrowTankRange
constexpr int kNarrowTankRange = 5;

// Who receives the release of every dive point: the item constructed last, while it lives.
const DiveProfileItem* sPointHookOwner = nullptr;

} // namespace

DiveProfileItem::DiveProfileItem()
    : QGraphicsObject(nullptr)
{
    // A paint is told which part of the item it must draw.
    setFlag(ItemUsesExtendedStyleOption);
    DivePoint::sPointHasMoved = [this](DivePoint* point, const QPointF& oldPos) { onDivePointMoved(point, oldPos); };
    sPointHookOwner = this;
    Marker::loadPictures();
}

DiveProfileItem::~DiveProfileItem()
{
    if (sPointHookOwner == this) {
        DivePoint::sPointHasMoved = nullptr;
        sPointHookOwner = nullptr;
    }
}

void DiveProfileItem::setLog(const std::function<void(const QString&)>& callback)
{
    mLogCallback = callback;
}

void DiveProfileItem::setEffortIconResource(const QString& path)
{
    effortIcon = QIcon(path);
}

QRectF DiveProfileItem::boundingRect() const
{
    return mRect;
}

void DiveProfileItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*)
{
    if (!scene())
        return;
    if (mDive && mEditable)
        internalUpdateTitle();
    if (mTitleText.text() != mTitle || mTitleText.textWidth() != mRect.width()) {
        mTitleText.setTextFormat(Qt::RichText);
        // One line: the name is elided to fit it (internalUpdateTitle).
        QTextOption option(Qt::AlignHCenter | Qt::AlignVCenter);
        option.setWrapMode(QTextOption::NoWrap);
        mTitleText.setTextOption(option);
        mTitleText.setTextWidth(mRect.width());
        mTitleText.setText(mTitle);
    }
    if (mDive && mDive->lines.size() >= 2)
        mClipRect = mGraphRect;
    ProfilePainter(*this, *painter, mTitleText, mTrace, option ? option->exposedRect : boundingRect()).paint();
}

void DiveProfileItem::setDiveProfile(Dive* dive)
{
    mMarkers.clear();
    mDive = dive;
    internalFitAll();
    internalUpdateTitle();
    repaintScene();
    createDivePoints();
    rebuildIcons();
}

void DiveProfileItem::resize(const QRectF& rect)
{
    prepareGeometryChange();
    mRect = rect;
    mGraphRect = QRectF(rect.left() + mMargins.left, rect.top() + mMargins.top,
                        rect.width() - mMargins.left - mMargins.right,
                        rect.height() - mMargins.top - mMargins.bottom);
    mGraphBottom = mGraphRect.top() + mGraphRect.height();
    internalFitAll();
    internalUpdateTitle();
    UpdateMarkers();
    updateDivePoints();
    placeIcons();
}

void DiveProfileItem::fitAll()
{
    internalFitAll();
    mappingChanged();
}

void DiveProfileItem::update()
{
    mUndoList.clear();
    internalFitAll();
    createDivePoints();
    rebuildIcons();
    repaintScene();
}

void DiveProfileItem::internalFitAll()
{
    if (!mDive)
        return;
    DiveAnalysis::calculateMaxTimeDepth(*mDive);
    // A maximum that is not a number, which no reader lets in, counts as none.
    mShownMaxDepth = finiteOrZero(std::ceil(mDive->maxDepth));
    mStartTime = 0;
    mEndTime = finiteOrZero(mDive->maxTime);

    const double reserve = mDive->decoLines.size() >= kDecoLinesNeedingReserve ? kDecoLabelReserve : 0.0;
    const double width = mGraphRect.width();
    const double height = mGraphRect.height();
    mPixelsPerSecond = scaleOrOne((width - reserve) / mDive->maxTime);
    mPixelsPerMeter = scaleOrOne((height - mBottomReserve) / mShownMaxDepth);

    const double temperatureRange = std::max(kMinTemperatureRange, mDive->maxTemperature - mDive->minTemperature);
    mPixelsPerDegree = scaleOrOne(height / kCurveHeightShare / temperatureRange);
    int tankRange = int(mDive->maxTankPressure) - int(mDive->minTankPressure);
    if (tankRange < kMinTankRange)
        tankRange = kNarrowTankRange;
    mPixelsPerBar = scaleOrOne(height / kCurveHeightShare / tankRange);
}

void DiveProfileItem::updateTitle()
{
    internalUpdateTitle();
    repaintScene();
}

void DiveProfileItem::internalUpdateTitle()
{
    if (!mDive)
        return;
    QList<profiletitle::Figure> figures = {
        {" - Profondeur : ", QString::number(mDive->maxDepth, 'f', 1) + QLatin1Char('m')},
        {" - DTP : ", formatTimeSecondes(wholeSeconds(mDive->maxTime))},
    };
    // The ascent and its stops to the nearest second, as their labels and the run table show them.
    if (mPlanningTitle == 1) {
        figures.append({" - DTR : ", formatTimeSecondes(nearestSeconds(mDive->ascentTime))});
        figures.append({" - DTPal : ", formatTimeSecondes(nearestSeconds(mDive->totalDecoTime))});
    }
    const double room = mRect.width();
    if (mDive->name == mTitleName && figures == mTitleFigures && room == mTitleRoom)
        return;
    mTitleName = mDive->name;
    mTitleFigures = figures;
    mTitleRoom = room;
    const profiletitle::Fitted title = profiletitle::fitted(mTitleName, mTitleFigures, mTitleRoom);
    mTitle = title.html;
    mTitleSize = title.size;
}

void DiveProfileItem::showItems(const ShowItemsState& state)
{
    mShowItems = state;
    rebuildIcons();
    repaintScene();
}

void DiveProfileItem::setItemFlag(bool ShowItemsState::*flag, bool on)
{
    mShowItems.*flag = on;
    rebuildIcons();
}

void DiveProfileItem::setShowDivePoints(bool show)
{
    mShowItems.points = show;
    showDivePoints(show);
}

void DiveProfileItem::showDivePoints(bool show)
{
    if (!scene())
        return;
    for (QGraphicsItem* item : scene()->items()) {
        if (item->type() == DivePoint::Type)
            item->setVisible(show);
    }
}

void DiveProfileItem::zoom(Axis axis, double factor, double x)
{
    if (!mDive || !isFinitePositive(factor))
        return;
    if (axis == Axis::Depth)
        zoomDepth(factor);
    else
        zoomTime(factor, x);
}

void DiveProfileItem::zoomDepth(double factor)
{
    const double deepest = std::ceil(mDive->maxDepth);
    double shown = std::ceil(factor * mShownMaxDepth);
    if (shown < deepest)
        shown = deepest;
    else if (shown > std::max(kDeepestZoomedDepth, deepest))
        shown = std::max(kDeepestZoomedDepth, deepest);
    const double scale = (mGraphRect.height() - mBottomReserve) / shown;
    if (!isFinitePositive(scale))
        return;
    mShownMaxDepth = shown;
    mPixelsPerMeter = scale;
    mappingChanged();
}

void DiveProfileItem::zoomTime(double factor, double x)
{
    const double span = (mEndTime - mStartTime) / factor;
    double start = 0;
    double end = 2 * mDive->maxTime;
    if (!(span > 2 * mDive->maxTime)) {
        const double underCursor = xpositionToTime(x);
        start = std::max(0.0, underCursor - (underCursor - mStartTime) / factor);
        end = start + span;
    }
    const double scale = mGraphRect.width() / (end - start);
    if (!isFinitePositive(scale) || !std::isfinite(end))
        return;
    mStartTime = start;
    mEndTime = end;
    mPixelsPerSecond = scale;
    mappingChanged();
}

void DiveProfileItem::pan(double dx)
{
    const double dt = dx / mPixelsPerSecond;
    const double start = mStartTime + dt;
    const double end = mEndTime + dt;
    // Panning stops at 0 s, and before a window past the largest number.
    if (!std::isfinite(start) || !std::isfinite(end) || start < 0)
        return;
    mStartTime = start;
    mEndTime = end;
    mappingChanged();
}

int DiveProfileItem::xpositionToTime(double x) const
{
    return truncatedInt(profilenumbers::wholeSecondOf(timeAt(x)));
}

double DiveProfileItem::timeToXposition(int time) const
{
    return mapping().x(time);
}

double DiveProfileItem::ypositionToDepth(double y) const
{
    return (y - mGraphRect.top()) / mPixelsPerMeter;
}

ProfileMapping DiveProfileItem::mapping() const
{
    return ProfileMapping(mGraphRect, mStartTime, mPixelsPerSecond, mPixelsPerMeter, mPixelsPerDegree, mPixelsPerBar,
                          mDive ? mDive->maxTemperature : 0.0, mDive ? double(mDive->maxTankPressure) : 0.0);
}

QPointF DiveProfileItem::timeDepthToGraphCoordinates(double t, double d) const
{
    return mapping().point(t, d);
}

QPointF DiveProfileItem::diveLineToGraphCoordinates(const DiveLine& line, QPointF* temperaturePoint,
                                                     QPointF* tankPoint) const
{
    const ProfileMapping map = mapping();
    const QPointF point = map.point(line.timeSec, line.depth);
    if (temperaturePoint && mDive)
        *temperaturePoint = QPointF(point.x(), map.temperatureY(line.ambientTemp));
    if (tankPoint && mDive)
        *tankPoint = QPointF(point.x(), map.tankY(line.tankPressure));
    return point;
}

bool DiveProfileItem::pointInRect(const QPointF& p) const
{
    // The height is the bottom coordinate, so the sensitive area reaches one
    // top margin below the graph; the view relies on that for its band.
    return QRectF(mGraphRect.left(), mGraphRect.top(), mGraphRect.width(), mGraphBottom).contains(p);
}

double DiveProfileItem::timeAt(double x) const
{
    return (x - mMargins.left) / mPixelsPerSecond + mStartTime;
}

void DiveProfileItem::mappingChanged()
{
    UpdateMarkers();
    updateDivePoints();
    placeIcons();
    repaintScene();
}

void DiveProfileItem::repaintScene()
{
    if (scene())
        scene()->update();
}

void DiveProfileItem::addDecoLine(const DiveLine& line)
{
    if (!mDive)
        return;
    mDive->decoLines.append(line);
    // The dive's maximum time and its ascent figures take the line in.
    DiveAnalysis::calculateMaxTimeDepth(*mDive);
    mEndTime = finiteOrZero(mDive->maxTime);
    rebuildIcons();
    repaintScene();
}

void DiveProfileItem::computedLinesChanged()
{
    mTrace.invalidate();
    QGraphicsItem::update();
}

void DiveProfileItem::addCeilTrackingLine(const DiveLine& line)
{
    if (!mDive)
        return;
    mDive->ceilTrackingLines.append(line);
    rebuildIcons();
    repaintScene();
}

void DiveProfileItem::rebuildIcons()
{
    mTrace.invalidate();
    mIcons.collect(mDive, mShowItems);
    placeIcons();
}

void DiveProfileItem::placeIcons()
{
    mIcons.place(mapping(), mGraphRect);
}
