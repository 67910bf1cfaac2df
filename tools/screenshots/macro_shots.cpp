#include "macro_shots.h"

#include "app/configuration.h"
#include "macro/macro_file.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "text/language_texts.h"
#include "ui/controls/macro_tree_model.h"
#include "ui/controls/tree_ctrl_ex.h"
#include "ui/pages/macro_page.h"
#include "ui/pages/move_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/pages/pick_macro_dlg.h"
#include "ui/zorvan_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace zorvan {
namespace {

constexpr uint32_t kEveryEventId = 0x0A0B0C;

struct ShotMacro {
    const char* folder;  // inside the macro folder
    const char* name;
    uint32_t id;
    std::vector<MacroEvent> events;
};

// Games/Shooter/…, Games/…, Office/…, and at the top a macro with every event kind.
void PrepareMacros()
{
    static bool done = false;
    if (done || MacroFolder().isEmpty())
        return;
    done = true;
    const uint16_t move = uint16_t(uint8_t(int8_t(-12)) | (uint8_t(int8_t(30)) << 8));
    const ShotMacro macros[] = {
        {"Games/Shooter", "Burst fire", 0x0A0001, {{kMouseLeft, 1, 30}, {kMouseLeft, 0, 30}}},
        {"Games/Shooter", "Reload", 0x0A0002, {{0x52, 1, 40}, {0x52, 0, 0}}},
        {"Games", "Build wall", 0x0A0003, {{0x51, 1, 20}, {0x51, 0, 0}}},
        {"Office", "Copy and paste", 0x0A0004, {{0xA2, 1, 10}, {0x43, 1, 10}, {0x43, 0, 10}, {0xA2, 0, 0}}},
        {"", "Every event", kEveryEventId,
         {{0xA0, 1, 25}, {0x41, 1, 60}, {0x41, 0, 25}, {0xA0, 0, 120}, {kMouseRight, 1, 50}, {kMouseRight, 0, 15},
          {move, kActionMove, 30}, {kMouseMiddle, 1, 40}, {kMouseMiddle, 0, 0}}},
    };
    for (const ShotMacro& m : macros) {
        StMacro record = NewEmptyMacro(QString::fromUtf8(m.name));
        record.id = m.id;
        for (size_t i = 0; i < m.events.size(); ++i)
            record.events[i] = m.events[i];
        const QString folder = MacroFolder() + (m.folder[0] ? QStringLiteral("/") + QString::fromUtf8(m.folder) : QString());
        WriteMacroFile(folder + u'/' + QString::fromUtf8(m.name) + QStringLiteral(".qxm"), record);
        Macros().AddCopy(record);
    }
}

// The window with the open pop-up menu drawn where it stands.
QImage WindowWithMenu(CZorvanDlg& window)
{
    const qreal ratio = window.devicePixelRatioF();
    QImage image(window.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    window.render(&image);
    if (CMenuDlg* menu = CMenuDlg::Current()) {
        QPainter painter(&image);
        menu->render(&painter, menu->mapToGlobal(QPoint(0, 0)) - window.mapToGlobal(QPoint(0, 0)));
    }
    return image;
}

}  // namespace

void ShootMacroPictures(CZorvanDlg& window, DevicePort& session, const QString& prefix, const ShootWidget& shoot)
{
    PrepareMacros();
    window.SwitchPage(kMacroPage);
    auto* page = dynamic_cast<CMacroDlg*>(window.BuiltPage(kMacroPage));
    if (page == nullptr)
        return;
    int64_t now = 0;
    page->SetClock([&now] { return now += 85; });
    MacroTree& tree = page->Tree();
    page->TreeView()->expandAll();
    page->SelectTreeItem(tree.FindMacro(kEveryEventId));
    shoot(window, prefix + QStringLiteral("macros"));

    page->SelectTreeItem(tree.FindMacro(0x0A0004));
    page->OnRecord();
    for (const auto& [code, up] : std::initializer_list<std::pair<unsigned, bool>>{
             {0x11, false}, {0x56, false}, {0x56, true}, {0x11, true}, {0x0D, false}, {0x0D, true}})
        page->RecordKey(code, up);
    shoot(window, prefix + QStringLiteral("macro-recording"));
    page->OnRecord();
    page->SelectTreeItem(tree.FindMacro(kEveryEventId));

    const QModelIndex games = page->TreeModel()->IndexOf(tree.FindChild(nullptr, QStringLiteral("Games")));
    const QRect row = page->TreeView()->visualRect(games);
    page->TreeView()->SelectItem(games);
    page->ShowTreeMenu(games, page->TreeView()->viewport()->mapToGlobal(row.center()));
    QApplication::processEvents();
    QLabel menuShot;
    menuShot.setPixmap(QPixmap::fromImage(WindowWithMenu(window)));
    menuShot.resize(window.size());
    CMenuDlg::CloseOpen();
    shoot(menuShot, prefix + QStringLiteral("macro-menu"));
    page->SelectTreeItem(tree.FindMacro(kEveryEventId));

    CMsgDlg rename(&window, CMsgDlg::kText, GetText("tc_macro_msg11"), QString(), false);
    rename.SetInputLimits(15, 0, 65535);
    if (rename.InputBox())
        rename.InputBox()->setText(QStringLiteral("Burst fire"));
    rename.show();
    shoot(rename, prefix + QStringLiteral("macro-rename"));
    rename.hide();

    const PageContext context{session, Options(), Texts(), QRect(), QFont(), {}, {}, {}, {}, {}};
    CPickMacroDlg picker(&window, context);
    if (picker.Tree()) {
        picker.Tree()->expandAll();
        picker.Tree()->SelectItem(picker.Tree()->FindTopLevel(QStringLiteral("Every event")));
    }
    picker.show();
    shoot(picker, prefix + QStringLiteral("pick-macro"));
    picker.hide();

    CMoveDlg move(&window, -12, 30);
    move.show();
    shoot(move, prefix + QStringLiteral("move"));
    move.hide();
}

}  // namespace zorvan
