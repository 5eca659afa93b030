#pragma once

#include "cordale_export.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <array>

// Sixteen values as a bar chart, one bar per tissue compartment, numbered 1
// to 16 under the bars, each value written above its bar. The chart scales
// itself: the lowest value (or 99 when all are higher) sits on the baseline,
// the highest (or 0 when all are lower) fills the bar area.
class CORDALE_EXPORT TissuesGraph : public QWidget
{
public:
    static constexpr int valueCount = 16;

    TissuesGraph();
    ~TissuesGraph() override;

    // Copy the values (compartment 1 first), shown at the next paint: a
    // repaint here would paint the whole window in the middle of the work
    // that sets them. A value that is not finite shows as 0.
    void setValues(const std::array<float, valueCount>& values);
    void setValues(const float* values);
    void reset();
    const std::array<float, valueCount>& values() const { return mValues; }

    void setFrontColor(const QColor& color);
    void setBackgroundColor(const QColor& color);
    // The window and text colours of the application's palette.
    void updateColorsFromSystemPalette();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int mMargin = 5;  // outer margin, pixels
    int mSpacing = 5; // before and between the bars, pixels
    std::array<float, valueCount> mValues{};
    QFont mFont;
    int mFontHeight = 0;
    // Outlines and texts.
    QColor mFrontColor = Qt::black;
    QColor mBackgroundColor{0xF0, 0xF0, 0xF0};
};
