#include "core/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ToolIcons {

namespace {

const QColor ink(0x33, 0x40, 0x52);
const QColor green(0x2e, 0x9d, 0x5b);
const QColor amber(0xe0, 0x9a, 0x1e);
const QColor red(0xd0, 0x46, 0x3c);
const QColor blue(0x2f, 0x6f, 0xb5);
const QColor paper(0xfb, 0xf8, 0xf0);

// A closed outline through `corners`, in order.
QPainterPath polygon(std::initializer_list<QPointF> corners)
{
    QPainterPath p;
    p.moveTo(*corners.begin());
    for (auto corner = corners.begin() + 1; corner != corners.end(); ++corner)
        p.lineTo(*corner);
    p.closeSubpath();
    return p;
}

QPainterPath triangle(double x, double y, double w, double h, bool right)
{
    if (right)
        return polygon({ { x, y }, { x + w, y + h / 2 }, { x, y + h } });
    return polygon({ { x + w, y }, { x, y + h / 2 }, { x + w, y + h } });
}

void fill(QPainter &p, const QPainterPath &path, const QColor &c)
{
    p.setPen(QPen(c.darker(130), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c);
    p.drawPath(path);
}

void roundRect(QPainter &p, const QRectF &r, const QColor &c)
{
    QPainterPath path;
    path.addRoundedRect(r, 1.5, 1.5);
    fill(p, path, c);
}

// A small film frame behind the movie bar's images.
void film(QPainter &p)
{
    p.setPen(QPen(ink, 1.0));
    p.setBrush(QColor(0xe8, 0xec, 0xf2));
    p.drawRoundedRect(QRectF(1.5, 3.5, 21, 17), 2, 2);
    p.setBrush(ink);
    for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(3 + i * 5, 4.5, 2, 1.5));
        p.drawRect(QRectF(3 + i * 5, 18, 2, 1.5));
    }
}

// A sheet of paper with a folded corner, behind the list editor's images.
void page(QPainter &p)
{
    fill(p, polygon({ { 3.5, 2.5 }, { 13, 2.5 }, { 17.5, 7 }, { 17.5, 21.5 }, { 3.5, 21.5 } }),
         paper);
    p.setPen(QPen(ink.lighter(160), 1.0));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(6, 9 + i * 3.5), QPointF(12, 9 + i * 3.5));
}

void plus(QPainter &p, double x, double y, const QColor &c)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(x, y), 6, 6);
    fill(p, disc, c);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x - 3, y), QPointF(x + 3, y));
    p.drawLine(QPointF(x, y - 3), QPointF(x, y + 3));
}

// An arrow head of 9 × 8 with its point at (x, y), pointing up or down, on a short shaft.
QPainterPath arrow(double x, double y, bool up)
{
    const double d = up ? 1 : -1;
    return polygon({ { x, y },
                     { x + 4.5, y + d * 8 },
                     { x + 1.6, y + d * 8 },
                     { x + 1.6, y + d * 17 },
                     { x - 1.6, y + d * 17 },
                     { x - 1.6, y + d * 8 },
                     { x - 4.5, y + d * 8 } });
}

// Draws one image on a 24 × 24 canvas.
void draw(QPainter &p, const QString &key)
{
    if (key == u"open") {
        fill(p, polygon({ { 2, 6 }, { 9, 6 }, { 11, 8 }, { 20, 8 }, { 20, 19 }, { 2, 19 } }),
             QColor(0xd9, 0xa4, 0x41));
        fill(p, polygon({ { 5, 11 }, { 23, 11 }, { 20, 19 }, { 2, 19 } }),
             QColor(0xf2, 0xc6, 0x6d));
    } else if (key == u"save") {
        roundRect(p, QRectF(3, 3, 18, 18), blue);
        roundRect(p, QRectF(6.5, 3.5, 11, 6.5), paper);
        roundRect(p, QRectF(6, 13, 12, 8), QColor(0xdd, 0xe6, 0xf0));
        p.setPen(QPen(ink, 1.0));
        p.drawLine(QPointF(8, 16), QPointF(16, 16));
        p.drawLine(QPointF(8, 18.5), QPointF(16, 18.5));
    } else if (key == u"play" || key == u"Play") {
        fill(p, triangle(6, 3.5, 14, 17, true), green);
    } else if (key == u"pause" || key == u"Pause") {
        roundRect(p, QRectF(5.5, 4, 5, 16), amber);
        roundRect(p, QRectF(13.5, 4, 5, 16), amber);
    } else if (key == u"stop" || key == u"Stop") {
        roundRect(p, QRectF(5, 5, 14, 14), red);
    } else if (key == u"reverse") {
        roundRect(p, QRectF(4, 5, 3, 14), blue);
        fill(p, triangle(8, 5, 12, 14, false), blue);
    } else if (key == u"forward") {
        fill(p, triangle(4, 5, 12, 14, true), blue);
        roundRect(p, QRectF(17, 5, 3, 14), blue);
    } else if (key == u"option") {
        // Three sliders: the settings.
        p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(4, 6 + i * 6), QPointF(20, 6 + i * 6));
        const double knobs[] = { 14, 8, 16 };
        for (int i = 0; i < 3; ++i) {
            QPainterPath knob;
            knob.addEllipse(QPointF(knobs[i], 6 + i * 6), 2.6, 2.6);
            fill(p, knob, i == 1 ? amber : blue);
        }
    } else if (key == u"add") {
        page(p);
        plus(p, 15.5, 15.5, green);
    } else if (key == u"delete") {
        page(p);
        p.setPen(QPen(red, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 11), QPointF(20, 20));
        p.drawLine(QPointF(20, 11), QPointF(11, 20));
    } else if (key == u"move") {
        fill(p, arrow(7.5, 2.5, true), blue);
        fill(p, arrow(16.5, 21.5, false), blue);
    } else if (key == u"sort") {
        // Lines of growing length beside a downward arrow: an ascending order.
        p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(11, 5 + i * 4.7), QPointF(14 + i * 2.5, 5 + i * 4.7));
        p.setPen(QPen(blue, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.5, 3.5), QPointF(5.5, 17));
        fill(p, arrow(5.5, 21.5, false), blue);
    } else if (key == u"pophint" || key == u"pophelp") {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(2.5, 2.5, 19, 15), 5, 5);
        bubble.moveTo(7, 17);
        bubble.lineTo(6, 22);
        bubble.lineTo(12, 17);
        fill(p, bubble.simplified(), QColor(0xff, 0xf3, 0xb0));
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath q;
        q.moveTo(9.2, 8);
        q.cubicTo(9.2, 4.5, 14.8, 4.5, 14.8, 8);
        q.cubicTo(14.8, 10.2, 12, 10.2, 12, 12.5);
        p.drawPath(q);
        p.drawPoint(QPointF(12, 15));
    } else if (key == u"mp_play") {
        film(p);
        fill(p, triangle(9, 7.5, 8, 9, true), green);
    } else if (key == u"mp_pause") {
        film(p);
        roundRect(p, QRectF(8, 7.5, 3, 9), amber);
        roundRect(p, QRectF(13, 7.5, 3, 9), amber);
    } else if (key == u"mp_reverse") {
        film(p);
        fill(p, triangle(5, 7.5, 7, 9, false), blue);
        fill(p, triangle(12, 7.5, 7, 9, false), blue);
    } else if (key == u"mp_forward") {
        film(p);
        fill(p, triangle(5, 7.5, 7, 9, true), blue);
        fill(p, triangle(12, 7.5, 7, 9, true), blue);
    } else if (key == u"Lunetta") {
        // A small lens over a picture.
        roundRect(p, QRectF(2, 4, 20, 16), QColor(0x7f, 0xb8, 0xe6));
        fill(p, polygon({ { 2.5, 19.5 }, { 9, 11 }, { 13, 15 }, { 16, 12 }, { 21.5, 19.5 } }),
             QColor(0x4c, 0x9a, 0x5a));
        QPainterPath moon;
        moon.addEllipse(QPointF(16.5, 8.5), 2.5, 2.5);
        fill(p, moon, QColor(0xff, 0xe0, 0x7a));
    }
}

QPixmap render(const QString &key, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p, key);
    return pixmap;
}

} // namespace

QIcon icon(const QString &key)
{
    QIcon result;
    for (int size : { 16, 24, 32, 48, 64 })
        result.addPixmap(render(key, size));
    return result;
}

} // namespace ToolIcons
