#include "graphics/profilepainter.h"

#include "common/timetexts.h"
#include "graphics/diveprofileitem.h"
#include "graphics/profilegrid.h"
#include "graphics/profilemarks.h"
#include "graphics/profilenumbers.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStaticText>

#include <cmath>

using profilenumbers::wholeSeconds;
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
constexpr int kFirstFamily = 1;
constexpr int kPlanFormat = 3;
// Layers of the marked pixels besides the icons' own (keyed by their image).
constexpr quintptr kAlertCircleLayer = 1;
constexpr quintptr kGasCircleLayer = 2;

const QPointF kAlertOffset(5, 5);

QFont arial(int pointSize, int weight = QFont::Normal)
{
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setWeight(QFont::Weight(weight));
    return font;
}

QPoint truncated(double x, double y)
{
    return QPoint(int(x), int(y));
}

// "12m 01:30": the depth of a stop and how long it lasted.
QString stopLabel(const DiveLine& line, const DiveLine& previous)
{
    return QStringLiteral("%1m %2").arg(QString::number(line.depth),
                                         formatTimeSecondes(wholeSeconds(line.timeSec - previous.timeSec)));
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

PixelColumns pixelColumnsOf(const QPainter& painter, const QRectF& clip)
{
    const QTransform& device = painter.deviceTransform();
    const double scale = std::hypot(device.m11(), device.m12());
    return PixelColumns(scale > 0 ? 1.0 / scale : 1.0, clip.left() - kPenReach, clip.right() + kPenReach);
}

} // namespace

ProfilePainter::ProfilePainter(const DiveProfileItem& item, QPainter& painter, const QStaticText& title)
    : mItem(item)
    , mPainter(painter)
    , mTitle(title)
    , mDive(item.dive())
    , mMap(item.mapping())
    , mColumns(pixelColumnsOf(painter, item.clipRect()))
    , mMarkArea(item.clipRect().adjusted(-kMarkReach, -kMarkReach, kMarkReach, kMarkReach))
{
}

void ProfilePainter::paint()
{
    drawTitle();
    drawAxes();
    if (!mDive || mDive->lines.size() < 2)
        return;
    measureDigit();
    drawDepthGrid();
    drawTimeGrid();

    mPainter.save();
    mPainter.setClipRect(mItem.clipRect(), Qt::IntersectClip);
    scanSamples();
    drawFilledProfile();
    // The sample loop, layer by layer: curve, alerts, gas changes, temperature, tank.
    drawDepthCurve();
    drawQuelmMarks();
    drawCircles(mAlertCircles, pen(Qt::red, 2));
    drawCircles(mGasCircles, pen(Qt::darkGreen, 2));
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

void ProfilePainter::drawTitle()
{
    if (!mDive)
        return;
    mPainter.setFont(arial(12));
    mPainter.drawStaticText(QPointF(0, 2), mTitle);
}

void ProfilePainter::drawAxes()
{
    const QRectF& graph = mItem.graphRect();
    const double right = graph.right() + kAxisOverhang;
    const double bottom = mItem.graphBottom();
    mPainter.setPen(pen(Qt::lightGray, 2));
    mPainter.drawLine(truncated(graph.left(), graph.top()), truncated(right, graph.top()));
    mPainter.drawLine(truncated(graph.left(), bottom), truncated(right, bottom));
    mPainter.drawLine(truncated(graph.left(), graph.top() - kAxisOverhang), truncated(graph.left(), bottom));
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
    const QList<double> rows = profilegrid::linePositions(graph.top() + stepPixels, stepPixels, mItem.graphBottom());
    const QPen linePen = pen(Qt::lightGray, 1);
    const QPen labelPen = pen(Qt::darkGray, 1);
    for (qsizetype k = 0; k < rows.size(); ++k) {
        const double y = rows[k];
        mPainter.setPen(linePen);
        mPainter.drawLine(QPointF(graph.left(), y), QPointF(graph.right(), y));
        const QString label = QString::number(double(k + 1) * step, 'f', 1);
        mPainter.setPen(labelPen);
        mPainter.drawText(truncated(graph.left() - 1.5 * mDigitWidth * label.size(), y + 0.5 * mDigitHeight), label);
    }
}

void ProfilePainter::drawTimeGrid()
{
    const QRectF& graph = mItem.graphRect();
    const double start = mItem.startTime();
    const double step = profilegrid::timeStep(mItem.endTime() - start);
    const double first = profilegrid::firstTime(start);
    const double pps = mItem.pixelsPerSecond();
    const QList<double> columns =
        profilegrid::linePositions(graph.left() + (first - start) * pps, step * pps, graph.right());
    const double bottom = mItem.graphBottom();
    const QPen linePen = pen(Qt::lightGray, 1);
    const QPen labelPen = pen(Qt::darkGray, 1);
    for (qsizetype k = 0; k < columns.size(); ++k) {
        const double x = columns[k];
        mPainter.setPen(linePen);
        mPainter.drawLine(QPointF(x, graph.top()), QPointF(x, bottom));
        const QString label = formatTimeSecondes(wholeSeconds(first + double(k) * step));
        mPainter.setPen(labelPen);
        mPainter.drawText(truncated(x - 0.5 * mDigitWidth * label.size(), bottom + 1.5 * mDigitHeight), label);
    }
}

bool ProfilePainter::isWorthMarking(const QPointF& at) const
{
    return mMarkArea.contains(at);
}

void ProfilePainter::scanSamples()
{
    const ShowItemsState& shown = mItem.shownItems();
    const QList<DiveLine>& lines = mDive->lines;
    const bool withTank = shown.tankPressure && lines.last().tankPressure != 0;
    const bool withDots = shown.points && !mItem.mEditable;
    const bool quelmAlerts = shown.alerts && mDive->computerModel == kFirstFamily;
    const bool pelavixAlerts = shown.alerts && !quelmAlerts;
    const QRectF& clip = mItem.clipRect();

    // The depth curve is stroked over the filled profile's edge.
    AreaReducer outline(mColumns, true);
    SegmentReducer depthCurve(mColumns, profilestyle::kLevelCount);
    OutlineReducer temperatureCurve(mColumns);
    SegmentReducer tankCurve(mColumns, profilestyle::kLevelCount);
    DotReducer dots(mColumns, clip.top() - kDotSize, clip.bottom() + kDotSize, kDotSize);
    profilemarks::PelavixAlertScan alertScan;
    profilemarks::CurveLabels labels(mMarkArea);
    QList<profilemarks::AlertMark> alerts;

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
        const qint64 column = mColumns.columnOf(point.x());
        outline.add(point, column);
        if (withDots)
            dots.add(point, column);
        if (i == 0) {
            depthCurve.add(point, column, Level::Normal);
        } else {
            const DiveLine& previous = lines[i - 1];
            depthCurve.add(point, column, profilestyle::speedLevel(line.speed, ascentLimit, descentLimit));
            if (line.isMaxDepth) {
                mMaxDepthSample = i;
                mMaxDepthPoint = point;
            }
            if (quelmAlerts)
                collectQuelmMarks(i, line, previous, point, previousPoint);
            if (pelavixAlerts) {
                alerts.clear();
                alertScan.scan(i, line, alerts);
                const QPointF circle = point + kAlertOffset;
                if (!alerts.isEmpty() && isWorthMarking(circle) && mMarked.insert(circle, kAlertCircleLayer))
                    mAlertCircles.append(circle);
            }
            if (shown.gases && profilemarks::isGasChange(line, previous) && isWorthMarking(previousPoint)
                && mMarked.insert(previousPoint, kGasCircleLayer))
                mGasCircles.append(previousPoint);
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
    for (const DiveLine& line : mDive->decoLines) {
        const QPointF point = mMap.point(line.timeSec, line.depth);
        outline.add(point, !mDecoPoints.isEmpty());
        mDecoPoints.append(point);
        if (withDots)
            dots.add(point);
    }
    mOutline = outline.take();
    mDepthLines = depthCurve.take();
    mTemperatureLine = temperatureCurve.take();
    mTankLines = tankCurve.take();
    mDots = dots.take();
    mLabels = labels.labels();
}

void ProfilePainter::collectQuelmMarks(int i, const DiveLine& line, const DiveLine& previous, const QPointF& point,
                                       const QPointF& previousPoint)
{
    // Stacked alerts step down and right from the sample.
    QPointF at = point;
    const auto mark = [&](const QImage& image) {
        const QPointF circle = at;
        at += kAlertOffset;
        if (isWorthMarking(circle) && mMarked.insert(circle, quintptr(&image)))
            mQuelmMarks.append({true, circle, speedLevelOf(line), at, &image});
    };
    if (line.flagQuelm(QuelmAlertType::RR))
        mark(Marker::mMarkAlertRR);
    // In a log dive one icon per run of flagged samples; a plan shows every one.
    const bool isPlan = mDive->format == kPlanFormat;
    const bool maxDepth = line.flagQuelm(QuelmAlertType::Pmax) != 0;
    if (!isPlan && !maxDepth)
        mQuelmMaxDepthShown = false;
    if (maxDepth && (isPlan || !mQuelmMaxDepthShown)) {
        mark(Marker::mMarkAlertPmax);
        mQuelmMaxDepthShown = true;
    }
    const double ceiling = previous.decoCeiling;
    const bool aboveCeiling = previous.depth < ceiling && ceiling > 0
        && line.timeSec - previous.timeSec >= kCeilingCheckDuration && line.depth < ceiling;
    if (aboveCeiling || line.flagQuelm(QuelmAlertType::RA) == 3)
        mark(Marker::mMarkAlertCeil);
    if (i == mDive->dtrStartIndex && isWorthMarking(previousPoint))
        mQuelmMarks.append({false, QPointF(), Level::Normal, previousPoint, &Marker::mMarkDTR});
}

void ProfilePainter::drawFilledProfile()
{
    const QRectF& graph = mItem.graphRect();
    QLinearGradient gradient(QPointF(0, 0), QPointF(graph.width(), graph.height()));
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, mDive->invalidReason != 0 ? QColor(255, 10, 10, 128) : QColor(150, 150, 218, 128));
    mPainter.setPen(Qt::NoPen);
    mPainter.setBrush(gradient);
    mPainter.drawPolygon(mOutline, Qt::OddEvenFill);
}

void ProfilePainter::drawLevelLines(const QList<QList<QLineF>>& lines, QPen linePen, QColor (*colourOf)(Level))
{
    for (int level = 0; level < lines.size(); ++level) {
        if (lines[level].isEmpty())
            continue;
        linePen.setColor(colourOf(Level(level)));
        mPainter.setPen(linePen);
        mPainter.drawLines(lines[level]);
    }
}

void ProfilePainter::drawDepthCurve()
{
    drawLevelLines(mDepthLines, pen(Qt::green, 2), profilestyle::speedColour);
}

void ProfilePainter::drawCircle(const QPointF& centre, double diameter)
{
    mPainter.drawEllipse(centre, diameter / 2, diameter / 2);
}

void ProfilePainter::drawQuelmMarks()
{
    for (const QuelmMark& mark : mQuelmMarks) {
        if (mark.circled) {
            mPainter.setPen(pen(profilestyle::speedColour(mark.level), 2));
            drawCircle(mark.circle, kMarkDiameter);
        }
        mPainter.drawImage(mark.imageAt, *mark.image);
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
    if (mTemperatureLine.isEmpty())
        return;
    mPainter.setPen(QPen(Qt::blue));
    mPainter.drawPolyline(mTemperatureLine);
}

void ProfilePainter::drawTankCurve()
{
    drawLevelLines(mTankLines, QPen(), profilestyle::tankColour);
}

void ProfilePainter::drawCurveLabels()
{
    for (const profilemarks::CurveLabel& label : mLabels) {
        mPainter.setPen(QPen(label.colour));
        mPainter.drawText(label.at, label.text);
    }
}

void ProfilePainter::drawMaxDepth()
{
    if (!mItem.shownItems().maxDepth || mMaxDepthSample < 0)
        return;
    mPainter.setPen(pen(Qt::darkRed, 2));
    drawCircle(mMaxDepthPoint, kMarkDiameter);
    mPainter.drawText(mMaxDepthPoint - QPointF(0, 10),
                      QStringLiteral("%1m").arg(QString::number(mDive->lines[mMaxDepthSample].depth)));
}

void ProfilePainter::drawPoints()
{
    if (!mItem.shownItems().points || mItem.mEditable)
        return;
    mPainter.setPen(pen(Qt::blue, kDotSize));
    mPainter.drawLines(mDots);
}

void ProfilePainter::drawYoyoMarks()
{
    mPainter.save();
    mPainter.setFont(arial(9, QFont::Bold));
    int k = 0;
    for (const CeilPoint& mark : mDive->yoyoMarks) {
        ++k;
        const QPointF at = mMap.point(mark.time, mark.depth);
        const QColor colour = profilestyle::yoyoColour(mark.value);
        mPainter.setPen(QPen(colour));
        mPainter.setBrush(colour);
        drawCircle(at, kYoyoDiameter);
        mPainter.drawText(at + QPointF(6, 4), QStringLiteral("Y%1").arg(k));
    }
    mPainter.restore();
}

void ProfilePainter::drawDecoAscent()
{
    mPainter.setPen(pen(Qt::cyan, 2));
    OutlineReducer path(mColumns);
    for (const QPointF& point : mDecoPoints)
        path.add(point);
    mPainter.drawPolyline(path.take());
    const QList<DiveLine>& deco = mDive->decoLines;
    int runningGas = mDive->lines.last().gasIndex;
    for (qsizetype j = 0; j < deco.size(); ++j) {
        const QPointF& at = mDecoPoints[j];
        if (deco[j].gasIndex >= 0 && deco[j].gasIndex != runningGas) {
            mPainter.drawImage(at - QPointF(24, 12), Marker::mMarkOxygenTank);
            runningGas = deco[j].gasIndex;
        }
        if (j > 0 && std::abs(deco[j].speed) < kSpeedAtStop) {
            mPainter.setPen(QPen(Qt::blue));
            mPainter.drawText(at + QPointF(8, 0), stopLabel(deco[j], deco[j - 1]));
        }
    }
}

void ProfilePainter::drawCeilingTracking()
{
    OutlineReducer path(mColumns);
    for (const DiveLine& line : mDive->ceilTrackingLines)
        path.add(mMap.point(line.timeSec, line.depth));
    const QPolygonF points = path.take();
    if (!points.isEmpty())
        mPainter.drawPolyline(points);
}

void ProfilePainter::drawCeiling()
{
    const QList<CeilPoint>& ceiling = mDive->ceilingPoints;
    if (!mItem.shownItems().deco || ceiling.isEmpty())
        return;
    const double top = mItem.graphRect().top();
    const QPointF first = mMap.point(ceiling.first().time, ceiling.first().depth);
    const QPointF last = mMap.point(ceiling.last().time, ceiling.last().depth);
    AreaReducer outline(mColumns, false);
    outline.add(QPointF(first.x(), top));
    for (const CeilPoint& point : ceiling)
        outline.add(mMap.point(point.time, point.depth));
    outline.add(QPointF(last.x(), top));
    mPainter.setPen(Qt::NoPen);
    mPainter.setBrush(QColor(240, 155, 90, 128));
    mPainter.drawPolygon(outline.take());
    if (mDive->decoNotTerminated) {
        const QString text = QCoreApplication::translate("DiveProfileItem", "Deco not terminated");
        mPainter.setPen(QPen(Qt::red));
        mPainter.drawText(last + QPointF(-mDigitWidth * text.size(), mDigitHeight), text);
    }
}

void ProfilePainter::drawStopLines()
{
    const QList<DiveLine>& stops = mDive->stopLines;
    if (!mItem.shownItems().deco || stops.isEmpty())
        return;
    QPolygonF points;
    points.reserve(stops.size());
    for (const DiveLine& line : stops)
        points.append(mMap.point(line.timeSec, line.depth));
    const QColor orange(230, 120, 0);
    mPainter.setBrush(Qt::NoBrush);
    // Dashes follow the whole path: this short list is drawn as it is.
    mPainter.setPen(pen(orange, 2, Qt::DashLine));
    mPainter.drawPolyline(points);
    mPainter.setPen(QPen(orange));
    for (qsizetype j = 1; j < stops.size(); ++j) {
        if (stops[j].depth >= kSameDepth && std::abs(stops[j].depth - stops[j - 1].depth) <= kSameDepth)
            mPainter.drawText(points[j] + QPointF(8, 0), stopLabel(stops[j], stops[j - 1]));
    }
}

void ProfilePainter::drawMarkers()
{
    const bool alerts = mItem.shownItems().alerts;
    for (const Marker& marker : mItem.markers()) {
        const bool isAlert = marker.mType >= MarkerType::AlertCeil && marker.mType <= MarkerType::Alert24H;
        if (!marker.mActive || (isAlert && !alerts) || !marker.mImage)
            continue;
        const QPointF topLeft = marker.mPos - QPointF(marker.mHotSpot);
        mPainter.drawImage(truncated(topLeft.x(), topLeft.y()), *marker.mImage);
    }
}

void ProfilePainter::drawEffortIcon()
{
    if (mItem.mEffortMode)
        DiveProfileItem::effortIcon.paint(&mPainter, QRect(5, 5, 32, 32), Qt::AlignCenter, QIcon::Normal, QIcon::Off);
}

void ProfilePainter::drawInvalidBanner()
{
    const QString text = invalidReasonText(mDive->invalidReason);
    if (text.isEmpty())
        return;
    const QRectF bounds = mItem.boundingRect();
    mPainter.setFont(arial(12));
    mPainter.setPen(QPen(Qt::red));
    mPainter.drawText(QPointF(bounds.left() + 5, bounds.bottom() - 5), text);
}
