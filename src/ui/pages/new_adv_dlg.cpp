#include "ui/pages/new_adv_dlg.h"

#include "skin/display_scale.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/system_mouse_settings.h"

#include <QMouseEvent>

namespace zorvan {
namespace {

DpiLayout NewLayout(const AppOptions& o)
{
    DpiLayout layout;
    layout.rowWidth = 650;
    layout.levelBar = QStringLiteral("longbar_nr.png");
    layout.levelFill = QStringLiteral("longbar_ov.png");
    layout.effectBar = QStringLiteral("bar_nr.png");
    layout.effectFill = QStringLiteral("bar_ov.png");
    layout.effectWidth = 261;
    // A column: each radio's top RateVSp below the previous one's bottom.
    const int gap = o.RateVSp > 0 ? o.RateVSp : 67;
    for (size_t k = 0; k < layout.rateRadios.size(); ++k)
        layout.rateRadios[k] = QRect(932, 73 + int(k) * (12 + gap), 12, 12);
    layout.rateCaption = QRect(QPoint(863, 23), QPoint(1015, 52));
    layout.lodRadios = {QRect(492, 468, 12, 12), QRect(561, 468, 12, 12)};
    layout.lodCaption = QRect(QPoint(479, 422), QPoint(639, 446));
    layout.lodTip = true;
    layout.rippleBox = QRect(788, 435, 11, 11);
    layout.rippleCaption = QRect(QPoint(673, 432), QPoint(780, 450));
    layout.angleBox = QRect(788, 481, 11, 11);
    layout.angleCaption = QRect(QPoint(673, 478), QPoint(780, 496));
    return layout;
}

}  // namespace

CNewAdvDlg::CNewAdvDlg(const PageContext& context, QWidget* parent) : DpiPage(context, parent, NewLayout(context.options))
{
    setMouseTracking(true);
}

bool CNewAdvDlg::OnSystemLink(const QPoint& point) const
{
    const Rect& r = Context().options.rcSys;
    return Context().options.ShowSys != 0 && Scaled(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom))).contains(point);
}

void CNewAdvDlg::mouseMoveEvent(QMouseEvent* event)
{
    setCursor(OnSystemLink(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    DpiPage::mouseMoveEvent(event);
}

void CNewAdvDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && OnSystemLink(event->position().toPoint())) {
        CMenuDlg::CloseOpen();
        OpenDesktopMouseSettings();
        event->accept();
        return;
    }
    DpiPage::mousePressEvent(event);
}

}  // namespace zorvan
