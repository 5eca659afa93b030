#include "graphics/tissuesgraph.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kLowestBaseline = 99.0f; // the baseline never shows more than this
constexpr float kFlatRange = 0.01f;      // a narrower range draws half-height bars
constexpr float kNothingToShow = 0.01f;  // every value below: only the baseline

} // namespace

TissuesGraph::TissuesGraph()
{
    mFont.setPointSizeF(7.0);
    mFontHeight = QFontMetrics(mFont).height();
}

TissuesGraph::~TissuesGraph() = default;

void TissuesGraph::setValues(const std::array<float, valueCount>& values)
{
    setValues(values.data());
}

void TissuesGraph::setValues(const float* values)
{
    std::transform(values, values + valueCount, mValues.begin(),
                   [](float value) { return std::isfinite(value) ? value : 0.0f; });
    update();
}

void TissuesGraph::reset()
{
    mValues.fill(0.0f);
    update();
}

void TissuesGraph::setFrontColor(const QColor& color)
{
    mFrontColor = color;
    update();
}

void TissuesGraph::setBackgroundColor(const QColor& color)
{
    mBackgroundColor = color;
    update();
}

void TissuesGraph::updateColorsFromSystemPalette()
{
    const QPalette palette = QGuiApplication::palette();
    setBackgroundColor(palette.brush(QPalette::Window).color());
    setFrontColor(palette.brush(QPalette::WindowText).color());
}

void TissuesGraph::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::ThemeChange:
        updateColorsFromSystemPalette();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TissuesGraph::paintEvent(QPaintEvent*)
{
    const int W = width();
    const int H = height();
    const int M = mMargin;
    const int G = mSpacing;
    const int baseline = H - 3 * M;

    QPainter painter(this);
    painter.setFont(mFont);
    painter.fillRect(0, 0, W, H, mBackgroundColor);
    painter.setBrush(Qt::green);
    painter.setPen(mFrontColor);
    painter.drawLine(M, baseline, W - M, baseline);

    const auto [lowest, highest] = std::minmax_element(mValues.cbegin(), mValues.cend());
    if (*highest < kNothingToShow)
        return;
    // In double, so that no pair of finite values overflows the range.
    const double lo = std::min(kLowestBaseline, *lowest);
    const double hi = std::max(0.0f, *highest);
    const double range = hi - lo;
    const double area = H - 6 * M;
    const int barWidth = (W - 2 * M - 17 * G) / valueCount;

    int x = M + G;
    for (int i = 0; i < valueCount; ++i) {
        const double v = mValues[size_t(i)];
        const int height = int(range > kFlatRange ? (v - lo) * area / range : area / 2);
        const int top = baseline - height;
        const QRect bar(x, top, barWidth, height);
        painter.drawRects(&bar, 1);
        painter.drawText(QPoint(x, top - 2), QString::number(v, 'f', 2));
        painter.drawText(QRect(x, baseline, barWidth, mFontHeight), Qt::AlignCenter, QString::number(i + 1));
        x += barWidth + G;
    }
}
