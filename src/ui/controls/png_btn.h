#pragma once
// CPngBtn: the owner-drawn image button of every skinned screen. Push buttons with a caption,
// check boxes and radio buttons drawn from two pictures, value labels and the page buttons of
// the main window. It is a checkable QAbstractButton: clicks reach the owner as clicked(), a
// QButtonGroup can keep one button of a group checked, keyboard focus (Tab, Space) and the
// accessible name and state come from Qt, and the arrow keys move along a group. A double click, when asked for, arrives as doubleClickedTag().
#include <QAbstractButton>
#include <QFont>
#include <QImage>
#include <QRegion>

#include <optional>

namespace zorvan {

class CPngBtn : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr QRgb kDisabledOverlay = 0xDC505050;

    explicit CPngBtn(QWidget* parent = nullptr);

    // The state pictures: normal, hover, down (pressed, or checked for a toggle).
    void SetPictures(const QImage& normal, const QImage& hover, const QImage& down);
    void SetDisabledPicture(const QImage& picture) { disabledImage_ = picture; }
    // Optional picture while pressed (push buttons without the toggle flag).
    void SetPressedPicture(const QImage& picture) { pressedImage_ = picture; }
    // The piece of the owner's background behind the button, drawn first.
    void SetBackground(const QImage& piece);
    void SetIcon(const QImage& icon, int x = 5);

    // Caption: `leftPadding` below 1 centres it; `flags` 0 means one line, vertically centred,
    // ellipsis at the end.
    void SetText(const QString& text, int leftPadding = 0, int flags = 0);
    QString Text() const { return text(); }
    void SetTextRect(const QRect& rect) { textRect_ = rect; }
    // Colours with red in the low byte.
    void SetTextColours(int32_t hover, int32_t normal, int32_t down);
    void SetTextFont(const QFont& font);

    // Toggle mode: drawn from the checked state (check boxes, radio buttons). Toggle on click:
    // a click flips the checked state. In a QButtonGroup a click checks a toggle button and the
    // group decides the rest. Other buttons change their checked state only by setChecked().
    void SetToggleMode(bool toggle, bool toggleOnClick = false);
    bool IsToggle() const { return toggle_; }

    // Ignores clicks, double clicks and keys, leaves the focus chain and draws the grey overlay.
    void SetDisabled(bool disabled);
    bool Disabled() const { return disabled_; }

    void SetPressOffset(bool on) { pressOffset_ = on; }
    void SetClipRegion(const QRegion& region) { clip_ = region; }
    void SetDoubleClickNotify(bool on) { doubleClickNotify_ = on; }
    void SetTag(int tag) { tag_ = tag; }
    int Tag() const { return tag_; }
    void SetDebugFrame(bool on) { debugFrame_ = on; }
    // The tooltip; it covers the whole button.
    void SetTip(const QString& tip) { setToolTip(tip); }
    bool Hover() const { return hover_; }

signals:
    // A double click while double-click notify is on: the owner's tag.
    void doubleClickedTag(int tag);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void nextCheckState() override;

    // The state picture and caption colour of the current state.
    struct Look {
        const QImage* picture = nullptr;
        int32_t colour = 0;
    };
    Look CurrentLook() const;

private:
    // The arrow keys inside a QButtonGroup: the next usable button takes the focus, and the
    // check when this one is checked in an exclusive group.
    void MoveInGroup(int step);

    QImage normalImage_, hoverImage_, downImage_, disabledImage_, pressedImage_, background_, icon_;
    int iconX_ = 5;
    std::optional<QRect> textRect_;
    int textPadding_ = 0;
    int textFlags_ = 0;
    int32_t colourHover_ = 0x646464;
    int32_t colourNormal_ = 0xC8C8C8;
    int32_t colourDown_ = 0;
    bool toggle_ = false;
    bool toggleOnClick_ = false;
    bool disabled_ = false;
    bool hover_ = false;
    bool pressOffset_ = false;
    bool doubleClickNotify_ = false;
    bool debugFrame_ = false;
    bool keyboardFocus_ = false;  // focus came by the keyboard: a focus frame is drawn
    QRegion clip_;
    int tag_ = 0;
};

}  // namespace zorvan
