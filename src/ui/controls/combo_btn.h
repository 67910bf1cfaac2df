#pragma once
// CComboBtn: an image button that opens a list of choices in the pop-up list (CMenuDlg). It
// keeps four item lists of any length, of which one is active; the caption shows the chosen
// item's text and the tag holds its value (-1 for none). A new choice is reported as
// clicked(). From the keyboard, Space, Enter or Alt+Down open the list and Up and Down choose
// the previous or next item.
#include "ui/controls/png_btn.h"

#include <array>
#include <functional>
#include <vector>

namespace zorvan {

class CComboBtn : public CPngBtn {
    Q_OBJECT
public:
    static constexpr int kMaxTextLength = 19;

    struct Item {
        int32_t value = 0;
        QString text;
    };
    enum class Placement { kBelow, kCentred };

    explicit CComboBtn(QWidget* parent = nullptr);

    void AddItem(int list, int32_t value, const QString& text);
    void ClearItems(int list);
    void SetActiveList(int list);
    const std::vector<Item>& Items(int list) const { return lists_[size_t(list)]; }
    // -1 clears the caption and the value.
    void SelectIndex(int index);
    // Selects the first item of the active list with `value`; an unknown value changes nothing.
    bool SelectValue(int32_t value);
    int SelectedIndex() const { return selected_; }
    int32_t SelectedValue() const { return Tag(); }

    void SetListWidth(int width) { listWidth_ = width; }
    void SetPlacement(Placement placement) { placement_ = placement; }
    // While *lock is non-zero the list does not open.
    void SetLock(const int* lock) { lock_ = lock; }
    void SetIgnoreReselection(bool on) { ignoreReselection_ = on; }
    // Must allow a choice (the pages pass the settings-change check).
    void SetAcceptCheck(std::function<bool()> check) { accept_ = std::move(check); }

    // The list as it opens now: top-left corner on the screen and size.
    QRect ListRect() const;
    // The pop-up list picked `value`.
    void Choose(int32_t value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void OpenList();
    const std::vector<Item>& Active() const { return lists_[size_t(active_)]; }

    std::array<std::vector<Item>, 4> lists_;
    int active_ = 0;
    int selected_ = -1;
    int listWidth_ = 0;
    Placement placement_ = Placement::kBelow;
    const int* lock_ = nullptr;
    bool ignoreReselection_ = false;
    std::function<bool()> accept_;
};

}  // namespace zorvan
