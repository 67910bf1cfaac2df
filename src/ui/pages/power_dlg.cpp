#include "ui/pages/power_dlg.h"

#include "app/configuration.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "ui/pages/menu_dlg.h"

#include <QMouseEvent>
#include <QPainter>

namespace zorvan {

CPowerDlg::CPowerDlg(QWidget* parent, const QImage& background) : QWidget(parent)
{
    const Point at = Options().ptPower;
    setGeometry(Scaled(QRect(QPoint(at.x, at.y), kSize)));
    background_ = PictureArea(background, geometry());
    for (int level = 1; level <= 4; ++level)
        pictures_[size_t(level - 1)] = LoadPicture(PowerPictureFile(level), SkinScale());
    pictures_[4] = LoadPicture(SkinFile(QStringLiteral("power_charging.png")), SkinScale());
    setFont(IsFourK() ? WindowFont(26, 500) : WindowFont(16, 400));
    hide();
}

void CPowerDlg::SetPower(bool charging, int level)
{
    // The poll repeats the same reading most of the time: drawn again only when it changed.
    if (charging == charging_ && level == level_)
        return;
    charging_ = charging;
    level_ = level;
    update();
}

int CPowerDlg::PictureIndex() const
{
    if (charging_)
        return 4;
    return level_ <= 25 ? 0 : level_ <= 50 ? 1 : level_ <= 75 ? 2 : 3;
}

QString CPowerDlg::PictureName() const
{
    const int index = PictureIndex();
    return index == 4 ? QStringLiteral("power_charging.png") : QStringLiteral("power%1.png").arg(index + 1);
}

bool CPowerDlg::ShowsLevelText() const
{
    return (Options().ShowPower & 1) == 0 && (!charging_ || level_ == 100);
}

void CPowerDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), background_);
    const QImage& picture = pictures_[size_t(PictureIndex())];
    if (!picture.isNull())
        painter.drawImage(rect(), picture);
    if (ShowsLevelText()) {
        painter.setPen(ColourOf(Options().Txt_clr));
        const QRect area = IsFourK() ? QRect(0, 50, width(), 30) : QRect(0, 22, width(), 20);
        const QString text = QStringLiteral("%1 %").arg(level_);
        // "100 %" must fit the indicator's width: a wide desktop font is made smaller.
        QFont fitted = font();
        while (fitted.pixelSize() > 8 && QFontMetrics(fitted).horizontalAdvance(text) > area.width())
            fitted.setPixelSize(fitted.pixelSize() - 1);
        painter.setFont(fitted);
        painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    if (Options().UIDebug) {
        painter.setPen(Qt::red);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CPowerDlg::mousePressEvent(QMouseEvent* event)
{
    CMenuDlg::CloseOpen();
    event->ignore();
}

}  // namespace zorvan
