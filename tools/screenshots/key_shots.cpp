#include "key_shots.h"

#include "render.h"

#include "app/configuration.h"
#include "app/key_assignment.h"
#include "text/language_texts.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/firekey_dlg.h"
#include "ui/pages/key_dlg.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/zorvan_dlg.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <cstdio>
#include <cstdlib>

namespace zorvan {
namespace {

// The window with the pop-up lists drawn where they stand on the screen.
QImage WithPopups(QWidget& window, const std::vector<QWidget*>& popups)
{
    const QPoint origin = window.mapToGlobal(QPoint(0, 0));
    QRect canvas(QPoint(0, 0), window.size());
    for (QWidget* popup : popups)
        canvas |= popup->geometry().translated(-origin);
    const qreal ratio = window.devicePixelRatioF();
    QImage image(canvas.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawImage(-canvas.topLeft(), RenderWidget(window));
    for (QWidget* popup : popups)
        painter.drawImage(popup->geometry().topLeft() - origin - canvas.topLeft(), RenderWidget(*popup));
    return image;
}

void HoverRow(CMenuDlg* menu, int row)
{
    const QPoint at = menu->RowRect(row).center();
    QMouseEvent move(QEvent::MouseMove, at, menu->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(menu, &move);
}

// A picture that cannot be taken ends the program: every language must show the same ones.
[[noreturn]] void Missing(const QString& name, const char* why)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(name), why);
    std::exit(1);
}

QImage Dialog(QDialog& dialog)
{
    dialog.show();
    QImage image = RenderWidget(dialog);
    dialog.hide();
    return image;
}

}  // namespace

void ShootKeyPage(CZorvanDlg& window, const QString& prefix,
                  const std::function<void(const QImage&, const QString&)>& save)
{
    window.SwitchPage(CZorvanDlg::kKeyPage);
    auto* page = dynamic_cast<CKeyDlg*>(window.PageAt(CZorvanDlg::kKeyPage));
    if (!page)
        return;
    // The pointer on the second key's button: its mark shows on the mouse.
    if (CPngBtn* second = page->KeyButton(1))
        page->MarkKeyUnder(second->mapToGlobal(second->rect().center()));
    save(RenderWidget(window), prefix + QStringLiteral("keys"));
    page->MarkKeyUnder(QPoint(-1, -1));

    page->OpenKeyMenu(1);
    CMenuDlg* menu = CMenuDlg::Current();
    if (menu == nullptr || menu->VisibleRows() == 0 || CMenuDlg::RowHeight() == 0)
        Missing(prefix + QStringLiteral("keys-menu"), "the function menu shows no rows");
    save(WithPopups(window, {menu}), prefix + QStringLiteral("keys-menu"));
    int group = -1;
    for (int row = 0; row < menu->RowCount(); ++row) {
        if (menu->IsGroupRow(row) && group < 0)
            group = row;
    }
    // The multimedia group: the second group row when the DPI group is shown.
    for (int row = group + 1; row < menu->RowCount(); ++row) {
        if (menu->IsGroupRow(row)) {
            group = row;
            break;
        }
    }
    HoverRow(menu, group);
    CMenuDlg* second = menu->SecondLevel();
    if (second == nullptr)
        Missing(prefix + QStringLiteral("keys-menu-level2"), "the second level did not open");
    save(WithPopups(window, {menu, second}), prefix + QStringLiteral("keys-menu-level2"));
    CMenuDlg::CloseOpen();

    const bool boxes = Options().ComboRec != 0;
    SharedCaptureMemory() = CaptureMemory{};  // the capture of the previous language saw the same keys
    CMsgDlg capture(&window, CMsgDlg::kCapture, GetText("tc_combo_tips"), QString(), false);
    capture.SetCaptureOptions(boxes, false);
    if (boxes) {
        for (int box : {1, 2})  // Ctrl, Alt
            if (CPngBtn* tick = capture.ModifierBox(box))
                tick->setChecked(true);
    } else {
        capture.CaptureKey(0x11, false);
        capture.CaptureKey(0x12, false);
    }
    capture.CaptureKey(0x41, false);
    save(Dialog(capture), prefix + QStringLiteral("combo-capture"));

    CFirekeyDlg fire(&window, KeyAssignment{});
    save(Dialog(fire), prefix + QStringLiteral("fire-key"));

    CMsgDlg debounce(&window, CMsgDlg::kConfirm, GetText("tc_debounce_tips"), QString(), false);
    save(Dialog(debounce), prefix + QStringLiteral("debounce-confirm"));
}

}  // namespace zorvan
