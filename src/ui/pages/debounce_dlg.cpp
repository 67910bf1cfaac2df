#include "ui/pages/debounce_dlg.h"

#include "app/configuration.h"
#include "profile/profile_edits.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/msg_dlg.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace zorvan {
namespace {

constexpr int kTipThresholdLimit = 255;  // TipForDebounce from here on is a text position
const QRect kLowerButton(79, 5, 17, 20);
const QRect kRaiseButton(142, 5, 20, 20);
const QRect kValueText(97, 7, 44, 17);

int RangeLow(const AppOptions& o)
{
    return o.DebounceRange & 0xFF;
}

int RangeHigh(const AppOptions& o)
{
    return (o.DebounceRange >> 8) & 0xFF;
}

}  // namespace

CDebounceDlg::CDebounceDlg(const PageContext& context, QWidget* page) : QWidget(page), context_(context)
{
    setGeometry(Scaled(kPlace));
    setAccessibleName(context_.Text("tc_adv_str21"));
    const QImage picture = LoadPicture(SkinFile(QStringLiteral("key_time.png")), SkinScale());
    if (!picture.isNull())
        picture_ = SmoothlyScaledTo(picture, size());
    // Without the picture the buttons are hot areas over the texts.
    QImage face = picture_;
    if (face.isNull()) {
        face = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        face.fill(Qt::transparent);
    }
    lower_ = NewTextButton(this, kLowerButton, face, face, face, QString());
    raise_ = NewTextButton(this, kRaiseButton, face, face, face, QString());
    lower_->setAccessibleName(QStringLiteral("Lower the debounce time"));
    raise_->setAccessibleName(QStringLiteral("Raise the debounce time"));
    connect(lower_, &CPngBtn::clicked, this, &CDebounceDlg::Lower);
    connect(raise_, &CPngBtn::clicked, this, &CDebounceDlg::Raise);
}

void CDebounceDlg::SetValue(int ms)
{
    value_ = ms;
    setAccessibleDescription(QStringLiteral("%1 ms").arg(ms));
    update();
}

void CDebounceDlg::Raise()
{
    CMenuDlg::CloseOpen();
    if (value_ < RangeHigh(context_.options))
        Change(value_ + 1);
}

void CDebounceDlg::Lower()
{
    CMenuDlg::CloseOpen();
    const AppOptions& o = context_.options;
    if (value_ <= RangeLow(o) || !context_.port.SettingsChangeAllowed())
        return;
    if (o.TipForDebounce < kTipThresholdLimit && o.TipForDebounce >= value_ &&
        !CMsgDlg::Confirm(this, context_.Text("tc_debounce_tips")))
        return;
    Change(value_ - 1);
}

void CDebounceDlg::Change(int ms)
{
    const DeviceDescription* device = context_.Device();
    if (device == nullptr)
        return;
    const DeviceDescription model = *device;
    const AppOptions& options = context_.options;
    QPointer<CDebounceDlg> self(this);
    context_.port.ChangeSetting([ms, model, &options](ProfileRecord& p) { return SetDebounce(p, ms, model, options); },
                                [self, ms](ChangeResult result) {
                                    if (self && result == ChangeResult::kMade)
                                        self->SetValue(ms);
                                });
}

void CDebounceDlg::mousePressEvent(QMouseEvent* event)
{
    CMenuDlg::CloseOpen();
    event->ignore();  // the page moves the window
}

void CDebounceDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!picture_.isNull())
        painter.drawImage(QPoint(0, 0), picture_);
    painter.setPen(ColourOf(context_.options.Txt_clr));
    painter.setFont(WindowFont(Scaled(14), 400));
    const QRect caption(0, 0, Scaled(kLowerButton.left()), height());
    painter.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, context_.Text("tc_adv_str21"));
    painter.drawText(Scaled(kValueText), Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("%1 ms").arg(value_));
}

}  // namespace zorvan
