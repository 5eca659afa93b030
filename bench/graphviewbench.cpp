// Times what follows the mouse on the profile view of a 200,000-sample dive:
// the position read-out, a mouse move with the repaint of what it changed
// (target: 1 ms), and one wheel-zoom or pan step with its repaint. Prints the
// figures; never fails on a timing.

#include "../tests/graphics/profilefixtures.h"
#include "../tests/graphics/viewevents.h"
#include "graphics/graphview.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <vector>

namespace {

constexpr int kSampleCount = 200000;
constexpr int kReadOuts = 20000;
constexpr int kSteps = 60;
constexpr int kMoves = 400;
constexpr double kMoveTargetMs = 1.0;

// Counts the paint events of a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

struct Figures
{
    double meanMs = 0;
    double medianMs = 0;
    double worstMs = 0;
};

Figures timeEach(int count, const std::function<void(int)>& step)
{
    std::vector<double> times;
    times.reserve(size_t(count));
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        step(i);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    Figures figures;
    figures.meanMs = std::accumulate(times.begin(), times.end(), 0.0) / count;
    figures.medianMs = times[times.size() / 2];
    figures.worstMs = times.back();
    return figures;
}

void print(const char* what, const Figures& figures)
{
    std::printf("%-46s mean %9.4f ms   median %9.4f ms   worst %9.4f ms\n", what, figures.meanMs,
                figures.medianMs, figures.worstMs);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    profilefixtures::setProgramIcons();
    // 200,000 samples over about 11 hours: one every 0.2 s of a stretched deco dive.
    Dive dive = profilefixtures::decoDive(kSampleCount, 0.2);
    GraphView view;
    view.resize(1280, 500);
    view.show();
    view.setDiveProfile(&dive);
    QCoreApplication::processEvents();
    view.viewport()->repaint();
    const int maxTime = int(dive.maxTime);
    std::printf("dive: %lld samples, %d s, view %dx%d\n", static_cast<long long>(dive.lines.size()), maxTime,
                view.width(), view.height());

    qsizetype length = 0;
    print("read-out (getInfosOnPosition, HTML)", timeEach(kReadOuts, [&](int i) {
              length += view.getInfosOnPosition(QPointF(), int(qint64(i) * 7919 % maxTime)).size();
          }));
    DivePosition position;
    print("position lookup (getInfosOnPosition, value)", timeEach(kReadOuts, [&](int i) {
              view.getInfosOnPosition(QPointF(), int(qint64(i) * 7919 % maxTime), position);
          }));
    print("for comparison: the scan of Dive::getPositionAt", timeEach(200, [&](int i) {
              position = dive.getPositionAt(int(qint64(i) * 7919 % maxTime), false);
          }));

    // The cursor line follows the mouse across the graph; each move repaints what it changed.
    PaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    const Figures moves = timeEach(kMoves, [&](int i) {
        const double fraction = 0.05 + 0.9 * double(i % 100) / 100.0;
        viewevents::mouse(view, QEvent::MouseMove, viewevents::graphPoint(view, fraction), Qt::NoButton,
                          Qt::NoButton);
        QCoreApplication::processEvents();
    });
    print("mouse move + the repaint it causes", moves);
    std::printf("%-46s target %.1f ms per move (median): %s (%d paints for %d moves)\n", "", kMoveTargetMs,
                moves.medianMs <= kMoveTargetMs ? "met" : "NOT met", counter.paints, kMoves);
    view.viewport()->removeEventFilter(&counter);

    const QPoint middle = viewevents::graphPoint(view, 0.5);
    print("wheel zoom step in time + repaint", timeEach(kSteps, [&](int i) {
              viewevents::wheel(view, middle, QPoint(0, i % 2 ? 120 : -120), Qt::NoModifier);
              view.viewport()->repaint();
          }));
    print("wheel zoom step in depth + repaint", timeEach(kSteps, [&](int i) {
              viewevents::wheel(view, middle, QPoint(0, i % 2 ? -120 : 120), Qt::ControlModifier);
              view.viewport()->repaint();
          }));
    view.setDiveProfile(&dive);
    viewevents::mouse(view, QEvent::MouseButtonPress, middle, Qt::MiddleButton, Qt::MiddleButton);
    print("middle-button pan step + repaint", timeEach(kSteps, [&](int i) {
              viewevents::mouse(view, QEvent::MouseMove, middle - QPoint((i + 1) * 5, 0), Qt::NoButton,
                                Qt::MiddleButton);
              view.viewport()->repaint();
          }));
    viewevents::mouse(view, QEvent::MouseButtonRelease, middle, Qt::MiddleButton, Qt::NoButton);
    print("wheel zoom step in time, without repaint", timeEach(kSteps, [&](int i) {
              viewevents::wheel(view, middle, QPoint(0, i % 2 ? 120 : -120), Qt::NoModifier);
          }));
    print("full view repaint", timeEach(kSteps, [&](int) {
              view.viewport()->update();
              view.viewport()->repaint();
          }));
    std::printf("(read-out text: %lld characters in all)\n", static_cast<long long>(length));
    return 0;
}
