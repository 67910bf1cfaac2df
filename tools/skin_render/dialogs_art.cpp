// The skinned dialogs' backgrounds: message (452 x 150), macro picker (400 x 340) and progress
// (531 x 80, with its filled twin).
#include "art.h"
#include "draw.h"
#include "palette.h"

#include <QLinearGradient>

namespace skin {
namespace {

QImage DialogFrame(int w, int h)
{
    QImage picture = NewPicture(w, h);
    WindowShape(picture, 12, kPanelBorder);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(kHeader);
    p.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 11, 11);
    p.fillRect(QRect(12, 31, 28, 2), kAccent);
    return picture;
}

void ProgressTrack(QPainter& p, int end, const QColor& colour)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(45, 50, end - 45, 8), 4, 4);
}

}  // namespace

void RenderDialogs(const QString& dir)
{
    Save(DialogFrame(452, 150), dir + QStringLiteral("msg_nr.png"));
    Save(DialogFrame(400, 340), dir + QStringLiteral("msg2_nr.png"));

    QImage progress = DialogFrame(531, 80);
    {
        QPainter p(&progress);
        ProgressTrack(p, 486, kTrack);
    }
    Save(progress, dir + QStringLiteral("progress_nr.png"));
    QPainter p(&progress);
    QLinearGradient g(45, 0, 486, 0);
    g.setColorAt(0, kAccentDeep);
    g.setColorAt(1, kAccent);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(45, 50, 441, 8), 4, 4);
    p.end();
    Save(progress, dir + QStringLiteral("progress_ov.png"));
}

}  // namespace skin
