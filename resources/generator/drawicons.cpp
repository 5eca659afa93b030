// Draws every icon, the splash image and the application icon of Marevane with
// QPainter, so that all the program's pictures are our own. Run it by hand
// (the "icons" build target) after changing a drawing; the pictures it writes
// are kept in the repository beside it.
//
//   drawicons <output folder>
//
// writes <output folder>/icons/*.png and <output folder>/Marevane.ico.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor kBlue(0x1f, 0x6f, 0xb8);
const QColor kDeepBlue(0x0b, 0x3c, 0x6e);
const QColor kSea(0x2a, 0x9d, 0xc8);
const QColor kGreen(0x2e, 0xa0, 0x43);
const QColor kOrange(0xf0, 0x8c, 0x1a);
const QColor kRed(0xd6, 0x2b, 0x2b);
const QColor kYellow(0xf5, 0xc2, 0x1b);
const QColor kGrey(0x5a, 0x63, 0x6e);
const QColor kInk(0x22, 0x2a, 0x33);

using Drawing = std::function<void(QPainter&)>;

QString gOutput;

QImage draw(int width, int height, const Drawing& drawing)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    drawing(painter);
    return image;
}

// Draws in a 64 x 64 design space scaled to the image size.
void save(const QString& name, int width, int height, const Drawing& drawing)
{
    const QImage image = draw(width, height, [&](QPainter& p) {
        p.scale(width / 64.0, height / 64.0);
        drawing(p);
    });
    const QString path = gOutput + "/icons/" + name + ".png";
    if (!image.save(path, "PNG"))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

QPen pen(const QColor& color, double width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont font(double pixelSize, bool bold = true)
{
    QFont f("Liberation Sans");
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setBold(bold);
    return f;
}

void text(QPainter& p, const QRectF& box, const QString& s, const QColor& color, double size)
{
    p.setFont(font(size));
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, s);
}

// A round badge with a short text: the profile's alert icons.
void badge(QPainter& p, const QColor& fill, const QString& s, double textSize = 26)
{
    p.setPen(pen(Qt::white, 4));
    p.setBrush(fill);
    p.drawEllipse(QRectF(4, 4, 56, 56));
    text(p, QRectF(4, 4, 56, 56), s, Qt::white, textSize);
}

// A warning triangle with a sign inside.
void triangle(QPainter& p, const QColor& fill, const QString& s)
{
    QPainterPath path;
    path.moveTo(32, 4);
    path.lineTo(61, 58);
    path.lineTo(3, 58);
    path.closeSubpath();
    p.setPen(pen(Qt::white, 3));
    p.setBrush(fill);
    p.drawPath(path);
    text(p, QRectF(3, 18, 58, 40), s, Qt::white, 32);
}

void arrow(QPainter& p, double angle, const QColor& color)
{
    p.save();
    p.translate(32, 32);
    p.rotate(angle);
    p.setPen(pen(color, 8));
    p.drawLine(QPointF(-20, 0), QPointF(18, 0));
    p.setBrush(color);
    p.drawPolygon(QPolygonF({QPointF(24, 0), QPointF(8, -14), QPointF(8, 14)}));
    p.restore();
}

void cylinder(QPainter& p, const QRectF& body, const QColor& color)
{
    QLinearGradient shade(body.topLeft(), body.topRight());
    shade.setColorAt(0, color.lighter(140));
    shade.setColorAt(0.5, color);
    shade.setColorAt(1, color.darker(140));
    p.setPen(pen(kInk, 2));
    p.setBrush(shade);
    p.drawRoundedRect(body, body.width() / 2, body.width() / 2.6);
    p.setBrush(kGrey);
    p.drawRect(QRectF(body.center().x() - 4, body.top() - 8, 8, 8));
}

void lamp(QPainter& p, const QColor& color)
{
    QRadialGradient glow(QPointF(26, 24), 30);
    glow.setColorAt(0, color.lighter(170));
    glow.setColorAt(0.6, color);
    glow.setColorAt(1, color.darker(150));
    p.setPen(pen(color.darker(180), 3));
    p.setBrush(glow);
    p.drawEllipse(QRectF(6, 6, 52, 52));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QRectF(18, 13, 18, 11));
}

// The dive computer: a round watch face with a strap.
void computer(QPainter& p, const QColor& screen)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(22, 0, 20, 64), 6, 6);
    p.setPen(pen(kInk, 3));
    p.setBrush(QColor(0x3a, 0x44, 0x50));
    p.drawEllipse(QRectF(6, 8, 52, 48));
    p.setBrush(screen);
    p.drawEllipse(QRectF(14, 15, 36, 34));
}

void bluetoothRune(QPainter& p, const QPointF& at, double scale, const QColor& color)
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    p.setPen(pen(color, 3));
    p.setBrush(Qt::NoBrush);
    QPainterPath rune;
    rune.moveTo(-7, -6);
    rune.lineTo(7, 6);
    rune.lineTo(0, 12);
    rune.lineTo(0, -12);
    rune.lineTo(7, -6);
    rune.lineTo(-7, 6);
    p.drawPath(rune);
    p.restore();
}

void diverSilhouette(QPainter& p, const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(10, 14, 13, 13));  // head
    QPainterPath body;
    body.moveTo(20, 22);
    body.cubicTo(30, 18, 44, 22, 52, 26);
    body.lineTo(50, 33);
    body.cubicTo(42, 31, 30, 30, 22, 31);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(color.darker(130));
    p.drawRoundedRect(QRectF(26, 14, 20, 8), 4, 4);  // tank
    p.setPen(pen(color, 5));
    p.drawLine(QPointF(50, 29), QPointF(60, 22));  // legs and fins
    p.drawLine(QPointF(50, 31), QPointF(61, 36));
    p.setPen(pen(color, 4));
    p.drawLine(QPointF(24, 28), QPointF(14, 36));  // arm
}

void drawMarkers()
{
    save("mark_info", 24, 24, [](QPainter& p) { badge(p, kBlue, "i", 38); });
    save("mark_warning", 24, 24, [](QPainter& p) { triangle(p, kOrange, "!"); });
    save("mark_error", 24, 24, [](QPainter& p) { badge(p, kRed, "\u00d7", 46); });
    save("mark_gas", 24, 24, [](QPainter& p) {
        p.setPen(pen(Qt::white, 3));
        p.setBrush(kGreen);
        p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
        arrow(p, 0, Qt::white);
    });
    save("diver", 24, 32, [](QPainter& p) {
        // drawn upright, feet on the bottom edge: the hot spot is the bottom middle
        p.setPen(Qt::NoPen);
        p.setBrush(kDeepBlue);
        p.drawEllipse(QRectF(22, 2, 20, 16));
        p.drawRoundedRect(QRectF(20, 18, 24, 28), 8, 8);
        p.setBrush(kYellow);
        p.drawRoundedRect(QRectF(26, 20, 12, 22), 5, 5);
        p.setPen(pen(kDeepBlue, 7));
        p.drawLine(QPointF(26, 44), QPointF(22, 62));
        p.drawLine(QPointF(38, 44), QPointF(42, 62));
        p.setPen(pen(kSea, 5));
        p.drawLine(QPointF(24, 8), QPointF(40, 8));  // mask
    });
    save("alertCeil", 24, 24, [](QPainter& p) {
        badge(p, kRed, "");
        p.setPen(pen(Qt::white, 5));
        p.drawLine(QPointF(16, 22), QPointF(48, 22));
        p.drawLine(QPointF(32, 50), QPointF(32, 32));
        p.drawPolyline(QPolygonF({QPointF(24, 38), QPointF(32, 30), QPointF(40, 38)}));
    });
    save("alertRR", 24, 24, [](QPainter& p) { badge(p, kOrange, "RR", 24); });
    save("alertPmax", 24, 24, [](QPainter& p) { badge(p, kRed, "P", 32); });
    save("alertO2Hyperoxic", 24, 24, [](QPainter& p) { badge(p, kRed, "O\u2082", 26); });
    save("alertO2Hypoxic", 24, 24, [](QPainter& p) { badge(p, kSea.darker(130), "O\u2082", 26); });
    save("alertN2", 24, 24, [](QPainter& p) { badge(p, kOrange, "N\u2082", 26); });
    save("alertCNS", 24, 24, [](QPainter& p) { badge(p, kRed, "CNS", 18); });
    save("alertDensity", 24, 24, [](QPainter& p) { badge(p, kOrange, "\u03c1", 34); });
    save("alertBattery", 24, 24, [](QPainter& p) {
        badge(p, kOrange, "");
        p.setPen(pen(Qt::white, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(14, 22, 32, 20), 3, 3);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(46, 28, 4, 8));
        p.drawRect(QRectF(18, 26, 8, 12));
    });
    save("oxygen-tank", 24, 24, [](QPainter& p) {
        cylinder(p, QRectF(20, 12, 24, 50), Qt::white);
        p.setBrush(kGreen);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(21, 14, 22, 10));
    });
    const QColor gasColours[8] = {kSea,   kGreen,  kYellow.darker(110), kOrange,
                                  kRed,   QColor(0x8e, 0x44, 0xad), kGrey, kDeepBlue};
    for (int gas = 1; gas <= 8; ++gas) {
        save(QString("gas%1").arg(gas), 24, 24, [&](QPainter& p) {
            p.setPen(pen(Qt::white, 3));
            p.setBrush(gasColours[gas - 1]);
            p.drawRoundedRect(QRectF(4, 4, 56, 56), 14, 14);
            text(p, QRectF(4, 4, 56, 56), QString::number(gas), Qt::white, 38);
        });
    }
}

void drawLamps()
{
    save("Led_Green", 16, 16, [](QPainter& p) { lamp(p, QColor(0x3c, 0xc8, 0x50)); });
    save("Led_Orange", 16, 16, [](QPainter& p) { lamp(p, kOrange); });
    save("Led_Red", 16, 16, [](QPainter& p) { lamp(p, kRed); });
}

void drawRunTableArrows()
{
    // Direction 0 descends, 1 stays, 2 ascends; the "dive" variants mark the
    // rows that the user planned rather than the computed ones.
    const struct { const char* name; double angle; } arrows[] = {
        {"arrowD", 90}, {"arrowR", 0}, {"arrowU", -90}};
    for (const auto& a : arrows) {
        save(a.name, 14, 14, [&](QPainter& p) { arrow(p, a.angle, kBlue); });
        save(QString(a.name) + "dive", 14, 14, [&](QPainter& p) { arrow(p, a.angle, kOrange); });
    }
}

void drawButtons()
{
    save("ok", 48, 48, [](QPainter& p) {
        p.setPen(pen(kGreen, 10));
        p.drawPolyline(QPolygonF({QPointF(10, 34), QPointF(26, 50), QPointF(54, 14)}));
    });
    save("cancel", 48, 48, [](QPainter& p) {
        p.setPen(pen(kRed, 10));
        p.drawLine(QPointF(14, 14), QPointF(50, 50));
        p.drawLine(QPointF(50, 14), QPointF(14, 50));
    });
    save("dossier", 48, 48, [](QPainter& p) {
        p.setPen(pen(kOrange.darker(140), 2.5));
        p.setBrush(kYellow.darker(105));
        QPainterPath back;
        back.moveTo(4, 14);
        back.lineTo(24, 14);
        back.lineTo(29, 20);
        back.lineTo(60, 20);
        back.lineTo(60, 54);
        back.lineTo(4, 54);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(kYellow);
        p.drawPolygon(QPolygonF({QPointF(4, 54), QPointF(12, 28), QPointF(63, 28), QPointF(57, 54)}));
    });
    save("database", 48, 48, [](QPainter& p) {
        p.setPen(pen(kDeepBlue, 2.5));
        for (int layer = 2; layer >= 0; --layer) {
            const double top = 10 + layer * 15;
            p.setBrush(layer == 0 ? kSea.lighter(130) : kSea);
            p.drawRect(QRectF(10, top + 5, 44, 15));
            p.drawEllipse(QRectF(10, top + 12, 44, 14));
            p.setBrush(kSea.lighter(130));
            p.drawEllipse(QRectF(10, top, 44, 12));
        }
    });
    save("signal", 48, 48, [](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        for (int ring = 1; ring <= 3; ++ring) {
            p.setPen(pen(kBlue, 5));
            const double r = ring * 13;
            p.drawArc(QRectF(32 - r, 44 - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(27, 39, 10, 10));
        p.drawRect(QRectF(30, 44, 4, 16));
    });
    save("reglage", 48, 48, [](QPainter& p) {
        for (int row = 0; row < 3; ++row) {
            const double y = 14 + row * 18;
            const double knob = row == 1 ? 40 : (row == 0 ? 20 : 30);
            p.setPen(pen(kGrey, 5));
            p.drawLine(QPointF(8, y), QPointF(56, y));
            p.setPen(pen(kInk, 3));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(knob, y), 7, 7);
        }
    });
    save("fitall", 48, 48, [](QPainter& p) {
        p.setPen(pen(kBlue, 5));
        const QPointF corners[4] = {{10, 10}, {54, 10}, {54, 54}, {10, 54}};
        for (const QPointF& c : corners) {
            const double dx = c.x() < 32 ? 12 : -12;
            const double dy = c.y() < 32 ? 12 : -12;
            p.drawPolyline(QPolygonF({QPointF(c.x() + dx, c.y()), c, QPointF(c.x(), c.y() + dy)}));
        }
        p.setPen(pen(kSea, 4));
        p.drawPolyline(QPolygonF({QPointF(18, 24), QPointF(26, 40), QPointF(38, 40), QPointF(46, 24)}));
    });
    // A frame with a diagonal arrow pointing out (maximise) or in (minimise).
    for (const bool grow : {true, false}) {
        save(grow ? "maximize" : "minimize", 48, 48, [&](QPainter& p) {
            p.setPen(pen(kBlue, 5));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(8, 8, 48, 48));
            p.drawLine(QPointF(22, 42), QPointF(42, 22));
            const QPointF tip = grow ? QPointF(42, 22) : QPointF(22, 42);
            const double back = grow ? -12 : 12;
            p.drawPolyline(QPolygonF({QPointF(tip.x() + back, tip.y()), tip, QPointF(tip.x(), tip.y() - back)}));
        });
    }
    save("utilisateur", 48, 48, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(20, 6, 24, 24));
        p.drawChord(QRectF(8, 34, 48, 44), 0, 180 * 16);
    });
    save("calendrier", 48, 48, [](QPainter& p) {
        p.setPen(pen(kInk, 2.5));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(6, 10, 52, 48), 5, 5);
        p.setBrush(kRed);
        p.drawRect(QRectF(6, 10, 52, 12));
        p.setPen(Qt::NoPen);
        p.setBrush(kGrey);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 5; ++col)
                p.drawRect(QRectF(11 + col * 9.5, 27 + row * 10, 6, 6));
        p.setPen(pen(kInk, 4));
        p.drawLine(QPointF(18, 5), QPointF(18, 14));
        p.drawLine(QPointF(46, 5), QPointF(46, 14));
    });
    save("import", 48, 48, [](QPainter& p) {
        computer(p, kSea);
        arrow(p, 90, Qt::white);
    });
    save("download", 48, 48, [](QPainter& p) {
        p.setPen(pen(kBlue, 7));
        p.drawLine(QPointF(32, 6), QPointF(32, 40));
        p.drawPolyline(QPolygonF({QPointF(18, 28), QPointF(32, 42), QPointF(46, 28)}));
        p.setPen(pen(kInk, 6));
        p.drawPolyline(QPolygonF({QPointF(8, 44), QPointF(8, 56), QPointF(56, 56), QPointF(56, 44)}));
    });
    save("pause", 48, 48, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(14, 10, 12, 44), 3, 3);
        p.drawRoundedRect(QRectF(38, 10, 12, 44), 3, 3);
    });
    save("run_simulation", 48, 48, [](QPainter& p) {
        p.setPen(pen(kGreen.darker(130), 3));
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF({QPointF(16, 8), QPointF(56, 32), QPointF(16, 56)}));
    });
    save("effort", 48, 48, [](QPainter& p) {
        p.setPen(pen(kGrey, 5));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(6, 34), QPointF(18, 34), QPointF(26, 14), QPointF(36, 52),
                                  QPointF(44, 30), QPointF(58, 30)}));
    });
    save("effortOn", 48, 48, [](QPainter& p) {
        p.setPen(pen(kRed, 6));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(6, 34), QPointF(18, 34), QPointF(26, 14), QPointF(36, 52),
                                  QPointF(44, 30), QPointF(58, 30)}));
    });
    // The planning tab's own buttons.
    save("add", 48, 48, [](QPainter& p) {
        p.setPen(pen(kGreen, 9));
        p.drawLine(QPointF(32, 10), QPointF(32, 54));
        p.drawLine(QPointF(10, 32), QPointF(54, 32));
    });
    save("remove", 48, 48, [](QPainter& p) {
        p.setPen(pen(kRed, 9));
        p.drawLine(QPointF(10, 32), QPointF(54, 32));
    });
    save("replace", 48, 48, [](QPainter& p) {
        p.setPen(pen(kBlue, 6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(12, 12, 40, 40), 30 * 16, 150 * 16);
        p.drawArc(QRectF(12, 12, 40, 40), 210 * 16, 150 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(56, 12), QPointF(56, 28), QPointF(42, 22)}));
        p.drawPolygon(QPolygonF({QPointF(8, 52), QPointF(8, 36), QPointF(22, 42)}));
    });
    save("new", 48, 48, [](QPainter& p) {
        p.setPen(pen(kInk, 2.5));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(12, 4), QPointF(40, 4), QPointF(52, 16), QPointF(52, 60),
                                 QPointF(12, 60)}));
        p.setPen(pen(kGreen, 6));
        p.drawLine(QPointF(32, 24), QPointF(32, 48));
        p.drawLine(QPointF(20, 36), QPointF(44, 36));
    });
    save("save", 48, 48, [](QPainter& p) {
        p.setPen(pen(kDeepBlue, 2.5));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(6, 6, 52, 52), 5, 5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(16, 6, 32, 18));
        p.setBrush(kDeepBlue);
        p.drawRect(QRectF(14, 36, 36, 22));
    });
}

void drawComputerStates()
{
    save("Pelavix-power-off", 48, 48, [](QPainter& p) {
        computer(p, QColor(0x55, 0x5d, 0x66));
        p.setPen(pen(Qt::white, 4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(22, 22, 20, 20), 120 * 16, 300 * 16);
        p.drawLine(QPointF(32, 18), QPointF(32, 31));
    });
    save("Pelavix-bluetooth-on", 48, 48, [](QPainter& p) {
        computer(p, kSea);
        bluetoothRune(p, QPointF(32, 32), 1.1, Qt::white);
    });
    // The connection dialog's animation: the computer and a telephone, with
    // more waves between them at each step.
    for (int step = 0; step < 4; ++step) {
        save(QString("bluetooth-smartphone-step%1").arg(step), 256, 128, [&](QPainter& p) {
            p.scale(0.5, 1);  // a 128 x 64 design space
            p.save();
            p.translate(8, 10);
            p.scale(0.7, 0.7);
            computer(p, step == 3 ? kSea : QColor(0x55, 0x5d, 0x66));
            p.restore();
            p.setPen(pen(kInk, 2.5));
            p.setBrush(QColor(0x3a, 0x44, 0x50));
            p.drawRoundedRect(QRectF(96, 8, 24, 46), 4, 4);
            p.setBrush(kSea.lighter(130));
            p.drawRect(QRectF(99, 13, 18, 34));
            p.setBrush(Qt::NoBrush);
            for (int wave = 0; wave < step; ++wave) {
                p.setPen(pen(kBlue, 3));
                p.drawArc(QRectF(52 + wave * 12, 18, 14, 26), -50 * 16, 100 * 16);
            }
            bluetoothRune(p, QPointF(108, 30), 0.6, kBlue);
        });
    }
}

void drawWaves(QPainter& p, double width, double y, double amplitude, const QColor& color)
{
    QPainterPath wave;
    wave.moveTo(0, y);
    for (double x = 0; x <= width; x += 4)
        wave.lineTo(x, y + amplitude * std::sin(x / 38.0));
    wave.lineTo(width, y + 400);
    wave.lineTo(0, y + 400);
    wave.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(wave);
}

// The splash image, also the about box's background: the right part is kept
// quiet for the version, the links and the button that the about box places.
void drawSplash()
{
    const int w = 640, h = 420;
    const QImage image = draw(w, h, [&](QPainter& p) {
        QLinearGradient sea(0, 0, 0, h);
        sea.setColorAt(0, QColor(0x7c, 0xc8, 0xe8));
        sea.setColorAt(0.35, kSea);
        sea.setColorAt(1, kDeepBlue.darker(150));
        p.setPen(Qt::NoPen);
        p.setBrush(sea);
        p.drawRoundedRect(QRectF(0, 0, w, h), 18, 18);
        p.setClipPath([&] {
            QPainterPath clip;
            clip.addRoundedRect(QRectF(0, 0, w, h), 18, 18);
            return clip;
        }());
        drawWaves(p, w, 70, 6, QColor(255, 255, 255, 40));
        // a dive profile sinking into the blue
        p.setPen(pen(QColor(255, 255, 255, 170), 5));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(30, 150), QPointF(90, 330), QPointF(250, 340),
                                  QPointF(290, 250), QPointF(330, 250), QPointF(350, 200),
                                  QPointF(390, 200), QPointF(410, 150)}));
        p.save();
        p.translate(150, 280);
        p.scale(1.6, 1.6);
        diverSilhouette(p, QColor(0x0a, 0x25, 0x40));
        p.restore();
        // bubbles
        p.setPen(pen(QColor(255, 255, 255, 140), 2));
        const double bubbles[][3] = {{180, 250, 6}, {186, 228, 4}, {178, 210, 5}, {184, 190, 3}};
        for (const auto& b : bubbles)
            p.drawEllipse(QPointF(b[0], b[1]), b[2], b[2]);
        p.setFont(font(64));
        p.setPen(Qt::white);
        p.drawText(QRectF(36, 30, 420, 90), Qt::AlignLeft | Qt::AlignVCenter, "Marevane");
        p.setFont(font(20, false));
        p.setPen(QColor(255, 255, 255, 220));
        p.drawText(QRectF(40, 110, 420, 40), Qt::AlignLeft | Qt::AlignVCenter,
                   "Dive log \u00b7 Planner \u00b7 Dive computer");
    });
    image.save(gOutput + "/icons/splashscreen.png", "PNG");
}

// The application icon: a sea-blue disc with a white profile line.
QImage appIcon(int size)
{
    return draw(size, size, [&](QPainter& p) {
        p.scale(size / 64.0, size / 64.0);
        QLinearGradient sea(0, 0, 0, 64);
        sea.setColorAt(0, kSea);
        sea.setColorAt(1, kDeepBlue);
        p.setPen(pen(Qt::white, 2));
        p.setBrush(sea);
        p.drawEllipse(QRectF(2, 2, 60, 60));
        p.setPen(pen(Qt::white, 5));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(10, 20), QPointF(20, 44), QPointF(38, 46), QPointF(44, 32),
                                  QPointF(54, 20)}));
    });
}

// An ICO file whose images are PNG streams, largest last.
void drawAppIcon()
{
    const int sizes[] = {16, 32, 48, 256};
    QList<QByteArray> pngs;
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        appIcon(size).save(&buffer, "PNG");
        pngs.append(png);
    }
    QByteArray ico;
    auto put16 = [&](quint16 v) { ico.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) { put16(quint16(v & 0xffff)); put16(quint16(v >> 16)); };
    put16(0);
    put16(1);
    put16(quint16(pngs.size()));
    quint32 offset = 6 + 16 * quint32(pngs.size());
    for (qsizetype i = 0; i < pngs.size(); ++i) {
        const int size = sizes[i];
        ico.append(char(size >= 256 ? 0 : size)).append(char(size >= 256 ? 0 : size));
        ico.append(char(0)).append(char(0));
        put16(1);
        put16(32);
        put32(quint32(pngs[i].size()));
        put32(offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        ico.append(png);
    QFile file(gOutput + "/Marevane.ico");
    if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawicons <output folder>\n");
        return 2;
    }
    gOutput = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(gOutput + "/icons");
    drawMarkers();
    drawLamps();
    drawRunTableArrows();
    drawButtons();
    drawComputerStates();
    drawSplash();
    drawAppIcon();
    return 0;
}
