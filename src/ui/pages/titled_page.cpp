#include "ui/pages/titled_page.h"

#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"

#include <QPainter>

namespace zorvan {
namespace {

// Where every page draws its title, in page pixels of the normal-size skin.
const QRect kPageTitleRect(43, 20, 300, 20);

}  // namespace

TitledPage::TitledPage(const PageContext& context, QWidget* parent, const QString& background, std::string titleKey)
    : PageWidget(context, parent), titleKey_(std::move(titleKey))
{
    const QImage picture = LoadPicture(SkinFile(background), SkinScale());
    if (!picture.isNull())
        background_ = PictureArea(picture, context.area);
}

QString TitledPage::Title() const
{
    return Context().Text(titleKey_);
}

void TitledPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!background_.isNull())
        painter.drawImage(rect(), background_);
    painter.setPen(ColourOf(Context().options.Txt_clr));
    painter.setFont(Context().titleFont);
    painter.drawText(Scaled(kPageTitleRect), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Title());
}

}  // namespace zorvan
