// The pictures of each model in skins/<cid><mid>/: "mouse_nr.png" and "mouse_dn.png" for the
// key page (340 x 350; the buttons sit exactly on the model's Mark rectangles of data/cfg.ini)
// and "mouse_led.png" for the lighting page.
#include "art.h"
#include "draw.h"
#include "palette.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <vector>

namespace skin {
namespace {

struct Model {
    const char* folder;
    std::vector<QRect> marks;  // Mark1.. of cfg.ini: x, y, width, height
    bool logo;
    QColor stripe;
};

const QRect kLeft(74, 26, 84, 136), kRight(183, 26, 84, 136), kWheel(158, 70, 24, 48);
const QRect kForward(70, 190, 22, 40), kBack(70, 236, 22, 40);
const QRect kDpiUp(160, 124, 22, 24), kDpiDown(160, 152, 22, 24), kDpiSingle(160, 130, 22, 30);
const QRect kRear(158, 290, 26, 22);

const std::vector<Model>& Models()
{
    static const std::vector<Model> models{
        {"1a01", {kLeft, kRight, kWheel, kForward, kBack, kDpiUp, kDpiDown, kRear}, false, kAccent},
        {"1a02", {kLeft, kRight, kWheel, kForward, kBack, kDpiSingle, kRear}, false, QColor(120, 220, 160)},
        {"1a03", {kLeft, kRight, kWheel, kForward, kBack, kDpiSingle}, true, kAccent},
        {"1a04", {kLeft, kRight, kWheel, kForward, kBack, kDpiUp, kDpiDown, kRear}, false, QColor(255, 170, 60)},
        {"1a05", {kLeft, kRight, kWheel, kForward, kBack}, false, QColor(200, 200, 210)},
        {"1a06", {kLeft, kRight, kWheel, kForward, kBack, kDpiSingle}, true, QColor(255, 90, 90)},
    };
    return models;
}

QPainterPath Body()
{
    QPainterPath body;
    body.moveTo(170, 22);
    body.cubicTo(232, 22, 262, 44, 268, 112);
    body.cubicTo(276, 176, 282, 236, 272, 284);
    body.cubicTo(262, 326, 222, 340, 170, 340);
    body.cubicTo(118, 340, 78, 326, 68, 284);
    body.cubicTo(58, 236, 64, 176, 72, 112);
    body.cubicTo(78, 44, 108, 22, 170, 22);
    return body;
}

// The main buttons are the body's front, left and right of the split: lit, their part inside
// the mark shows; unlit, only the split lines draw them.
void DrawMainButton(QPainter& p, const QRect& r, bool lit, const QPainterPath& body)
{
    if (!lit)
        return;
    const bool left = r.left() < 171;
    QPainterPath front;
    front.moveTo(left ? 60 : 172, 0);
    front.lineTo(left ? 170 : 280, 0);
    front.lineTo(left ? 170 : 280, 163);
    front.lineTo(left ? 60 : 172, 163);
    front.closeSubpath();
    QPainterPath clip = body.intersected(front);
    QPainterPath mark;
    mark.addRect(QRectF(r));
    p.save();
    p.setClipPath(clip.intersected(mark));
    p.fillRect(QRectF(r), WithAlpha(kAccent, 150));
    p.restore();
}

void DrawButton(QPainter& p, const QRect& r, bool lit, const QPainterPath& clip)
{
    if (r.width() >= 60) {
        DrawMainButton(p, r, lit, clip);
        return;
    }
    p.save();
    p.setClipPath(clip);
    const double radius = std::min(r.width(), r.height()) / 2.5;
    const QColor fill = lit ? WithAlpha(kAccent, 150) : QColor(46, 52, 63);
    const QColor edge = lit ? kAccent : kMouseEdge;
    RoundedBox(p, QRectF(r).adjusted(1, 1, -1, -1), radius, fill, edge);
    p.restore();
}

QImage MousePicture(const Model& model, bool lit)
{
    QImage picture = NewPicture(340, 350);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath body = Body();
    QRadialGradient shade(QPointF(150, 120), 260);
    shade.setColorAt(0, QColor(52, 58, 70));
    shade.setColorAt(1, kMouseBody);
    p.setPen(QPen(kMouseEdge, 1.5));
    p.setBrush(shade);
    p.drawPath(body);
    // The split between the main buttons and the palm.
    p.setPen(QPen(QColor(16, 18, 22), 2));
    p.drawLine(QPointF(171, 24), QPointF(171, 150));
    p.drawPath([] {
        QPainterPath arc;
        arc.moveTo(74, 156);
        arc.cubicTo(120, 170, 220, 170, 266, 156);
        return arc;
    }());
    p.setPen(QPen(model.stripe, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(120, 300), QPointF(148, 312));
    p.drawLine(QPointF(220, 300), QPointF(192, 312));
    if (model.logo) {
        p.setPen(QPen(lit ? kAccent : kMuted, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(160, 226), QPointF(180, 226), QPointF(160, 250), QPointF(180, 250)}));
    }
    for (size_t i = 0; i < model.marks.size(); ++i)
        DrawButton(p, model.marks[i], lit, body);
    // Wheel ribs over its button.
    const QRect& wheel = kWheel;
    p.setPen(QPen(lit ? kText : kMuted, 1));
    for (int y = wheel.top() + 8; y < wheel.bottom() - 4; y += 6)
        p.drawLine(QPointF(wheel.left() + 7, y), QPointF(wheel.right() - 6, y));
    p.end();
    return picture;
}

QImage LightingPicture(const Model& model)
{
    QImage picture = NewPicture(300, 320);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(150 - 170 * 0.86, 6);
    p.scale(0.86, 0.86);
    const QPainterPath body = Body();
    // The light ring round the body and the glow it throws.
    for (int width = 22; width >= 4; width -= 6) {
        p.setPen(QPen(WithAlpha(model.stripe, 26 + (22 - width) * 6), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(body);
    }
    p.setPen(QPen(model.stripe, 2));
    p.setBrush(kMouseBody);
    p.drawPath(body);
    p.setPen(QPen(QColor(16, 18, 22), 2));
    p.drawLine(QPointF(171, 24), QPointF(171, 150));
    p.setPen(QPen(model.logo ? model.stripe : kMuted, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({QPointF(160, 226), QPointF(180, 226), QPointF(160, 250), QPointF(180, 250)}));
    p.end();
    return picture;
}

}  // namespace

void RenderMice(const QString& dir)
{
    for (const Model& model : Models()) {
        const QString folder = dir + QString::fromLatin1(model.folder) + QLatin1Char('/');
        Save(MousePicture(model, false), folder + QStringLiteral("mouse_nr.png"));
        Save(MousePicture(model, true), folder + QStringLiteral("mouse_dn.png"));
        Save(LightingPicture(model), folder + QStringLiteral("mouse_led.png"));
    }
}

}  // namespace skin
