#pragma once
// CPngBtn: the owner-drawn image button of every skinned screen. Push buttons with a caption,
// check boxes and radio buttons drawn from two pictures, value labels and the page buttons of
// the main window. Clicks reach the owner as clicked(); a double click, when asked for, as
// doubleClickedTag().
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

    // Toggle mode: drawn from the checked state. Toggle on click: a press flips it.
    void SetToggleMode(bool toggle, bool toggleOnClick = false);
    bool IsToggle() const { return toggle_; }
    void SetChecked(bool checked);
    bool Checked() const { return checked_; }

    // Ignores clicks and double clicks and draws the grey overlay.
    void SetDisabled(bool disabled);
    bool Disabled() const { return disabled_; }

    void SetPressOffset(bool on) { pressOffset_ = on; }
    void SetClipRegion(const QRegion& region) { clip_ = region; }
    void SetDoubleClickNotify(bool on) { doubleClickNotify_ = on; }
    void SetTag(int tag) { tag_ = tag; }
    int Tag() const { return tag_; }
    void SetDebugFrame(bool on) { debugFrame_ = on; }
    // Creates the tooltip on first use; it covers the whole button.
    void SetTip(const QString& tip);
    bool Hover() const { return hover_; }

signals:
    // A double click while double-click notify is on: the owner's tag.
    void doubleClickedTag(int tag);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

    // Drawing of the state picture and caption colour; subclasses reuse the whole paint.
    struct Look {
        const QImage* picture = nullptr;
        int32_t colour = 0;
    };
    Look CurrentLook() const;

private:
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
    bool checked_ = false;
    bool disabled_ = false;
    bool hover_ = false;
    bool pressOffset_ = false;
    bool doubleClickNotify_ = false;
    bool debugFrame_ = false;
    QRegion clip_;
    int tag_ = 0;
};

}  // namespace zorvan
