#include "ui/about_dlg.h"

#include "app/configuration.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/skin_files.h"
#include "text/language_texts.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/png_btn.h"

#include <QDesktopServices>
#include <QPainter>
#include <QUrl>

namespace zorvan {

CAboutDlg::CAboutDlg(QWidget* parent, std::optional<int> firmware)
    : SkinDialog(parent, kMessageWindowTitle), firmware_(firmware)
{
    setFont(WindowFont(Scaled(16), 400));
    loaded_ = LoadBackground(SkinFile(QStringLiteral("msg_nr.png")), true);
    if (!loaded_)
        return;
    const QString exit = QStringLiteral("exit_nr.png");
    SkinButtonSpec close{QRect(399, 10, 25, 25), exit, exit, exit};
    close.parentPicture = Background();
    if (CPngBtn* button = NewSmallPngButton3(this, close))
        connect(button, &CPngBtn::clicked, this, &QDialog::reject);

    // Without an address the link would lead nowhere: it is not shown.
    if (const QString web = GetText("tc_web"); !web.isEmpty()) {
        webLink_ = NewTextButton(this, QRect(60, 105, 200, 20), Background(), Background(), Background(), GetText("tc_msg24"));
        webLink_->setCursor(Qt::PointingHandCursor);
        webLink_->setAccessibleName(GetText("tc_msg24"));
        connect(webLink_, &CPngBtn::clicked, this, [web] { QDesktopServices::openUrl(QUrl::fromUserInput(web)); });
    }

    const QString reset = QStringLiteral("reset_nr.png");
    SkinButtonSpec update{QRect(280, 105, 111, 27), reset, reset, reset, GetText("tc_msg8")};
    update.parentPicture = Background();
    firmwareButton_ = NewSmallPngButton3(this, update);
    if (firmwareButton_) {
        firmwareButton_->SetTextColours(0x646464, 0x646464, 0x646464);
        firmwareButton_->setVisible(Options().ShowFWUpdate != 0);
    }
}

int CAboutDlg::exec()
{
    return loaded_ ? SkinDialog::exec() : QDialog::Rejected;
}

std::vector<CAboutDlg::Line> CAboutDlg::Lines() const
{
    const QString fwver = GetText("tc_fwver");
    const int y = fwver.isEmpty() ? 70 : 60;
    std::vector<Line> lines{{QRect(60, 30, 360, 20), GetText("tc_msg21")}, {QRect(60, y, 360, 20), GetText("tc_version")}};
    if (firmware_ && !fwver.isEmpty())
        lines.push_back({QRect(60, y + 20, 360, 20), QStringLiteral("%1 %2").arg(fwver).arg(*firmware_, 4, 16, QLatin1Char('0'))});
    return lines;
}

void CAboutDlg::PaintContent(QPainter& painter)
{
    painter.setPen(ColourOf(Options().Txt_clr));
    painter.setFont(font());
    for (const Line& line : Lines()) {
        const QRect area = Scaled(line.rect);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(line.text, Qt::ElideRight, area.width()));
    }
}

}  // namespace zorvan
