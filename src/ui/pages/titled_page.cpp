#include "ui/pages/titled_page.h"

#include "app/configuration.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "text/language_texts.h"

#include <QPainter>

namespace zorvan {
namespace {

// Where every page draws its title, in page pixels of the normal-size skin.
const QRect kPageTitleRect(43, 20, 300, 20);

}  // namespace

TitledPage::TitledPage(QWidget* parent, const QRect& area, const QString& background, std::string titleKey,
                       const QFont& titleFont)
    : PageWidget(parent), titleKey_(std::move(titleKey)), titleFont_(titleFont)
{
    setGeometry(area);
    const QImage picture = LoadPicture(SkinFile(background), SkinScale());
    if (!picture.isNull())
        background_ = PictureArea(picture, area);
}

QString TitledPage::Title() const
{
    return GetText(titleKey_);
}

void TitledPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!background_.isNull())
        painter.drawImage(rect(), background_);
    painter.setPen(ColourOf(Options().Txt_clr));
    painter.setFont(titleFont_);
    painter.drawText(Scaled(kPageTitleRect), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Title());
}

}  // namespace zorvan
