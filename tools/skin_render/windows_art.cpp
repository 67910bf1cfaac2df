// The window-sized backgrounds: the main window with its header, and one picture per page that
// the page crops under the page area.
#include "art.h"
#include "draw.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <vector>

namespace skin {
namespace {

constexpr int kWidth = 1021;
constexpr int kHeight = 692;
const QRect kPageArea(2, 160, 1017, 530);  // rcSubDlg 2,160,1019,690

struct Card {
    QRect rect;  // page pixels
    bool glow = false;
};

void Logo(QPainter& p)
{
    // The home-page link area (rcHomePageBtn 24,16,170,60): a mark and the name.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF mark(26, 20, 34, 34);
    QLinearGradient g(mark.topLeft(), mark.bottomRight());
    g.setColorAt(0, kAccent);
    g.setColorAt(1, kAccentDeep);
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(mark, 9, 9);
    QPainterPath z;
    z.moveTo(35, 29);
    z.lineTo(51, 29);
    z.lineTo(35, 45);
    z.lineTo(51, 45);
    p.setPen(QPen(kWindow, 3.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(z);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(21);
    font.setWeight(QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    p.setFont(font);
    p.setPen(kText);
    p.drawText(QRectF(70, 18, 110, 38), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZORVAN"));
    p.restore();
}

QImage Frame()
{
    QImage picture = NewPicture(kWidth, kHeight);
    WindowShape(picture, 14, kWindow);
    QPainter p(&picture);
    p.setClipPath([] {
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, kWidth, kHeight), 14, 14);
        return path;
    }());
    QLinearGradient header(0, 0, 0, 160);
    header.setColorAt(0, QColor(26, 31, 40));
    header.setColorAt(1, kHeader);
    p.fillRect(QRect(0, 0, kWidth, 160), header);
    // A faint accent glow behind the logo and a hairline under the navigation.
    QRadialGradient glow(QPointF(60, 20), 320);
    glow.setColorAt(0, WithAlpha(kAccent, 34));
    glow.setColorAt(1, WithAlpha(kAccent, 0));
    p.fillRect(QRect(0, 0, 520, 160), glow);
    p.fillRect(kPageArea, kPage);
    p.fillRect(QRect(0, 159, kWidth, 1), kPanelBorder);
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kPanelBorder, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0, 0, kWidth - 1, kHeight - 1), 14, 14);
    Logo(p);
    return picture;
}

void Cards(QImage& picture, const std::vector<Card>& cards)
{
    QPainter p(&picture);
    for (const Card& card : cards) {
        const QRect r = card.rect.translated(kPageArea.topLeft());
        RoundedBox(p, r, 10, kPanel, kPanelBorder);
        if (card.glow) {
            QRadialGradient glow(r.center(), r.width() * 0.55);
            glow.setColorAt(0, WithAlpha(kAccent, 30));
            glow.setColorAt(1, WithAlpha(kAccent, 0));
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), 10, 10);
        }
    }
}

// The record button of the macro page is drawn on the page itself (ptRecord 756,54, 161 x 33).
void RecordButton(QImage& picture)
{
    QPainter p(&picture);
    const QRect r = QRect(756, 54, 161, 33).translated(kPageArea.topLeft());
    RoundedBox(p, r, 7, kControl, kControlBorder);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kDanger);
    p.drawEllipse(QPointF(r.left() + 16, r.center().y() + 0.5), 5, 5);
}

}  // namespace

void RenderWindows(const QString& dir)
{
    QImage key = Frame();
    Cards(key, {{QRect(24, 56, 292, 384)}, {QRect(330, 56, 360, 384), true}, {QRect(704, 56, 292, 384)}});
    Save(key, dir + QStringLiteral("key_nr.png"));

    QImage adv = Frame();
    Cards(adv, {{QRect(24, 56, 800, 330)}, {QRect(850, 14, 150, 372)}, {QRect(24, 400, 970, 118)}});
    Save(adv, dir + QStringLiteral("adv_nr.png"));

    QImage macro = Frame();
    Cards(macro, {{QRect(88, 50, 250, 456)}, {QRect(389, 50, 250, 456)}, {QRect(736, 40, 262, 466)}});
    RecordButton(macro);
    Save(macro, dir + QStringLiteral("macro_nr.png"));

    QImage led = Frame();
    Cards(led, {{QRect(24, 56, 460, 460)}, {QRect(500, 14, 500, 502), true}});
    Save(led, dir + QStringLiteral("led_nr.png"));
}

}  // namespace skin
