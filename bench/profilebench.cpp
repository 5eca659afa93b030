// Times whole-profile repaints of long dives on a 1600 x 900 offscreen raster
// with every shown item on, and prints the figures: a repaint after the view
// changed walks the samples, a repaint of an unchanged view draws what the
// last walk found. Never fails on a timing.
// With a file name it also saves there the picture of a 48-minute deco dive
// as the dive log shows it.

#include "graphics/diveprofileitem.h"
#include "profilefixtures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRepaints = 50;
const QSizeF kViewSize(1600, 900);


// Repaints the profile `kRepaints` times; `change` runs, untimed, before each.
std::vector<double> repaintTimes(profilefixtures::ShownProfile& shown, const std::function<void(int)>& change)
{
    QImage image(kViewSize.toSize(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    for (int run = 0; run < kRepaints; ++run) {
        change(run);
        image.fill(QColor(242, 242, 230));
        QPainter painter(&image);
        QElapsedTimer timer;
        timer.start();
        shown.scene.render(&painter, QRectF(QPointF(0, 0), kViewSize), shown.scene.sceneRect());
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times;
}

void measure(int samples)
{
    ShowItemsState all;
    all.points = true;
    // One sample a second.
    profilefixtures::ShownProfile shown(profilefixtures::decoDive(samples, 1.0), all, false, kViewSize);
    DiveProfileItem& item = *shown.item;
    const double middle = item.graphRect().center().x();
    // Zoomed in and out in turn: each repaint walks the samples again.
    const std::vector<double> changed = repaintTimes(
        shown, [&](int run) { item.zoom(DiveProfileItem::Axis::Time, run % 2 ? 0.5 : 2.0, middle); });
    item.fitAll();
    const std::vector<double> unchanged = repaintTimes(shown, [](int) {});
    std::printf("%7d samples (%5.1f h): after a change median %6.2f ms (fastest %6.2f, slowest %6.2f); "
                "unchanged median %6.2f ms; %lld icons\n",
                samples, shown.dive.maxTime / 3600.0, changed[changed.size() / 2], changed.front(), changed.back(),
                unchanged[unchanged.size() / 2], static_cast<long long>(item.icons().size()));
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    profilefixtures::setProgramIcons();

    std::printf("Whole-profile repaint, %dx%d raster, all shown items on, %d repaints\n", int(kViewSize.width()),
                int(kViewSize.height()), kRepaints);
    for (int samples : {3600, 36000, 200000})
        measure(samples);

    if (argc > 1) {
        // As the dive log shows it: every item but the points.
        profilefixtures::ShownProfile picture(profilefixtures::decoDive(), ShowItemsState(), false, kViewSize);
        const QImage image = picture.render();
        std::printf("%s %s\n", image.save(QString::fromLocal8Bit(argv[1])) ? "saved" : "could not save", argv[1]);
    }
    return 0;
}
