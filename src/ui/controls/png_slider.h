#pragma once
// The thumbs of the skinned sliders: CPngSlider inside a CPngSliderBar and CPngHSliderEx inside
// a CPngHSliderBarEx (png_slider_bar.h). A thumb holds the slider's arithmetic (positions,
// value and scale tables), draws its picture and follows the mouse while it is dragged; its
// bar asks the owner before a change and reports the values. The focused thumb also answers
// the arrow keys, Page Up/Down, Home and End, through the same question and notice.
#include "ui/controls/png_slider_math.h"

#include <QImage>
#include <QWidget>

namespace zorvan {

class SliderBarBase;

class CPngSlider : public QWidget {
    Q_OBJECT
public:
    // `number`: the thumb's number in its bar's notices (1, or 2 for a second thumb).
    CPngSlider(SliderBarBase* bar, int number);

    SliderModel& Model() { return model_; }
    const SliderModel& Model() const { return model_; }
    int Number() const { return number_; }
    int Value() const { return model_.Value(); }

    // The picture; the thumb takes its size. A null picture hides the thumb.
    void SetPicture(const QImage& picture);
    void SetThumbOffset(int y);
    void SetDraggable(bool on) { draggable_ = on; }
    void SetLiveNotify(bool on) { liveNotify_ = on; }
    bool Dragging() const { return dragging_; }

    // Puts the thumb's centre on its position's pixel.
    void Place();
    // The thumb's centre on the bar.
    int Centre() const { return x() + width() / 2; }

protected:
    // Where a drag ends: the position under the thumb's centre (the pair's thumbs take the
    // pointer's own position, and ignore a release on the position they started from).
    virtual int ReleasePosition(int pointerX) const;
    virtual bool ReleaseOnSamePositionIgnored() const { return false; }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    SliderBarBase* bar_;
    int number_;
    SliderModel model_;
    QImage picture_;
    int thumbOffset_ = 0;
    bool draggable_ = true;
    bool liveNotify_ = true;
    bool dragging_ = false;
    bool keyboardFocus_ = false;
    int grabOffset_ = 0;    // pointer minus centre at the press
    int valueAtPress_ = 0;
    int positionAtPress_ = 0;
    int lastLive_ = 0;
};

// A thumb of the two-thumb bar: a drag ends on the position under the pointer.
class CPngHSliderEx : public CPngSlider {
    Q_OBJECT
public:
    using CPngSlider::CPngSlider;

protected:
    int ReleasePosition(int pointerX) const override;
    bool ReleaseOnSamePositionIgnored() const override { return true; }
};

}  // namespace zorvan
