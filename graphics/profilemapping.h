#pragma once

#include <QPointF>
#include <QRectF>

// Where a dive's times, depths, temperatures and tank pressures go on the
// profile item: the graph area's top left is the origin, depth grows
// downwards, the temperature curve takes the lower third and the tank curve
// the middle third, each with its maximum at the top of its third.
class ProfileMapping
{
public:
    ProfileMapping(const QRectF& graph, double startTime, double pixelsPerSecond, double pixelsPerMeter,
                   double pixelsPerDegree, double pixelsPerBar, double maxTemperature, double maxTankPressure)
        : mLeft(graph.left())
        , mTop(graph.top())
        , mStartTime(startTime)
        , mPixelsPerSecond(pixelsPerSecond)
        , mPixelsPerMeter(pixelsPerMeter)
        , mPixelsPerDegree(pixelsPerDegree)
        , mPixelsPerBar(pixelsPerBar)
        , mTemperatureTop(graph.top() + 2 * graph.height() / 3)
        , mTankTop(graph.top() + graph.height() / 3)
        , mMaxTemperature(maxTemperature)
        , mMaxTankPressure(maxTankPressure)
    {
    }

    double x(double time) const { return mLeft + (time - mStartTime) * mPixelsPerSecond; }
    double y(double depth) const { return mTop + depth * mPixelsPerMeter; }
    QPointF point(double time, double depth) const { return QPointF(x(time), y(depth)); }
    double temperatureY(double temperature) const
    {
        return mTemperatureTop + (mMaxTemperature - temperature) * mPixelsPerDegree;
    }
    double tankY(double bar) const { return mTankTop + (mMaxTankPressure - bar) * mPixelsPerBar; }

    bool operator==(const ProfileMapping&) const = default;

private:
    double mLeft;
    double mTop;
    double mStartTime;       // s
    double mPixelsPerSecond; // all four scales finite and positive
    double mPixelsPerMeter;
    double mPixelsPerDegree;
    double mPixelsPerBar;
    double mTemperatureTop;
    double mTankTop;
    double mMaxTemperature;  // °C
    double mMaxTankPressure; // bar
};
