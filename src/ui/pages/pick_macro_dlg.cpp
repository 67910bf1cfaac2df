#include "ui/pages/pick_macro_dlg.h"

#include "app/message_box.h"
#include "macro/macro_commands.h"
#include "macro/macro_files.h"
#include "macro/macro_folder_load.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "skin/skin_files.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/macro_tree_model.h"
#include "ui/controls/png_btn.h"
#include "ui/controls/tree_ctrl_ex.h"

#include <QPainter>

namespace zorvan {
namespace {

constexpr int kTreeId = 17;
const QRect kTreeRect(25, 80, 350, 210);
constexpr QRgb kFrameColour = 0x969696;

}  // namespace

std::optional<int> CPickMacroDlg::Pick(QWidget* parent, const PageContext& context)
{
    CPickMacroDlg dialog(parent, context);
    if (!dialog.Loaded() || dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Result();
}

CPickMacroDlg::CPickMacroDlg(QWidget* parent, const PageContext& context)
    : SkinDialog(parent, kMessageWindowTitle), context_(context)
{
    setFont(WindowFont(Scaled(16), 400));
    loaded_ = LoadBackground(SkinFile(QStringLiteral("msg2_nr.png")), false);
    if (!loaded_)
        return;
    const QImage& background = Background();
    const auto textButton = [this, &background](const QRect& r, const char* key) {
        CPngBtn* b = NewTextButton(this, r, background, background, background, context_.Text(key));
        b->setAccessibleName(context_.Text(key));
        return b;
    };
    SkinButtonSpec closeLook{QRect(360, 12, 22, 22), QStringLiteral("exit_nr.png"), QStringLiteral("exit_nr.png"),
                             QStringLiteral("exit_nr.png"), QString()};
    closeLook.parentPicture = background;
    if (CPngBtn* close = NewSmallPngButton(this, closeLook))
        connect(close, &CPngBtn::clicked, this, &QDialog::reject);
    connect(textButton(QRect(210, 302, 80, 20), "tc_ok"), &CPngBtn::clicked, this, &CPickMacroDlg::OnOk);
    connect(textButton(QRect(298, 302, 80, 20), "tc_cancel"), &CPngBtn::clicked, this, &QDialog::reject);
    connect(textButton(QRect(25, 302, 80, 20), "tc_macro_msg5"), &CPngBtn::clicked, this, &CPickMacroDlg::OnEditor);

    if (!MacroFolder().isEmpty())
        LoadMacroFolder(MacroFolder(), &tree_, nullptr, context_.options.MacroDir != 0, false);
    PruneDeepFolders(tree_);
    model_ = std::make_unique<MacroTreeModel>(tree_);
    view_ = new CTreeCtrlEx(this, kTreeId, {}, LoadPicture(MacroPictureFile(QStringLiteral("open.png"))),
                            LoadPicture(MacroPictureFile(QStringLiteral("close.png"))));
    view_->setGeometry(Scaled(kTreeRect));
    const AppOptions& o = context_.options;
    view_->SetSkinLook(o.LstBox_bkg_clr, o.LstBox_item_clr, o.LstBox_txt_clr_dn, o.LstBox_txt_clr_nr, o.clrMacFrame);
    view_->setModel(model_.get());
    connect(view_, &CTreeCtrlEx::itemDoubleClicked, this, [this](int, const QModelIndex& item) {
        if (item.data(item_roles::kKind).toInt() == kMacroItem)
            OnOk();
    });
}

CPickMacroDlg::~CPickMacroDlg()
{
    // The view goes before the model it shows.
    delete view_;
}

void CPickMacroDlg::OnOk()
{
    const MacroTreeItem* item = model_ ? model_->ItemOf(view_->SelectedItem()) : nullptr;
    if (item == nullptr || item->kind != kMacroItem) {
        ShowMessage(QStringLiteral("Tips"), context_.Text("tc_macro_msg1"));
        return;
    }
    result_ = int(item->macroId & 0xFFFFFF);
    accept();
}

void CPickMacroDlg::OnEditor()
{
    result_ = -1;
    accept();
}

void CPickMacroDlg::PaintContent(QPainter& painter)
{
    painter.setPen(QColor::fromRgb(kFrameColour));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(ColourOf(context_.options.Txt_clr));
    painter.setFont(font());
    const QRect caption(QPoint(kTreeRect.left() + 2, kTreeRect.top() - 24), QPoint(kTreeRect.left() + 199, kTreeRect.top() - 5));
    painter.drawText(Scaled(caption), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, context_.Text("tc_macro_list"));
}

}  // namespace zorvan
