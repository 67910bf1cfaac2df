// Buttons, check boxes, radio buttons, combos, sliders and bars, menu rows, the debounce
// control. Sizes are those the pages lay out.
#include "art.h"
#include "draw.h"
#include "palette.h"

namespace skin {
namespace {

void Box(const QString& path, int w, int h, double radius, const QColor& fill, const QColor& border)
{
    QImage picture = NewPicture(w, h);
    QPainter p(&picture);
    RoundedBox(p, QRectF(0, 0, w, h), radius, fill, border);
    p.end();
    Save(picture, path);
}

void Combo(const QString& path, int w, int h)
{
    QImage picture = NewPicture(w, h);
    QPainter p(&picture);
    RoundedBox(p, QRectF(0, 0, w, h), h > 20 ? 7 : 4, kControl, kControlBorder);
    Chevron(p, QPointF(w - (h > 20 ? 13 : 9), h / 2.0), h > 20 ? 4 : 3, kAccent);
    p.end();
    Save(picture, path);
}

void CheckBoxes(const QString& dir, const QString& stem)
{
    Box(dir + stem + QStringLiteral("_nr.png"), 11, 11, 2.5, kControl, kMuted);
    QImage picture = NewPicture(11, 11);
    QPainter p(&picture);
    RoundedBox(p, QRectF(0, 0, 11, 11), 2.5, kAccent, kAccent);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kWindow, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(2.7, 5.7), QPointF(4.6, 7.8), QPointF(8.4, 3.3)}));
    p.end();
    Save(picture, dir + stem + QStringLiteral("_dn.png"));
}

void Radios(const QString& dir)
{
    for (bool on : {false, true}) {
        QImage picture = NewPicture(12, 12);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(on ? kAccent : kMuted, 1.2));
        p.setBrush(kControl);
        p.drawEllipse(QRectF(0.6, 0.6, 10.8, 10.8));
        if (on) {
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawEllipse(QPointF(6, 6), 3, 3);
        }
        p.end();
        Save(picture, dir + (on ? QStringLiteral("radio_dn.png") : QStringLiteral("radio_nr.png")));
    }
}

void Thumb(const QString& path, const QColor& ring, const QString& letter)
{
    QImage picture = NewPicture(10, 10);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ring, 2));
    p.setBrush(letter.isEmpty() ? kText : ring);
    p.drawEllipse(QRectF(1, 1, 8, 8));
    p.end();
    Save(picture, path);
}

void Bars(const QString& dir, const QString& stem, int w, int h)
{
    Box(dir + stem + QStringLiteral("_nr.png"), w, h, h / 2.0, kTrack, QColor(0, 0, 0, 0));
    QImage fill = NewPicture(w, h);
    QPainter p(&fill);
    QLinearGradient g(0, 0, w, 0);
    g.setColorAt(0, kAccentDeep);
    g.setColorAt(1, kAccent);
    RoundedBox(p, QRectF(0, 0, w, h), h / 2.0, QColor(0, 0, 0, 0), QColor(0, 0, 0, 0));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0, 0, w, h), h / 2.0, h / 2.0);
    p.end();
    Save(fill, dir + stem + QStringLiteral("_ov.png"));
}

void MenuRows(const QString& dir)
{
    for (bool group : {false, true}) {
        for (bool hover : {false, true}) {
            QImage picture = NewPicture(200, 20);
            QPainter p(&picture);
            p.fillRect(QRect(0, 0, 200, 20), hover ? QColor(30, 44, 58) : QColor(24, 28, 35));
            if (hover)
                p.fillRect(QRect(0, 0, 3, 20), kAccent);
            if (group) {
                p.save();
                p.translate(188, 10);
                p.rotate(-90);
                Chevron(p, QPointF(0, 0), 3, hover ? kAccent : kMuted);
                p.restore();
            }
            p.end();
            Save(picture, dir + QStringLiteral("menu%1_%2.png").arg(group ? "sub" : "").arg(hover ? "ov" : "nr"));
        }
    }
}

// The debounce control (170 x 30): minus at 79..96, value at 97..141, plus at 142..162.
void DebounceControl(const QString& path)
{
    QImage picture = NewPicture(170, 30);
    QPainter p(&picture);
    RoundedBox(p, QRectF(0, 0, 170, 30), 7, kPanel, kPanelBorder);
    RoundedBox(p, QRectF(79, 5, 17, 20), 4, kControl, kControlBorder);
    RoundedBox(p, QRectF(142, 5, 20, 20), 4, kControl, kControlBorder);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kAccent, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(83.5, 15), QPointF(91.5, 15));
    p.drawLine(QPointF(148, 15), QPointF(156, 15));
    p.drawLine(QPointF(152, 11), QPointF(152, 19));
    p.end();
    Save(picture, path);
}

}  // namespace

void RenderControls(const QString& dir)
{
    Box(dir + QStringLiteral("button_nr.png"), 222, 19, 4, kControl, kControlBorder);
    Box(dir + QStringLiteral("button2_nr.png"), 80, 27, 6, QColor(18, 58, 80), kAccentDeep);
    Box(dir + QStringLiteral("reset_nr.png"), 111, 27, 6, kControl, kControlBorder);
    Combo(dir + QStringLiteral("combo_nr.png"), 147, 30);
    Combo(dir + QStringLiteral("combo2_nr.png"), 83, 19);
    Combo(dir + QStringLiteral("combo3_nr.png"), 111, 30);
    CheckBoxes(dir, QStringLiteral("check"));
    CheckBoxes(dir, QStringLiteral("Check"));  // the dialogs' spelling
    Radios(dir);
    Thumb(dir + QStringLiteral("slider.png"), kAccent, QString());
    Thumb(dir + QStringLiteral("slider1.png"), kAccent, QStringLiteral("X"));
    Thumb(dir + QStringLiteral("slider2.png"), kText, QStringLiteral("Y"));
    Bars(dir, QStringLiteral("longbar"), 650, 6);
    Bars(dir, QStringLiteral("dpibar"), 390, 6);
    Bars(dir, QStringLiteral("bar"), 261, 4);
    MenuRows(dir);
    DebounceControl(dir + QStringLiteral("key_time.png"));
}

}  // namespace skin
