#pragma once
// The skinned slider bars: CPngSliderBar with one thumb (lighting brightness and speed, the DPI
// light sliders, the pointer settings) and CPngHSliderBarEx with two (the X and Y value of one
// DPI level), which can also run with one. The bar draws its picture and, up to the thumb, its
// fill picture; the page behind shows through.
//
// Before a change the bar asks its owner (queryChange; the change goes on only when the owner
// leaves `allowed` true); while a thumb is dragged it reports the value under the thumb when it
// changes (valueChanging); after the user set a new value (a click on the bar, a thumb
// released, a key) it reports it (valueSet). A drag therefore gives one valueSet, at its end.
#include "ui/controls/png_slider.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

namespace zorvan {

class SliderBarBase : public QWidget {
    Q_OBJECT
public:
    SliderBarBase(QWidget* parent, int id);

    int Id() const { return id_; }
    // The bar's length in pixels (its width).
    int Length() const { return width(); }

    void SetPictures(const QImage& bar, const QImage& fill);
    void SetBarOffset(int y);
    // Clicks and keys do nothing; the fill is not drawn.
    void SetDisabled(bool disabled);
    bool Disabled() const { return disabled_; }
    void SetQueryOwner(bool on) { queryOwner_ = on; }
    // Programmatic values are also reported (valueSet).
    void SetNotifyOnSet(bool on) { notifyOnSet_ = on; }

    // Thumb 1 or 2 (null for a thumb the bar does not have).
    CPngSlider* Thumb(int number) const;
    // The range, value table and scale table of every thumb.
    void SetRange(int minimum, int maximum);
    void SetValues(const std::vector<int>& values);
    void SetScale(const std::vector<int>& scale);
    // A scale of `count` positions spread over the bar for the current thumb width.
    void SpreadScaleEvenly(int count);

    // Puts a thumb on `value` without asking; a value the table does not hold leaves it where
    // it was.
    void SetValue(int value, int thumb = 1);
    int Value(int thumb = 1) const;
    int FillLength() const { return fillLength_; }

    // ---- Used by the thumbs ----
    // The owner's answer before a change.
    bool AskChange(const CPngSlider& thumb, int value);
    // The fill follows a dragged thumb.
    void FollowThumb(const CPngSlider& thumb);
    void ReportLive(const CPngSlider& thumb, int value);
    // A drag ended on `position`: the thumb snaps to it; valueSet when the value is not
    // `valueBefore`.
    void FinishUserMove(CPngSlider& thumb, int position, int valueBefore);
    // A click or a key: the owner asked, the thumb moved, valueSet when the value changed.
    void UserMove(CPngSlider& thumb, int position);

signals:
    void queryChange(int value, int id, int thumb, bool* allowed);
    void valueChanging(int value, int id, int thumb);
    void valueSet(int value, int id, int thumb);

protected:
    // The thumb a click at `point` moves.
    virtual CPngSlider* ThumbForClick(const QPoint& point) const;
    // After the user moved `thumb` (the pair keeps its hidden second thumb on the same value).
    virtual void AfterUserMove(CPngSlider&) {}
    void AddThumb(CPngSlider* thumb) { thumbs_.push_back(thumb); }
    // The fill from a thumb that now sits on its position.
    void FillTo(const CPngSlider& thumb);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int id_;
    QImage bar_, fill_;
    int barOffset_ = 0;
    int fillLength_ = 0;
    bool disabled_ = false;
    bool queryOwner_ = true;
    bool notifyOnSet_ = false;
    std::vector<CPngSlider*> thumbs_;
};

class CPngSliderBar : public SliderBarBase {
    Q_OBJECT
public:
    CPngSliderBar(QWidget* parent, int id);
};

class CPngHSliderBarEx : public SliderBarBase {
    Q_OBJECT
public:
    CPngHSliderBarEx(QWidget* parent, int id);

    // The thumb pictures: one thumb ("slider.png"), the first and second of two.
    void SetThumbPictures(const QImage& single, const QImage& first, const QImage& second);
    // Two thumbs (X and Y) or one.
    void SetTwoThumbs(bool two);
    bool TwoThumbs() const { return two_; }

protected:
    CPngSlider* ThumbForClick(const QPoint& point) const override;
    void AfterUserMove(CPngSlider& thumb) override;

private:
    QImage single_, first_, second_;
    bool two_ = false;
};

// What a page asks of a slider: its place (page pixels of the normal-size skin), pictures
// (file names in the skins folder; the fill and the thumb may be missing), offsets of the bar
// and thumb pictures inside it, the number of positions and the control id.
struct SliderLook {
    QRect rect;
    QString bar;
    QString fill;
    QString thumb;
    int barOffset = 0;
    int thumbOffset = 0;
    int steps = 10;
    int id = 0;
};

// "NewSmallPngSliderBar Error. file %s not exist" when the bar picture is missing (no bar).
// Range 1..steps, thumb on position 1. In 4K mode the place, the pictures and the offsets are
// doubled, so a scale spread over the bar takes the doubled thumb.
CPngSliderBar* NewSmallPngSliderBar(QWidget* parent, const SliderLook& look);
// "NewSmallPngHSliderBarEx Error. file %s not exist"; `first` and `second` are the two-thumb
// pictures (look.thumb the one-thumb picture). Starts with one thumb.
CPngHSliderBarEx* NewSmallPngHSliderBarEx(QWidget* parent, const SliderLook& look, const QString& first,
                                          const QString& second);

}  // namespace zorvan
