#include "graphics/profilepainter.h"

#include "common/depthtext.h"
#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "graphics/diveprofileitem.h"
#include "graphics/profilegrid.h"
#include "graphics/profilemarks.h"
#include "graphics/profilenumbers.h"
#include "graphics/profiletitle.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QStaticText>

#include <cmath>

using profileclip::PolylinePiece;
using profilestyle::arial;
using profilestyle::Level;
using profilestyle::pen;

namespace {

constexpr double kMarkDiameter = 6.0;
constexpr double kYoyoDiameter = 8.0;
constexpr double kAxisOverhang = 10.0;
constexpr double kSpeedAtStop = 0.01;  // m/min; slower is a stop
constexpr double kSameDepth = 0.01;    // m
constexpr double kCeilingCheckDuration = 30.0; // s a segment must last to count as a ceiling violation
constexpr double kDotSize = 4.0;
// Wide pens reach this far beyond the point they are drawn at.
constexpr double kPenReach = 2.0;
// Icons and labels reach this far from their anchor.
constexpr double kMarkReach = 200.0;
// What the trace keeps reaches this far beyond what the device shows, so
// that the cut ends of curves and fills are never seen.
constexpr double kCutMargin = 16.0;
// Pixels around what a pass paints that its drawing may still touch
// (antialiasing, rounding).
constexpr double kExposedMargin = 2.0;
constexpr int kFirstFamily = 1;
constexpr int kPlanFormat = 3;
// Layers of the marked pixels besides the icons' own (keyed by their image).
constexpr quintptr kAlertCircleLayer = 1;
constexpr quintptr kGasCircleLayer = 2;
// The widest grid label, in digits: hours, minutes and seconds.
constexpr int kWidestGridLabel = 12;

const QPointF kAlertOffset(5, 5);
const QPointF kStopLabelOffset(8, 0);
const QPointF kTankIconOffset(-24, -12);

// A pixel position of a finite coordinate, held well within int.
int pixel(double v)
{
    constexpr double kFar = 1 << 30;
    return std::isnan(v) ? 0 : int(std::clamp(v, -kFar, kFar));
}

QPoint truncated(double x, double y)
{
    return QPoint(pixel(x), pixel(y));
}

QRectF around(const QPointF& centre, double reach)
{
    return QRectF(centre.x() - reach, centre.y() - reach, 2 * reach, 2 * reach);
}

QRectF boundsOf(const QLineF& line, double reach)
{
    return QRectF(line.p1(), line.p2()).normalized().adjusted(-reach, -reach, reach, reach);
}

// "12m 01:30": the depth of a stop and how long it lasted.
QString stopLabel(const DiveLine& line, const DiveLine& previous)
{
    return QStringLiteral("%1m %2").arg(planDepthText(line.depth),
                                         formatTimeSecondes(nearestSeconds(line.timeSec - previous.timeSec)));
}

QString invalidReasonText(int reason)
{
    switch (reason) {
    case 1:
        return QCoreApplication::translate("DiveProfileItem", "Invalid dive: Yoyo on one of previous dives");
    case 2:
        return QCoreApplication::translate("DiveProfileItem", "Invalid dive: Dive not allowed because of TAR > 0.8");
    case 3:
        return QCoreApplication::translate("DiveProfileItem", "Invalid dive: Too many yoyos");
    case 4:
        return QCoreApplication::translate("DiveProfileItem",
                                           "Invalid dive: Contains surface interval greater than 15mn");
    default:
        return QString();
    }
}

Level speedLevelOf(const DiveLine& line)
{
    return profilestyle::speedLevel(line.speed, DiveProfileItem::vascSpeedLimit, DiveProfileItem::vdscSpeedLimit);
}

// The device's rectangle in item coordinates: nothing outside it can be
// seen. A widget paints through its window's backing store, whose offset the
// device transform holds but the widget's size does not: the painter's own
// transform maps the widget's rectangle.
QRectF deviceRectOf(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    if (!device)
        return QRectF();
    bool invertible = false;
    const QTransform toItem = painter.combinedTransform().inverted(&invertible);
    const QRectF rect = toItem.mapRect(QRectF(0, 0, device->width(), device->height()));
    return invertible ? rect : QRectF();
}

PixelColumns pixelColumnsOf(const QPainter& painter, const QRectF& area)
{
    const QTransform& device = painter.deviceTransform();
    const double scale = std::hypot(device.m11(), device.m12());
    return PixelColumns(scale > 0 ? 1.0 / scale : 1.0, area.left() - kPenReach, area.right() + kPenReach);
}

// The polyline cut to the area, as the pieces the painting draws.
QList<PolylinePiece> cutPolyline(const QPolygonF& polyline, const QRectF& area)
{
    return profileclip::clippedPolyline(polyline, area);
}

QList<QLineF> cutLines(const QList<QLineF>& lines, const QRectF& area)
{
    QList<QLineF> kept;
    kept.reserve(lines.size());
    for (const QLineF& line : lines) {
        if (const std::optional<QLineF> cut = profileclip::clippedLine(line, area))
            kept.append(*cut);
    }
    return kept;
}

QList<profileclip::LinesByLeft> cutLevelLines(const QList<QList<QLineF>>& levels, const QRectF& area)
{
    QList<profileclip::LinesByLeft> kept;
    kept.reserve(levels.size());
    for (const QList<QLineF>& lines : levels)
        kept.append(profileclip::LinesByLeft(cutLines(lines, area)));
    return kept;
}

} // namespace

ProfilePainter::ProfilePainter(const DiveProfileItem& item, QPainter& painter, const QStaticText& title,
                               ProfileTrace& trace, const QRectF& exposed)
    : mItem(item)
    , mPainter(painter)
    , mTitle(title)
    , mTrace(trace)
    , mDive(item.dive())
    , mMap(item.mapping())
    , mDeviceRect(deviceRectOf(painter))
    , mExposed(exposed.intersected(mDeviceRect))
    , mCutArea(item.clipRect()
                   .intersected(mDeviceRect)
                   .adjusted(-kCutMargin, -kCutMargin, kCutMargin, kCutMargin))
    , mMarkArea(mCutArea.adjusted(-kMarkReach, -kMarkReach, kMarkReach, kMarkReach))
{
}

void ProfilePainter::paint()
{
    if (mExposed.isEmpty())
        return;
    drawTitle();
    drawAxes();
    if (!mDive || mDive->lines.size() < 2)
        return;
    measureDigit();
    drawDepthGrid();
    drawTimeGrid();

    const ProfileTrace::Key key = traceKey();
    if (!mTrace.valid || !(mTrace.key == key)) {
        ProfileTrace::FillTexture fill = std::move(mTrace.fill);
        mTrace = ProfileTrace();
        mTrace.fill = std::move(fill);
        mTrace.key = key;
        trace();
        mTrace.valid = true;
    }
    updateFillTexture();

    mPainter.save();
    mPainter.setClipRect(mItem.clipRect(), Qt::IntersectClip);
    drawFilledProfile();
    // The sample loop, layer by layer: curve, alerts, gas changes, temperature, tank.
    drawDepthCurve();
    drawQuelmMarks();
    drawCircles(mTrace.alertCircles, pen(Qt::red, 2));
    drawCircles(mTrace.gasCircles, pen(Qt::darkGreen, 2));
    drawTemperatureCurve();
    drawTankCurve();
    drawCurveLabels();
    drawMaxDepth();
    drawPoints();
    drawYoyoMarks();
    drawDecoAscent();
    drawCeilingTracking();
    drawCeiling();
    drawStopLines();
    mPainter.restore();

    drawMarkers();
    drawEffortIcon();
    drawInvalidBanner();
}

ProfileTrace::Key ProfilePainter::traceKey() const
{
    ProfileTrace::Key key;
    key.dive = mDive;
    key.samples = mDive->lines.constData();
    key.sampleCount = mDive->lines.size();
    const qsizetype sizes[] = {mDive->decoLines.size(), mDive->stopLines.size(), mDive->ceilTrackingLines.size(),
                               mDive->ceilingPoints.size(), mDive->yoyoMarks.size()};
    std::copy(std::begin(sizes), std::end(sizes), std::begin(key.listSizes));
    key.dtrStartIndex = mDive->dtrStartIndex;
    key.computerModel = mDive->computerModel;
    key.format = mDive->format;
    key.invalidReason = mDive->invalidReason;
    key.mapping = mMap;
    key.clip = mItem.clipRect();
    key.shown = mItem.shownItems();
    key.editable = mItem.mEditable;
    key.ascentLimit = DiveProfileItem::vascSpeedLimit;
    key.descentLimit = DiveProfileItem::vdscSpeedLimit;
    key.device = mPainter.deviceTransform();
    key.deviceRect = mDeviceRect;
    return key;
}

// --- The trace: one walk over the dive ---

void ProfilePainter::trace()
{
    traceSamples();
    traceYoyoMarks();
    traceDecoAscent();
    traceCeilingTracking();
    traceCeiling();
    traceStopLines();
}

bool ProfilePainter::isWorthMarking(const QPointF& at) const
{
    return mMarkArea.contains(at);
}

// A label reads right of its point, or left of it where it would run past
// the graph's right edge: a planned dive's last stop ends there, and a
// curve's last change may lie just before it.
QPointF ProfilePainter::labelPlace(const QPointF& point, const QPointF& offset, const QString& text) const
{
    const double width = mPainter.fontMetrics().horizontalAdvance(text);
    QPointF at = point + offset;
    if (at.x() + width > mItem.clipRect().right())
        at.setX(point.x() - offset.x() - width);
    return at;
}

ProfileTrace::Label ProfilePainter::labelBesideStop(const QPointF& stop, QString text) const
{
    const QPointF at = labelPlace(stop, kStopLabelOffset, text);
    return {at, std::move(text)};
}

void ProfilePainter::traceSamples()
{
    const ShowItemsState& shown = mItem.shownItems();
    const QList<DiveLine>& lines = mDive->lines;
    const bool withTank = shown.tankPressure && lines.last().tankPressure != 0;
    const bool withDots = shown.points && !mItem.mEditable;
    const bool quelmAlerts = shown.alerts && mDive->computerModel == kFirstFamily;
    const bool pelavixAlerts = shown.alerts && !quelmAlerts;
    const PixelColumns columns = pixelColumnsOf(mPainter, mCutArea);

    // The depth curve is stroked over the filled profile's edge.
    AreaReducer outline(columns, true);
    SegmentReducer depthCurve(columns, profilestyle::kLevelCount);
    OutlineReducer temperatureCurve(columns);
    SegmentReducer tankCurve(columns, profilestyle::kLevelCount);
    DotReducer dots(columns, mCutArea.top() - kDotSize, mCutArea.bottom() + kDotSize, kDotSize);
    profilemarks::PelavixAlertScan alertScan;
    profilemarks::CurveLabels labels(mMarkArea);
    QList<profilemarks::AlertMark> alerts;
    PixelSet marked;
    bool quelmMaxDepthShown = false;
    int maxDepthSample = -1;

    const ProfileMapping map = mMap; // local copies stay in registers across the calls below
    const double ascentLimit = DiveProfileItem::vascSpeedLimit;
    const double descentLimit = DiveProfileItem::vdscSpeedLimit;
    QPointF previousPoint;
    QPointF previousTemperature;
    QPointF previousTank;
    for (int i = 0; i < lines.size(); ++i) {
        const DiveLine& line = lines[i];
        const QPointF point = map.point(line.timeSec, line.depth);
        const QPointF temperature(point.x(), map.temperatureY(line.ambientTemp));
        const QPointF tank(point.x(), map.tankY(line.tankPressure));
        const qint64 column = columns.columnOf(point.x());
        outline.add(point, column);
        if (withDots)
            dots.add(point, column);
        if (i == 0) {
            depthCurve.add(point, column, Level::Normal);
        } else {
            const DiveLine& previous = lines[i - 1];
            depthCurve.add(point, column, profilestyle::speedLevel(line.speed, ascentLimit, descentLimit));
            if (line.isMaxDepth) {
                maxDepthSample = i;
                mTrace.maxDepthAt = point;
            }
            if (quelmAlerts)
                collectQuelmMarks(i, line, previous, point, previousPoint, marked, quelmMaxDepthShown);
            if (pelavixAlerts) {
                alerts.clear();
                alertScan.scan(i, line, alerts);
                const QPointF circle = point + kAlertOffset;
                if (!alerts.isEmpty() && isWorthMarking(circle) && marked.insert(circle, kAlertCircleLayer))
                    mTrace.alertCircles.append(circle);
            }
            if (shown.gases && profilemarks::isGasChange(line, previous) && isWorthMarking(previousPoint)
                && marked.insert(previousPoint, kGasCircleLayer))
                mTrace.gasCircles.append(previousPoint);
            labels.add(previous, shown.temperature ? &previousTemperature : nullptr,
                       withTank ? &previousTank : nullptr);
        }
        if (shown.temperature)
            temperatureCurve.add(temperature, column);
        if (withTank)
            tankCurve.add(tank, column, i == 0 ? Level::Normal : profilestyle::tankLevel(lines[i - 1].tankPressure));
        previousPoint = point;
        previousTemperature = temperature;
        previousTank = tank;
    }
    // The depth curve ends at the last sample and the deco ascent starts at
    // its first line: nothing strokes the step between them.
    bool firstDecoLine = true;
    for (const DiveLine& line : mDive->decoLines) {
        const QPointF point = map.point(line.timeSec, line.depth);
        outline.add(point, !firstDecoLine);
        firstDecoLine = false;
        if (withDots)
            dots.add(point);
    }
    mTrace.outline = profileclip::clippedPolygon(outline.take(), mCutArea);
    mTrace.depthLines = cutLevelLines(depthCurve.take(), mCutArea);
    mTrace.temperatureLine = cutPolyline(temperatureCurve.take(), mCutArea);
    mTrace.tankLines = cutLevelLines(tankCurve.take(), mCutArea);
    mTrace.dots = profileclip::LinesByLeft(dots.take());
    mTrace.curveLabels = labels.labels();
    for (profilemarks::CurveLabel& label : mTrace.curveLabels)
        label.at = labelPlace(label.at, profilemarks::kCurveLabelOffset, label.text);
    if (maxDepthSample >= 0) {
        if (isWorthMarking(*mTrace.maxDepthAt))
            mTrace.maxDepthText = QStringLiteral("%1m").arg(QString::number(lines[maxDepthSample].depth));
        else
            mTrace.maxDepthAt.reset();
    }
}

void ProfilePainter::collectQuelmMarks(int i, const DiveLine& line, const DiveLine& previous, const QPointF& point,
                                       const QPointF& previousPoint, PixelSet& marked, bool& maxDepthShown)
{
    // Stacked alerts step down and right from the sample.
    QPointF at = point;
    const auto mark = [&](const QImage& image) {
        const QPointF circle = at;
        at += kAlertOffset;
        if (isWorthMarking(circle) && marked.insert(circle, quintptr(&image)))
            mTrace.quelmMarks.append({true, circle, speedLevelOf(line), at, &image});
    };
    if (line.flagQuelm(QuelmAlertType::RR))
        mark(Marker::mMarkAlertRR);
    // In a log dive one icon per run of flagged samples; a plan shows every one.
    const bool isPlan = mDive->format == kPlanFormat;
    const bool maxDepth = line.flagQuelm(QuelmAlertType::Pmax) != 0;
    if (!isPlan && !maxDepth)
        maxDepthShown = false;
    if (maxDepth && (isPlan || !maxDepthShown)) {
        mark(Marker::mMarkAlertPmax);
        maxDepthShown = true;
    }
    const double ceiling = previous.decoCeiling;
    const bool aboveCeiling = previous.depth < ceiling && ceiling > 0
        && line.timeSec - previous.timeSec >= kCeilingCheckDuration && line.depth < ceiling;
    if (aboveCeiling || line.flagQuelm(QuelmAlertType::RA) == 3)
        mark(Marker::mMarkAlertCeil);
    if (i == mDive->dtrStartIndex && isWorthMarking(previousPoint))
        mTrace.quelmMarks.append({false, QPointF(), Level::Normal, previousPoint, &Marker::mMarkDTR});
}

void ProfilePainter::traceYoyoMarks()
{
    int k = 0;
    for (const CeilPoint& mark : mDive->yoyoMarks) {
        ++k;
        const QPointF at = mMap.point(mark.time, mark.depth);
        if (isWorthMarking(at))
            mTrace.yoyoMarks.append({at, mark.value, k});
    }
}

void ProfilePainter::traceDecoAscent()
{
    const QList<DiveLine>& deco = mDive->decoLines;
    const PixelColumns columns = pixelColumnsOf(mPainter, mCutArea);
    OutlineReducer path(columns);
    int runningGas = mDive->lines.last().gasIndex;
    for (qsizetype j = 0; j < deco.size(); ++j) {
        const QPointF at = mMap.point(deco[j].timeSec, deco[j].depth);
        path.add(at);
        if (deco[j].gasIndex >= 0 && deco[j].gasIndex != runningGas) {
            if (isWorthMarking(at))
                mTrace.decoTanks.append(at + kTankIconOffset);
            runningGas = deco[j].gasIndex;
        }
        if (j > 0 && std::abs(deco[j].speed) < kSpeedAtStop) {
            mTrace.decoStopLabelled = true;
            if (isWorthMarking(at))
                mTrace.decoLabels.append(labelBesideStop(at, stopLabel(deco[j], deco[j - 1])));
        }
    }
    mTrace.decoPath = cutPolyline(path.take(), mCutArea);
}

void ProfilePainter::traceCeilingTracking()
{
    OutlineReducer path(pixelColumnsOf(mPainter, mCutArea));
    for (const DiveLine& line : mDive->ceilTrackingLines)
        path.add(mMap.point(line.timeSec, line.depth));
    mTrace.ceilingTracking = cutPolyline(path.take(), mCutArea);
}

void ProfilePainter::traceCeiling()
{
    const QList<CeilPoint>& ceiling = mDive->ceilingPoints;
    if (!mItem.shownItems().deco || ceiling.isEmpty())
        return;
    const double top = mItem.graphRect().top();
    const QPointF first = mMap.point(ceiling.first().time, ceiling.first().depth);
    const QPointF last = mMap.point(ceiling.last().time, ceiling.last().depth);
    AreaReducer outline(pixelColumnsOf(mPainter, mCutArea), false);
    outline.add(QPointF(first.x(), top));
    for (const CeilPoint& point : ceiling)
        outline.add(mMap.point(point.time, point.depth));
    outline.add(QPointF(last.x(), top));
    mTrace.ceiling = profileclip::clippedPolygon(outline.take(), mCutArea);
    mTrace.ceilingEnd = last;
}

void ProfilePainter::traceStopLines()
{
    const QList<DiveLine>& stops = mDive->stopLines;
    if (!mItem.shownItems().deco || stops.isEmpty())
        return;
    // The dashes follow the whole path, cut to what can be seen: however
    // long the path, the dash pattern is walked only there.
    QPolygonF points;
    points.reserve(stops.size());
    for (const DiveLine& line : stops)
        points.append(mMap.point(line.timeSec, line.depth));
    mTrace.stopPath = cutPolyline(points, mCutArea);
    for (qsizetype j = 1; j < stops.size(); ++j) {
        if (stops[j].depth >= kSameDepth && std::abs(stops[j].depth - stops[j - 1].depth) <= kSameDepth
            && isWorthMarking(points[j]))
            mTrace.stopLabels.append(labelBesideStop(points[j], stopLabel(stops[j], stops[j - 1])));
    }
}

// --- Drawing what reaches the exposed rectangle ---

bool ProfilePainter::reaches(const QRectF& bounds) const
{
    return bounds.intersects(mExposed.adjusted(-kExposedMargin, -kExposedMargin, kExposedMargin, kExposedMargin));
}

void ProfilePainter::drawTitle()
{
    if (!mDive)
        return;
    const QPointF at(0, profiletitle::kTop);
    if (!reaches(QRectF(at, mTitle.size())))
        return;
    mPainter.setFont(arial(12));
    mPainter.drawStaticText(at, mTitle);
}

void ProfilePainter::drawAxes()
{
    const QRectF& graph = mItem.graphRect();
    const double right = graph.right() + kAxisOverhang;
    const double bottom = mItem.graphBottom();
    mPainter.setPen(pen(Qt::lightGray, 2));
    // Each axis cut to what the device shows, in whole pixels.
    const QRectF area = mDeviceRect.adjusted(-kCutMargin, -kCutMargin, kCutMargin, kCutMargin);
    const QLineF axes[] = {QLineF(graph.left(), graph.top(), right, graph.top()),
                           QLineF(graph.left(), bottom, right, bottom),
                           QLineF(graph.left(), graph.top() - kAxisOverhang, graph.left(), bottom)};
    for (const QLineF& axis : axes) {
        const std::optional<QLineF> cut = profileclip::clippedLine(axis, area);
        if (cut && reaches(boundsOf(*cut, kPenReach)))
            mPainter.drawLine(truncated(cut->x1(), cut->y1()), truncated(cut->x2(), cut->y2()));
    }
}

void ProfilePainter::measureDigit()
{
    mPainter.setFont(arial(10));
    const QRect digit = QFontMetrics(mPainter.font(), mPainter.device()).boundingRect(QLatin1Char('0'));
    mDigitWidth = digit.width();
    mDigitHeight = digit.height();
}

void ProfilePainter::drawDepthGrid()
{
    const QRectF& graph = mItem.graphRect();
    const double step = profilegrid::depthStep(mItem.shownMaxDepth());
    const double stepPixels = step * mItem.pixelsPerMeter();
    // The rows whose line or label can reach the exposed rectangle.
    const profilegrid::GridLines rows =
        profilegrid::visibleLines(graph.top() + stepPixels, stepPixels, mItem.graphBottom(),
                                  mExposed.top() - 2 * mDigitHeight, mExposed.bottom() + 2 * mDigitHeight);
    const QPen linePen = pen(Qt::lightGray, 1);
    const QPen labelPen = pen(Qt::darkGray, 1);
    for (qint64 k = rows.begin; k < rows.end; ++k) {
        const double y = rows.at(k);
        mPainter.setPen(linePen);
        if (const std::optional<QLineF> line = profileclip::clippedLine(QLineF(graph.left(), y, graph.right(), y), mCutArea))
            mPainter.drawLine(*line);
        const QString label = QString::number(double(k + 1) * step, 'f', 1);
        mPainter.setPen(labelPen);
        mPainter.drawText(truncated(graph.left() - 1.5 * mDigitWidth * label.size(), y + 0.5 * mDigitHeight), label);
    }
}

void ProfilePainter::drawTimeGrid()
{
    const QRectF& graph = mItem.graphRect();
    const double start = mItem.startTime();
    const double pps = mItem.pixelsPerSecond();
    // The labels stand apart by two digits at least; the window's end has the widest.
    const QFontMetricsF metrics(mPainter.font(), mPainter.device());
    const double labelWidth =
        metrics.horizontalAdvance(formatTimeSecondes(wholeSeconds(mItem.endTime()))) + 2 * mDigitWidth;
    const double step = profilegrid::fittingTimeStep(mItem.endTime() - start, pps, labelWidth);
    const double first = profilegrid::firstTime(start);
    // The columns whose line or centred label can reach the exposed rectangle.
    const double labelReach = mDigitWidth * kWidestGridLabel;
    const profilegrid::GridLines columns =
        profilegrid::visibleLines(graph.left() + (first - start) * pps, step * pps, graph.right(),
                                  mExposed.left() - labelReach, mExposed.right() + labelReach);
    const double bottom = mItem.graphBottom();
    const QPen linePen = pen(Qt::lightGray, 1);
    const QPen labelPen = pen(Qt::darkGray, 1);
    for (qint64 k = columns.begin; k < columns.end; ++k) {
        const double x = columns.at(k);
        mPainter.setPen(linePen);
        if (const std::optional<QLineF> line = profileclip::clippedLine(QLineF(x, graph.top(), x, bottom), mCutArea))
            mPainter.drawLine(*line);
        const QString label = formatTimeSecondes(wholeSeconds(first + double(k) * step));
        mPainter.setPen(labelPen);
        mPainter.drawText(truncated(x - 0.5 * mDigitWidth * label.size(), bottom + 1.5 * mDigitHeight), label);
    }
}

QBrush ProfilePainter::profileGradient() const
{
    const QRectF& graph = mItem.graphRect();
    QLinearGradient gradient(QPointF(0, 0), QPointF(graph.width(), graph.height()));
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, mDive->invalidReason != 0 ? QColor(255, 10, 10, 128) : QColor(150, 150, 218, 128));
    return gradient;
}

void ProfilePainter::updateFillTexture()
{
    // A gradient drawn directly steps its colours along each run of pixels
    // from where the run starts, so a pass that paints part of the item
    // rounds them otherwise than a whole paint. Painted once into an image on
    // the device's pixels, the gradient gives every pass the same colours.
    ProfileTrace::FillTexture& fill = mTrace.fill;
    const QTransform& device = mPainter.deviceTransform();
    const bool onDevicePixels = device.type() <= QTransform::TxTranslate && device.dx() == std::trunc(device.dx())
        && device.dy() == std::trunc(device.dy());
    const QRect area = mCutArea.intersected(mDeviceRect).toAlignedRect();
    if (!onDevicePixels || area.isEmpty()) {
        fill = ProfileTrace::FillTexture();
        return;
    }
    const QSizeF graph = mItem.graphRect().size();
    if (!fill.image.isNull() && fill.area == area && fill.graph == graph && fill.invalidReason == mDive->invalidReason)
        return;
    fill.image = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter texture(&fill.image);
    texture.setCompositionMode(QPainter::CompositionMode_Source);
    texture.translate(-area.topLeft());
    texture.fillRect(area, profileGradient());
    fill.area = area;
    fill.graph = graph;
    fill.invalidReason = mDive->invalidReason;
}

void ProfilePainter::drawFilledProfile()
{
    QBrush brush = profileGradient();
    if (!mTrace.fill.image.isNull()) {
        brush = QBrush(mTrace.fill.image);
        brush.setTransform(QTransform::fromTranslate(mTrace.fill.area.x(), mTrace.fill.area.y()));
    }
    mPainter.setPen(Qt::NoPen);
    mPainter.setBrush(brush);
    if (reaches(mTrace.outline.boundingRect()))
        mPainter.drawPolygon(mTrace.outline, Qt::OddEvenFill);
}

void ProfilePainter::drawLines(const profileclip::LinesByLeft& lines, double reach)
{
    const QRectF area = mExposed.adjusted(-kExposedMargin, -kExposedMargin, kExposedMargin, kExposedMargin);
    lines.forEachReaching(area, reach, [this](const QLineF& line) { mPainter.drawLine(line); });
}

void ProfilePainter::drawLevelLines(const QList<profileclip::LinesByLeft>& lines, QPen linePen,
                                   QColor (*colourOf)(Level))
{
    for (int level = 0; level < lines.size(); ++level) {
        if (lines[level].isEmpty())
            continue;
        linePen.setColor(colourOf(Level(level)));
        mPainter.setPen(linePen);
        drawLines(lines[level], kPenReach);
    }
}

void ProfilePainter::drawDepthCurve()
{
    drawLevelLines(mTrace.depthLines, pen(Qt::green, 2), profilestyle::speedColour);
}

void ProfilePainter::drawCircle(const QPointF& centre, double diameter)
{
    if (reaches(around(centre, diameter / 2 + kPenReach)))
        mPainter.drawEllipse(centre, diameter / 2, diameter / 2);
}

void ProfilePainter::drawImage(const QPointF& at, const QImage& image)
{
    if (reaches(QRectF(at, QSizeF(image.size())).adjusted(-1, -1, 1, 1)))
        mPainter.drawImage(at, image);
}

void ProfilePainter::drawText(const QPointF& at, const QString& text)
{
    const QRectF bounds = QRectF(mPainter.fontMetrics().boundingRect(text)).translated(at);
    if (reaches(bounds.adjusted(-2, -2, 2, 2)))
        mPainter.drawText(at, text);
}

void ProfilePainter::drawPolyline(const QList<PolylinePiece>& pieces, double reach)
{
    // Runs of segments that reach the rectangle; a run's cut ends lie at
    // least `reach` away from it, so its caps never show.
    const QRectF area = mExposed.adjusted(-kExposedMargin - reach, -kExposedMargin - reach, kExposedMargin + reach,
                                          kExposedMargin + reach);
    const auto segmentReaches = [&area](const QPointF& a, const QPointF& b) {
        return std::max(a.x(), b.x()) >= area.left() && std::min(a.x(), b.x()) <= area.right()
            && std::max(a.y(), b.y()) >= area.top() && std::min(a.y(), b.y()) <= area.bottom();
    };
    for (const PolylinePiece& piece : pieces) {
        const QPolygonF& points = piece.points;
        qsizetype runStart = -1;
        for (qsizetype k = 1; k <= points.size(); ++k) {
            const bool inRun = k < points.size() && segmentReaches(points[k - 1], points[k]);
            if (inRun && runStart < 0)
                runStart = k - 1;
            if (!inRun && runStart >= 0) {
                mPainter.drawPolyline(points.constData() + runStart, int(k - runStart));
                runStart = -1;
            }
        }
    }
}

void ProfilePainter::drawQuelmMarks()
{
    for (const ProfileTrace::QuelmMark& mark : mTrace.quelmMarks) {
        if (mark.circled) {
            mPainter.setPen(pen(profilestyle::speedColour(mark.level), 2));
            drawCircle(mark.circle, kMarkDiameter);
        }
        drawImage(mark.imageAt, *mark.image);
    }
}

void ProfilePainter::drawCircles(const QList<QPointF>& centres, const QPen& circlePen)
{
    if (centres.isEmpty())
        return;
    mPainter.setPen(circlePen);
    for (const QPointF& centre : centres)
        drawCircle(centre, kMarkDiameter);
}

void ProfilePainter::drawTemperatureCurve()
{
    if (mTrace.temperatureLine.isEmpty())
        return;
    mPainter.setPen(QPen(Qt::blue));
    drawPolyline(mTrace.temperatureLine, 1.0);
}

void ProfilePainter::drawTankCurve()
{
    drawLevelLines(mTrace.tankLines, QPen(), profilestyle::tankColour);
}

void ProfilePainter::drawCurveLabels()
{
    for (const profilemarks::CurveLabel& label : mTrace.curveLabels) {
        mPainter.setPen(QPen(label.colour));
        drawText(label.at, label.text);
    }
}

void ProfilePainter::drawMaxDepth()
{
    if (!mItem.shownItems().maxDepth || !mTrace.maxDepthAt)
        return;
    mPainter.setPen(pen(Qt::darkRed, 2));
    drawCircle(*mTrace.maxDepthAt, kMarkDiameter);
    drawText(*mTrace.maxDepthAt - QPointF(0, 10), mTrace.maxDepthText);
}

void ProfilePainter::drawPoints()
{
    if (!mItem.shownItems().points || mItem.mEditable)
        return;
    mPainter.setPen(pen(Qt::blue, kDotSize));
    drawLines(mTrace.dots, kDotSize);
}

void ProfilePainter::drawYoyoMarks()
{
    mPainter.save();
    mPainter.setFont(arial(9, QFont::Bold));
    for (const ProfileTrace::YoyoMark& mark : mTrace.yoyoMarks) {
        const QColor colour = profilestyle::yoyoColour(mark.level);
        mPainter.setPen(QPen(colour));
        mPainter.setBrush(colour);
        drawCircle(mark.at, kYoyoDiameter);
        drawText(mark.at + QPointF(6, 4), QStringLiteral("Y%1").arg(mark.number));
    }
    mPainter.restore();
}

void ProfilePainter::drawDecoAscent()
{
    mPainter.setPen(pen(Qt::cyan, 2));
    drawPolyline(mTrace.decoPath, kPenReach);
    for (const QPointF& at : std::as_const(mTrace.decoTanks))
        drawImage(at, Marker::mMarkOxygenTank);
    // The pen of the stop labels stays for the ceiling tracking path, whether
    // or not a label reaches what this pass paints.
    if (mTrace.decoStopLabelled)
        mPainter.setPen(QPen(Qt::blue));
    for (const ProfileTrace::Label& label : std::as_const(mTrace.decoLabels))
        drawText(label.at, label.text);
}

void ProfilePainter::drawCeilingTracking()
{
    drawPolyline(mTrace.ceilingTracking, kPenReach);
}

void ProfilePainter::drawCeiling()
{
    if (!mItem.shownItems().deco || mDive->ceilingPoints.isEmpty())
        return;
    mPainter.setPen(Qt::NoPen);
    mPainter.setBrush(QColor(240, 155, 90, 128));
    if (reaches(mTrace.ceiling.boundingRect()))
        mPainter.drawPolygon(mTrace.ceiling);
    if (mDive->decoNotTerminated && isWorthMarking(mTrace.ceilingEnd)) {
        const QString text = QCoreApplication::translate("DiveProfileItem", "Deco not terminated");
        mPainter.setPen(QPen(Qt::red));
        drawText(mTrace.ceilingEnd + QPointF(-mDigitWidth * text.size(), mDigitHeight), text);
    }
}

void ProfilePainter::drawStopLines()
{
    if (!mItem.shownItems().deco || mDive->stopLines.isEmpty())
        return;
    const QColor orange(230, 120, 0);
    mPainter.setBrush(Qt::NoBrush);
    // Each piece is drawn whole, its dashes going on where the path left
    // them, so that every pass draws the same dashes.
    QPen dashed = pen(orange, 2, Qt::DashLine);
    const double pattern = [&dashed] {
        double length = 0;
        for (const double dash : dashed.dashPattern())
            length += dash;
        return length;
    }();
    for (const PolylinePiece& piece : std::as_const(mTrace.stopPath)) {
        const double offset = std::fmod(piece.startsAt / dashed.widthF(), pattern);
        dashed.setDashOffset(std::isfinite(offset) ? offset : 0.0);
        mPainter.setPen(dashed);
        if (reaches(piece.points.boundingRect().adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach)))
            mPainter.drawPolyline(piece.points);
    }
    mPainter.setPen(QPen(orange));
    for (const ProfileTrace::Label& label : std::as_const(mTrace.stopLabels))
        drawText(label.at, label.text);
}

void ProfilePainter::drawMarkers()
{
    const bool alerts = mItem.shownItems().alerts;
    for (const Marker& marker : mItem.markers()) {
        const bool isAlert = marker.mType >= MarkerType::AlertCeil && marker.mType <= MarkerType::Alert24H;
        if (!marker.mActive || (isAlert && !alerts) || !marker.mImage)
            continue;
        const QPointF topLeft = mItem.markerTopLeft(marker);
        if (!isWorthMarking(topLeft))
            continue;
        drawImage(truncated(topLeft.x(), topLeft.y()), *marker.mImage);
    }
}

void ProfilePainter::drawEffortIcon()
{
    const QRect at = profiletitle::effortIconRect(mItem.boundingRect().width(), mDive ? mItem.titleSize() : QSizeF());
    if (mItem.mEffortMode && reaches(at))
        DiveProfileItem::effortIcon.paint(&mPainter, at, Qt::AlignCenter, QIcon::Normal, QIcon::Off);
}

void ProfilePainter::drawInvalidBanner()
{
    const QString text = invalidReasonText(mDive->invalidReason);
    if (text.isEmpty())
        return;
    const QRectF bounds = mItem.boundingRect();
    mPainter.setFont(arial(12));
    mPainter.setPen(QPen(Qt::red));
    drawText(QPointF(bounds.left() + 5, bounds.bottom() - 5), text);
}
