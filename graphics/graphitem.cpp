#include "graphics/graphitem.h"

#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "divemodel/diveanalysis.h"
#include "graphics/curvereduction.h"
#include "graphics/profilegrid.h"
#include "graphics/profilemapping.h"
#include "graphics/profilenumbers.h"
#include "graphics/profilestyle.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

using profilenumbers::isFinitePositive;
using profilenumbers::scaleOrOne;
using profilestyle::arial;
using profilestyle::Level;

double GraphItem::sSpeedTooFast = 15.9;

namespace {

constexpr double kRightReserve = 10.0;     // px right of the curve
constexpr double kWarningAscent = 10.0;    // m/min; faster ascents are drawn in the warning colour
constexpr double kHitDistance = 10.0;      // px
constexpr double kDepthLineStep = 50.0;    // px between depth lines
constexpr double kTimeLineStep = 100.0;    // px between time lines
constexpr double kGridEndGap = 25.0;       // px kept free of grid lines before the graph's end
constexpr double kLabelSpacing = 50.0;     // px at least between two temperature labels
constexpr double kPenReach = 2.0;          // px a curve pen reaches beyond its point
constexpr double kDotSize = 3.0;
constexpr double kMarkDiameter = 6.0;

// The marker of a sample's first alert group, in the order of this table;
// a sample with bit 3 alone gets an error marker without a text.
struct AlertGroup
{
    QuelmAlertType field;
    MarkerType marker;
    const char* text;
};
constexpr AlertGroup kAlertGroups[] = {
    {QuelmAlertType::RA, MarkerType::AlertCeil, QT_TRANSLATE_NOOP("GraphItem", "Ceil")},
    {QuelmAlertType::RR, MarkerType::AlertRR, QT_TRANSLATE_NOOP("GraphItem", "RR")},
    {QuelmAlertType::Yoyo, MarkerType::AlertYoyo, QT_TRANSLATE_NOOP("GraphItem", "Yoyo")},
    {QuelmAlertType::Effort, MarkerType::AlertSecurity, QT_TRANSLATE_NOOP("GraphItem", "Security")},
    {QuelmAlertType::D24H, MarkerType::Alert24H, QT_TRANSLATE_NOOP("GraphItem", "Period 24H")},
};

Level speedLevel(double speed)
{
    if (speed < -GraphItem::sSpeedTooFast)
        return profilestyle::Danger;
    return speed < -kWarningAscent ? profilestyle::Warning : profilestyle::Normal;
}

// "12.5°", and "12°" rather than "12.0°".
QString temperatureText(double celsius)
{
    QString text = QString::number(celsius, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text + QChar(0x00B0);
}

// A duration in whole minutes and seconds, "75mn 00s".
QString titleDurationText(double seconds)
{
    const qint64 whole = std::max<qint64>(0, wholeSeconds(seconds));
    return QStringLiteral("%1mn %2s").arg(whole / 60, 2, 10, QLatin1Char('0')).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

GraphItem::GraphItem()
    : QGraphicsItem(nullptr)
{
    layOut(mRect);
    Marker::loadPictures();
}

QRectF GraphItem::boundingRect() const
{
    return mRect;
}

void GraphItem::layOut(const QRectF& rect)
{
    mRect = rect;
    mGraphRect = rect.adjusted(mMargins.left, mMargins.top, -mMargins.right, -mMargins.bottom);
}

double GraphItem::curveWidth() const
{
    return mGraphRect.width() - kRightReserve;
}

double GraphItem::curveHeight() const
{
    return mGraphRect.height() - mBottomReserve;
}

double GraphItem::diveEnd() const
{
    return mDive && std::isfinite(mDive->maxTime) ? std::max(0.0, mDive->maxTime) : 0.0;
}

ProfileMapping GraphItem::mapping() const
{
    return ProfileMapping(mGraphRect, mStartTime, mPixelsPerSecond, mPixelsPerMeter, mPixelsPerDegree, 1.0, 0.0, 0.0);
}

void GraphItem::resize(const QRectF& rect)
{
    prepareGeometryChange();
    layOut(rect);
    windowChanged();
}

void GraphItem::setDiveProfile(Dive* dive)
{
    mMarkers.clear();
    mDive = dive;
    mMaxDepth = dive ? std::ceil(dive->maxDepth) : 0.0;
    mStartTime = 0;
    mEndTime = diveEnd();
    UpdateDiveProfile();
    setGasMarkers();
    setAlertMarkers();
    updateTitle();
    update();
}

void GraphItem::UpdateDiveProfile()
{
    if (mDive && !mDive->lines.isEmpty()) {
        mPixelsPerSecond = scaleOrOne(curveWidth() / (mEndTime - mStartTime));
        mPixelsPerMeter = scaleOrOne(curveHeight() / mMaxDepth);
        if (mDive->maxTemperature > 0)
            mPixelsPerDegree = scaleOrOne(curveHeight() / 4 / mDive->maxTemperature);
    }
    rebuildPoints();
}

void GraphItem::rebuildPoints()
{
    mCurveArea.clear();
    mSpeedSegments.clear();
    mCeilingArea.clear();
    mDots.clear();
    mTemperatures.clear();
    mHasMaxDepth = false;
    if (!mDive || mDive->lines.isEmpty())
        return;

    const ProfileMapping map = mapping();
    const double top = mGraphRect.top();
    const double temperatureBase = top + curveHeight();
    const PixelColumns columns(1.0, mGraphRect.left() - kPenReach, mGraphRect.right() + kPenReach);
    // The curve is stroked over the area's edge, except on its way down from
    // the graph top and back up to it.
    AreaReducer curve(columns, true);
    SegmentReducer segments(columns, profilestyle::kLevelCount);
    AreaReducer ceiling(columns, false);
    DotReducer dots(columns, top - kDotSize, mGraphRect.bottom() + kDotSize, kDotSize);
    bool hasPoint = false;
    bool hasCeiling = false;
    double lastX = 0;
    const auto addPoint = [&](double time, double depth, double ceilingDepth, double speed) {
        const QPointF p = map.point(time, depth);
        if (!hasPoint) {
            curve.add(QPointF(p.x(), top));
            ceiling.add(QPointF(p.x(), top));
        }
        curve.add(p, hasPoint);
        segments.add(p, speedLevel(speed));
        ceiling.add(map.point(time, std::max(0.0, ceilingDepth)));
        hasCeiling = hasCeiling || ceilingDepth > 0;
        hasPoint = true;
        lastX = p.x();
        return p;
    };
    // Where the window cuts between two samples, the profile between them.
    const auto addWindowEdge = [&](double time) {
        const DivePosition position = mDive->getPositionAt(truncatedInt(time), false);
        if (!position.prevLine || !position.nextLine)
            return;
        const DiveLine& a = *position.prevLine;
        const DiveLine& b = *position.nextLine;
        const double f = b.timeSec > a.timeSec ? std::clamp((time - a.timeSec) / (b.timeSec - a.timeSec), 0.0, 1.0) : 0.0;
        addPoint(time, a.depth + f * (b.depth - a.depth), a.decoCeiling + f * (b.decoCeiling - a.decoCeiling), b.speed);
    };

    const QList<DiveLine>& lines = mDive->lines;
    const auto inside = std::lower_bound(lines.cbegin(), lines.cend(), mStartTime,
                                         [](const DiveLine& line, double t) { return line.timeSec < t; });
    const auto past = std::upper_bound(inside, lines.cend(), mEndTime,
                                       [](double t, const DiveLine& line) { return t < line.timeSec; });
    if (inside != lines.cbegin())
        addWindowEdge(mStartTime);
    const bool withTemperatures = mDive->maxTemperature > 0;
    double labelX = -std::numeric_limits<double>::infinity();
    QString labelText;
    for (auto line = inside; line != past; ++line) {
        const QPointF p = addPoint(line->timeSec, line->depth, line->decoCeiling, line->speed);
        dots.add(p);
        if (line->isMaxDepth) {
            mHasMaxDepth = true;
            mMaxDepthPoint = p;
            mMaxDepthValue = line->depth;
        }
        if (!withTemperatures || p.x() < labelX + kLabelSpacing)
            continue;
        const QString text = temperatureText(line->ambientTemp);
        if (text != labelText) {
            mTemperatures.append({QPointF(p.x(), temperatureBase - line->ambientTemp * mPixelsPerDegree), text});
            labelX = p.x();
            labelText = text;
        }
    }
    if (past != lines.cend())
        addWindowEdge(mEndTime);
    if (!hasPoint)
        return;
    curve.add(QPointF(lastX, top), false);
    ceiling.add(QPointF(lastX, top));
    mCurveArea = curve.take();
    mSpeedSegments = segments.take();
    if (hasCeiling)
        mCeilingArea = ceiling.take();
    mDots = dots.take();
}

void GraphItem::UpdateMarkers()
{
    const ProfileMapping map = mapping();
    for (Marker& marker : mMarkers)
        marker.mPos = map.point(marker.mTime, marker.mDepth);
}

void GraphItem::windowChanged()
{
    UpdateDiveProfile();
    UpdateMarkers();
    update();
}

void GraphItem::zoom(Axis axis, double factor, double x)
{
    if (!mDive || !isFinitePositive(factor))
        return;
    const bool changed = axis == Axis::Depth ? zoomDepth(factor) : zoomTime(factor, x);
    if (changed)
        windowChanged();
}

bool GraphItem::zoomTime(double factor, double x)
{
    double span = (mEndTime - mStartTime) / factor;
    double start = 0;
    if (mZoomMode == 1) {
        if (span > diveEnd()) {
            span = diveEnd(); // the whole dive
        } else {
            // The time under x stays there, and the window never starts before the dive.
            const double underCursor = timeAt(x);
            start = std::max(0.0, underCursor - (underCursor - mStartTime) / factor);
        }
    }
    if (!isFinitePositive(span) || !std::isfinite(start))
        return false;
    mStartTime = start;
    mEndTime = start + span;
    return true;
}

bool GraphItem::zoomDepth(double factor)
{
    const double reserve = std::max(kMinBottomReserve, mBottomReserve * factor);
    // A reserve as high as the graph would leave no curve, or turn it upside down.
    if (!(mGraphRect.height() - reserve > 0))
        return false;
    mBottomReserve = reserve;
    return true;
}

void GraphItem::pan(double dx)
{
    if (!mDive)
        return;
    const double dt = dx / mPixelsPerSecond;
    if (!std::isfinite(dt) || mStartTime + dt < 0 || mEndTime + dt > diveEnd())
        return;
    mStartTime += dt;
    mEndTime += dt;
    windowChanged();
}

double GraphItem::timeAt(double x) const
{
    return (x - mGraphRect.left()) / mPixelsPerSecond + mStartTime;
}

int GraphItem::xpositionToTime(double x) const
{
    return truncatedInt(timeAt(x));
}

double GraphItem::timeToXposition(int time) const
{
    return mapping().x(time);
}

double GraphItem::ypositionToDepth(double y) const
{
    return (y - mGraphRect.top()) / mPixelsPerMeter;
}

bool GraphItem::pointInRect(const QPointF& p) const
{
    return QRectF(mGraphRect.left(), mGraphRect.top(), curveWidth(), mGraphRect.bottom()).contains(p);
}

void GraphItem::addDecoLine(const DiveLine& line)
{
    if (!mDive)
        return;
    mDive->decoLines.append(line);
    mEndTime = diveEnd();
    UpdateDiveProfile();
    update();
}

void GraphItem::showItems(bool points, bool temperature, bool deco, bool markers)
{
    mShowPoints = points;
    mShowTemperature = temperature;
    mShowDeco = deco;
    mShowMarkers = markers;
    update();
}

void GraphItem::setZoomMode(int mode)
{
    mZoomMode = mode;
}

double GraphItem::getSpeedTooFast()
{
    return sSpeedTooFast;
}

void GraphItem::setSpeedTooFast(double speed)
{
    // At or below the warning speed the red would hide the warning colour.
    if (std::isfinite(speed) && speed > kWarningAscent)
        sSpeedTooFast = speed;
}

int GraphItem::nextMarkerId() const
{
    int id = 0;
    for (const Marker& marker : mMarkers)
        id = std::max(id, marker.mId + 1);
    return id;
}

int GraphItem::addMarkerAt(double time, bool active, MarkerType type, const QString& text)
{
    const int id = nextMarkerId();
    mMarkers.append(Marker(id, type, text, active));
    setMarkerAt(id, time, -1.0);
    return id;
}

void GraphItem::pin(Marker& marker, double time, double depth) const
{
    marker.mTime = std::clamp(time, 0.0, diveEnd());
    marker.mDepth = std::isfinite(depth) && depth >= 0 ? depth : DiveAnalysis::getDepthAtTime(*mDive, marker.mTime);
}

void GraphItem::setMarkerAt(int id, double time, double depth)
{
    if (!mDive || mDive->lines.isEmpty() || !std::isfinite(time))
        return;
    Marker* marker = getMarker(id);
    if (!marker)
        return;
    pin(*marker, time, depth);
    UpdateMarkers();
    update();
}

void GraphItem::removeMarker(int id)
{
    mMarkers.removeIf([id](const Marker& marker) { return marker.mId == id; });
    update();
}

void GraphItem::activateMarker(int id, bool active)
{
    if (Marker* marker = getMarker(id)) {
        marker->mActive = active;
        update();
    }
}

Marker* GraphItem::getMarker(int id)
{
    const auto marker = std::find_if(mMarkers.begin(), mMarkers.end(), [id](const Marker& m) { return m.mId == id; });
    return marker == mMarkers.end() ? nullptr : &*marker;
}

Marker* GraphItem::getMarkerAtPosition(const QPointF& point)
{
    const auto marker = std::find_if(mMarkers.begin(), mMarkers.end(), [&point](const Marker& m) {
        return std::abs(m.mPos.x() - point.x()) < kHitDistance && std::abs(m.mPos.y() - point.y()) < kHitDistance;
    });
    return marker == mMarkers.end() ? nullptr : &*marker;
}

void GraphItem::appendMarker(int id, MarkerType type, const QString& text, const DiveLine& line)
{
    Marker marker(id, type, text, true);
    pin(marker, line.timeSec, line.depth);
    mMarkers.append(marker);
}

void GraphItem::setGasMarkers()
{
    if (!mDive)
        return;
    int id = nextMarkerId();
    int lastGas = -1;
    for (const DiveLine& line : std::as_const(mDive->lines)) {
        if (line.gasIndex < 0 || line.gasIndex == lastGas)
            continue;
        lastGas = line.gasIndex;
        appendMarker(id++, MarkerType::Gas, mDive->gasAt(line.gasIndex).getName(), line);
    }
    UpdateMarkers();
}

void GraphItem::setAlertMarkers()
{
    if (!mDive)
        return;
    int id = nextMarkerId();
    for (const DiveLine& line : std::as_const(mDive->lines)) {
        if (line.alertFlag == 0)
            continue;
        const auto group = std::find_if(std::begin(kAlertGroups), std::end(kAlertGroups),
                                        [&line](const AlertGroup& g) { return line.flagQuelm(g.field) != 0; });
        if (group == std::end(kAlertGroups))
            appendMarker(id++, MarkerType::Error, QString(), line);
        else
            appendMarker(id++, group->marker, QCoreApplication::translate("GraphItem", group->text), line);
    }
    UpdateMarkers();
}

void GraphItem::updateTitle()
{
    if (!mDive) {
        mTitle.clear();
        return;
    }
    // One pass, so that a "%2" in the name stays as typed.
    mTitle = QCoreApplication::translate("GraphItem", "Dive: %1 - Depth: %2m - Duration:%3")
                 .arg(mDive->name, QString::number(mDive->maxDepth, 'f', 1), titleDurationText(mDive->maxTime));
    if (!mDive->name.isEmpty())
        mTitle += QCoreApplication::translate("GraphItem", " - File: %1").arg(mDive->name);
}

void GraphItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    painter->save();
    drawTitle(*painter);
    drawGrid(*painter);
    drawDive(*painter);
    drawAxes(*painter);
    drawMarkers(*painter);
    painter->restore();
}

void GraphItem::drawTitle(QPainter& painter) const
{
    if (mTitle.isEmpty())
        return;
    painter.setFont(arial(12));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(mRect.left(), mRect.top(), mRect.width(), mMargins.top), Qt::AlignCenter, mTitle);
}

void GraphItem::drawGrid(QPainter& painter) const
{
    const QRectF& graph = mGraphRect;
    painter.setFont(arial(10));
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double textHeight = metrics.height();
    const double bottom = graph.bottom() - kGridEndGap;
    const double right = graph.right() - kGridEndGap;
    const profilegrid::GridLines rows = profilegrid::visibleLines(graph.top(), kDepthLineStep, bottom, graph.top(), bottom);
    const profilegrid::GridLines columns =
        profilegrid::visibleLines(graph.left(), kTimeLineStep, right, graph.left(), right);
    for (qint64 row = rows.begin; row < rows.end; ++row) {
        const double y = rows.at(row);
        painter.setPen(Qt::lightGray);
        painter.drawLine(QPointF(graph.left(), y), QPointF(graph.right(), y));
        painter.setPen(Qt::red);
        painter.drawText(QRectF(mRect.left(), y - textHeight / 2, graph.left() - mRect.left() - 4, textHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(ypositionToDepth(y), 'f', 1));
    }
    for (qint64 column = columns.begin; column < columns.end; ++column) {
        const double x = columns.at(column);
        painter.setPen(Qt::lightGray);
        painter.drawLine(QPointF(x, graph.top()), QPointF(x, graph.bottom()));
        const QString label = formatTimeSecondes(wholeSeconds(timeAt(x)));
        painter.setPen(Qt::blue);
        painter.drawText(QPointF(x - metrics.horizontalAdvance(label) / 2, graph.bottom() + 1.5 * textHeight), label);
    }
}

void GraphItem::drawAxes(QPainter& painter) const
{
    painter.setPen(Qt::black);
    painter.drawLine(mGraphRect.topLeft(), mGraphRect.topRight());
    painter.drawLine(mGraphRect.topLeft(), mGraphRect.bottomLeft());
}

void GraphItem::drawDive(QPainter& painter) const
{
    if (mCurveArea.isEmpty())
        return;
    painter.save();
    painter.setClipRect(mGraphRect, Qt::IntersectClip);
    QLinearGradient depthShade(QPointF(0, mGraphRect.top()), QPointF(0, mGraphRect.top() + curveHeight()));
    depthShade.setColorAt(0, Qt::white);
    depthShade.setColorAt(1, QColor(150, 150, 218));
    painter.setPen(Qt::NoPen);
    painter.setBrush(depthShade);
    painter.drawPolygon(mCurveArea);
    if (mShowDeco && !mCeilingArea.isEmpty()) {
        painter.setBrush(QColor(242, 163, 167));
        painter.drawPolygon(mCeilingArea);
    }
    painter.setBrush(Qt::NoBrush);
    // Level by level, so that the most alarming colour lies on top.
    for (int level = 0; level < mSpeedSegments.size(); ++level) {
        painter.setPen(profilestyle::pen(profilestyle::speedColour(Level(level)), 2));
        painter.drawLines(mSpeedSegments[level]);
    }
    if (mShowPoints) {
        painter.setPen(profilestyle::pen(Qt::blue, kDotSize));
        painter.drawLines(mDots);
    }
    if (mShowTemperature && !mTemperatures.isEmpty()) {
        painter.setFont(arial(8));
        painter.setPen(Qt::black);
        for (const Label& label : mTemperatures)
            painter.drawText(label.at, label.text);
    }
    if (mHasMaxDepth) {
        painter.setPen(profilestyle::pen(Qt::darkRed, 2));
        painter.drawEllipse(mMaxDepthPoint, kMarkDiameter / 2, kMarkDiameter / 2);
        painter.drawText(mMaxDepthPoint + QPointF(kMarkDiameter, -kMarkDiameter),
                         QStringLiteral("%1m").arg(QString::number(mMaxDepthValue, 'f', 1)));
    }
    painter.restore();
}

void GraphItem::drawMarkers(QPainter& painter) const
{
    if (!mShowMarkers)
        return;
    for (const Marker& marker : mMarkers) {
        if (!marker.mActive || !marker.mImage || marker.mImage->isNull() || !curvereduction::isFinite(marker.mPos))
            continue;
        painter.drawImage(marker.mPos - QPointF(marker.mHotSpot), *marker.mImage);
    }
}
