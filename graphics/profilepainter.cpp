#include "graphics/profilepainter.h"

#include "app/common/timetexts.h"
#include "graphics/diveprofileitem.h"
#include "graphics/profilegrid.h"
#include "graphics/profilemarks.h"
#include "graphics/profilenumbers.h"
#include "graphics/profilestyle.h"

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
constexpr double kLabelSpacing = 50.0; // px between curve labels
constexpr double kSpeedAtStop = 0.01;  // m/min; slower is a stop
constexpr double kSameDepth = 0.01;    // m
// Dots and wide pens reach this far beyond the point they are drawn at.
constexpr double kPenReach = 2.0;
constexpr int kFirstFamily = 1;
constexpr int kPlanFormat = 3;

const QString kFontFamily = QStringLiteral("Arial");

QFont arial(int pointSize, int weight = QFont::Normal)
{
    QFont font(kFontFamily, pointSize);
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

void drawLevelLines(QPainter& painter, const QList<QList<QLineF>>& lines, const QPen& basePen,
                    QColor (*colourOf)(Level))
{
    QPen linePen = basePen;
    for (int level = 0; level < lines.size(); ++level) {
        if (lines[level].isEmpty())
            continue;
        linePen.setColor(colourOf(Level(level)));
        painter.setPen(linePen);
        painter.drawLines(lines[level]);
    }
}

} // namespace

ProfilePainter::ProfilePainter(const DiveProfileItem& item, QPainter& painter, const QStaticText& title)
    : mItem(item)
    , mPainter(painter)
    , mTitle(title)
    , mDive(item.dive())
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
    buildPoints();
    drawFilledProfile();
    // The sample loop, layer by layer: curve, alerts, gas changes, temperature, tank.
    drawDepthCurve();
    if (mItem.shownItems().alerts) {
        if (mDive->computerModel == kFirstFamily)
            drawQuelmAlerts();
        else
            drawPelavixAlertCircles();
    }
    if (mItem.shownItems().gases)
        drawGasChangeCircles();
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

PixelColumns ProfilePainter::columns() const
{
    const QTransform& device = mPainter.deviceTransform();
    const double scale = std::hypot(device.m11(), device.m12());
    const QRectF& clip = mItem.clipRect();
    return PixelColumns(scale > 0 ? 1.0 / scale : 1.0, clip.left() - kPenReach, clip.right() + kPenReach);
}

void ProfilePainter::buildPoints()
{
    const ShowItemsState& shown = mItem.shownItems();
    const QList<DiveLine>& lines = mDive->lines;
    mSamplePoints.reserve(lines.size());
    if (shown.temperature)
        mTemperaturePoints.reserve(lines.size());
    const bool withTank = shown.tankPressure && lines.last().tankPressure != 0;
    if (withTank)
        mTankPoints.reserve(lines.size());
    QPointF temperature;
    QPointF tank;
    for (const DiveLine& line : lines) {
        mSamplePoints.append(mItem.diveLineToGraphCoordinates(line, &temperature, &tank));
        if (shown.temperature)
            mTemperaturePoints.append(temperature);
        if (withTank)
            mTankPoints.append(tank);
    }
    for (const DiveLine& line : mDive->decoLines)
        mDecoPoints.append(mItem.timeDepthToGraphCoordinates(line.timeSec, line.depth));
    for (const DiveLine& line : mDive->ceilTrackingLines)
        mCeilTrackingPoints.append(mItem.timeDepthToGraphCoordinates(line.timeSec, line.depth));
}

void ProfilePainter::drawFilledProfile()
{
    const QRectF& graph = mItem.graphRect();
    QLinearGradient gradient(QPointF(0, 0), QPointF(graph.width(), graph.height()));
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, mDive->invalidReason != 0 ? QColor(255, 10, 10, 128) : QColor(150, 150, 218, 128));
    mPainter.setPen(Qt::NoPen);
    mPainter.setBrush(gradient);
    const PixelColumns pixels = columns();
    const QPolygonF outline = reducedOutline(mSamplePoints, pixels) + reducedOutline(mDecoPoints, pixels);
    mPainter.drawPolygon(outline, Qt::OddEvenFill);
}

void ProfilePainter::drawDepthCurve()
{
    const QList<DiveLine>& lines = mDive->lines;
    QList<quint8> levels(lines.size(), Level::Normal);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        levels[i] = profilestyle::speedLevel(lines[i].speed, DiveProfileItem::vascSpeedLimit,
                                             DiveProfileItem::vdscSpeedLimit);
    }
    drawLevelLines(mPainter, reducedSegments(mSamplePoints, levels, columns(), profilestyle::kLevelCount),
                   pen(Qt::green, 2), profilestyle::speedColour);
}

void ProfilePainter::drawCircle(const QPointF& centre, double diameter)
{
    mPainter.drawEllipse(centre, diameter / 2, diameter / 2);
}

void ProfilePainter::drawQuelmAlerts()
{
    const QList<DiveLine>& lines = mDive->lines;
    const bool isPlan = mDive->format == kPlanFormat;
    bool maxDepthShown = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const DiveLine& line = lines[i];
        const DiveLine& previous = lines[i - 1];
        QPointF at = mSamplePoints[i];
        // Stacked alerts step down and right from the sample.
        const auto mark = [&](const QImage& image) {
            mPainter.setPen(pen(profilestyle::speedColour(profilestyle::speedLevel(
                                    line.speed, DiveProfileItem::vascSpeedLimit, DiveProfileItem::vdscSpeedLimit)),
                                2));
            drawCircle(at, kMarkDiameter);
            at += QPointF(5, 5);
            mPainter.drawImage(at, image);
        };
        if (line.flagQuelm(QuelmAlertType::RR))
            mark(Marker::mMarkAlertRR);
        // In a log dive one icon per run of flagged samples; a plan shows every one.
        const bool pmax = line.flagQuelm(QuelmAlertType::Pmax) != 0;
        if (!isPlan && !pmax)
            maxDepthShown = false;
        if (pmax && (isPlan || !maxDepthShown)) {
            mark(Marker::mMarkAlertPmax);
            maxDepthShown = true;
        }
        const double ceiling = previous.decoCeiling;
        const bool aboveCeiling = previous.depth < ceiling && ceiling > 0
            && line.timeSec - previous.timeSec >= 30 && line.depth < ceiling;
        if (aboveCeiling || line.flagQuelm(QuelmAlertType::RA) == 3)
            mark(Marker::mMarkAlertCeil);
        if (i == mDive->dtrStartIndex)
            mPainter.drawImage(mSamplePoints[i - 1], Marker::mMarkDTR);
    }
}

void ProfilePainter::drawPelavixAlertCircles()
{
    mPainter.setPen(pen(Qt::red, 2));
    for (const profilemarks::AlertMark& alert : profilemarks::pelavixAlerts(*mDive))
        drawCircle(mSamplePoints[alert.sample] + QPointF(5, 5), kMarkDiameter);
}

void ProfilePainter::drawGasChangeCircles()
{
    mPainter.setPen(pen(Qt::darkGreen, 2));
    for (int sample : profilemarks::gasChanges(*mDive))
        drawCircle(mSamplePoints[sample - 1], kMarkDiameter);
}

void ProfilePainter::drawTemperatureCurve()
{
    if (mTemperaturePoints.isEmpty())
        return;
    mPainter.setPen(QPen(Qt::blue));
    mPainter.drawPolyline(reducedOutline(mTemperaturePoints, columns()));
}

void ProfilePainter::drawTankCurve()
{
    if (mTankPoints.isEmpty())
        return;
    const QList<DiveLine>& lines = mDive->lines;
    QList<quint8> levels(lines.size(), Level::Normal);
    for (qsizetype i = 1; i < lines.size(); ++i)
        levels[i] = profilestyle::tankLevel(lines[i - 1].tankPressure);
    drawLevelLines(mPainter, reducedSegments(mTankPoints, levels, columns(), profilestyle::kLevelCount), QPen(),
                   profilestyle::tankColour);
}

void ProfilePainter::drawCurveLabels()
{
    const QList<DiveLine>& lines = mDive->lines;
    const bool temperature = !mTemperaturePoints.isEmpty();
    const bool tank = !mTankPoints.isEmpty();
    if (!temperature && !tank)
        return;
    // Both curves share the position of the last label, so that their labels never crowd.
    double lastLabelX = -9999;
    double lastTemperature = -100;
    double lastTank = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const DiveLine& start = lines[i - 1];
        if (temperature && mTemperaturePoints[i - 1].x() > lastLabelX + kLabelSpacing) {
            const double rounded = std::round(start.ambientTemp);
            if (rounded != lastTemperature) {
                const QPointF& at = mTemperaturePoints[i - 1];
                mPainter.setPen(QPen(Qt::blue));
                mPainter.drawText(at + QPointF(5, -5), QStringLiteral("%1°C").arg(rounded));
                lastLabelX = at.x();
                lastTemperature = rounded;
            }
        }
        if (tank && mTankPoints[i - 1].x() > lastLabelX + kLabelSpacing && start.tankPressure != lastTank) {
            const QPointF& at = mTankPoints[i - 1];
            mPainter.setPen(QPen(profilestyle::tankColour(profilestyle::tankLevel(start.tankPressure))));
            mPainter.drawText(at + QPointF(5, -5), QStringLiteral("%1b").arg(start.tankPressure));
            lastLabelX = at.x();
            lastTank = start.tankPressure;
        }
    }
}

void ProfilePainter::drawMaxDepth()
{
    if (!mItem.shownItems().maxDepth)
        return;
    const QList<DiveLine>& lines = mDive->lines;
    for (qsizetype i = lines.size() - 1; i >= 1; --i) {
        if (!lines[i].isMaxDepth)
            continue;
        const QPointF& at = mSamplePoints[i];
        mPainter.setPen(pen(Qt::darkRed, 2));
        drawCircle(at, kMarkDiameter);
        mPainter.drawText(at - QPointF(0, 10), QStringLiteral("%1m").arg(QString::number(lines[i].depth)));
        return;
    }
}

void ProfilePainter::drawPoints()
{
    if (!mItem.shownItems().points || mItem.mEditable)
        return;
    const PixelColumns pixels = columns();
    const QRectF& clip = mItem.clipRect();
    const double top = clip.top() - kPenReach;
    const double bottom = clip.bottom() + kPenReach;
    mPainter.setPen(pen(Qt::blue, 4));
    mPainter.drawPoints(distinctDots(mSamplePoints, pixels, top, bottom));
    mPainter.drawPoints(distinctDots(mDecoPoints, pixels, top, bottom));
}

void ProfilePainter::drawYoyoMarks()
{
    mPainter.save();
    mPainter.setFont(arial(9, QFont::Bold));
    int k = 0;
    for (const CeilPoint& mark : mDive->yoyoMarks) {
        ++k;
        const QPointF at = mItem.timeDepthToGraphCoordinates(mark.time, mark.depth);
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
    mPainter.drawPolyline(reducedOutline(mDecoPoints, columns()));
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
    if (!mCeilTrackingPoints.isEmpty())
        mPainter.drawPolyline(reducedOutline(mCeilTrackingPoints, columns()));
}

void ProfilePainter::drawCeiling()
{
    const QList<CeilPoint>& ceiling = mDive->ceilingPoints;
    if (!mItem.shownItems().deco || ceiling.isEmpty())
        return;
    const double top = mItem.graphRect().top();
    QPolygonF outline;
    outline.reserve(ceiling.size());
    for (const CeilPoint& point : ceiling)
        outline.append(mItem.timeDepthToGraphCoordinates(point.time, point.depth));
    const QPointF last = outline.last();
    QPolygonF area = reducedOutline(outline, columns());
    area.prepend(QPointF(mItem.timeDepthToGraphCoordinates(ceiling.first().time, 0).x(), top));
    area.append(QPointF(last.x(), top));
    mPainter.setPen(Qt::NoPen);
    mPainter.setBrush(QColor(240, 155, 90, 128));
    mPainter.drawPolygon(area);
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
        points.append(mItem.timeDepthToGraphCoordinates(line.timeSec, line.depth));
    const QColor orange(230, 120, 0);
    mPainter.setBrush(Qt::NoBrush);
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
