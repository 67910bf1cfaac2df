#include "ui/controls/png_slider_bar.h"

#include "skin/display_scale.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "skin/skin_loader.h"

#include <QMouseEvent>
#include <QPainter>

namespace zorvan {
namespace {

// The thumb width a scale is spread for when the thumb has no picture.
constexpr int kDefaultThumbWidth = 10;

QImage SkinPictureOrNone(const QString& name)
{
    if (name.isEmpty())
        return {};
    return LoadPicture(SkinFile(name), SkinScale());
}

}  // namespace

SliderBarBase::SliderBarBase(QWidget* parent, int id) : QWidget(parent), id_(id) {}

void SliderBarBase::SetPictures(const QImage& bar, const QImage& fill)
{
    bar_ = bar;
    fill_ = fill;
    update();
}

void SliderBarBase::SetBarOffset(int y)
{
    barOffset_ = y;
    update();
}

void SliderBarBase::SetDisabled(bool disabled)
{
    disabled_ = disabled;
    update();
}

CPngSlider* SliderBarBase::Thumb(int number) const
{
    return number >= 1 && number <= int(thumbs_.size()) ? thumbs_[size_t(number - 1)] : nullptr;
}

void SliderBarBase::SetRange(int minimum, int maximum)
{
    for (CPngSlider* thumb : thumbs_) {
        thumb->Model().SetRange(minimum, maximum);
        thumb->Place();
    }
    FillTo(*thumbs_.front());
}

void SliderBarBase::SetValues(const std::vector<int>& values)
{
    for (CPngSlider* thumb : thumbs_)
        thumb->Model().SetValues(values);
}

void SliderBarBase::SetScale(const std::vector<int>& scale)
{
    // Checked once, by the first thumb; the others take its tables and keep their positions.
    SliderModel& first = thumbs_.front()->Model();
    first.SetScale(scale);
    for (CPngSlider* thumb : thumbs_) {
        if (thumb != thumbs_.front()) {
            const int position = thumb->Model().Position();
            thumb->Model() = first;
            thumb->Model().SetPosition(position);
        }
        thumb->Place();
    }
    FillTo(*thumbs_.front());
}

void SliderBarBase::SpreadScaleEvenly(int count)
{
    const int thumbWidth = thumbs_.front()->width() > 0 ? thumbs_.front()->width() : Scaled(kDefaultThumbWidth);
    SetScale(SpreadScale(Length(), thumbWidth, count));
}

void SliderBarBase::SetValue(int value, int number)
{
    CPngSlider* thumb = Thumb(number);
    if (!thumb)
        return;
    const std::optional<int> position = thumb->Model().PositionOf(value);
    if (!position)
        return;
    thumb->Model().SetPosition(*position);
    thumb->Place();
    if (thumb == thumbs_.front())
        FillTo(*thumb);
    if (notifyOnSet_)
        emit valueSet(thumb->Value(), id_, number);
}

int SliderBarBase::Value(int number) const
{
    const CPngSlider* thumb = Thumb(number);
    return thumb ? thumb->Value() : 0;
}

void SliderBarBase::FillTo(const CPngSlider& thumb)
{
    const SliderModel& model = thumb.Model();
    // The last position fills the whole bar.
    fillLength_ = model.Position() == model.Maximum() ? Length() : model.CentreOf(model.Position(), Length()) + 1;
    update();
}

bool SliderBarBase::AskChange(const CPngSlider& thumb, int value)
{
    bool allowed = true;
    if (queryOwner_)
        emit queryChange(value, id_, thumb.Number(), &allowed);
    return allowed;
}

void SliderBarBase::FollowThumb(const CPngSlider& thumb)
{
    if (&thumb != thumbs_.front())
        return;
    fillLength_ = thumb.Centre();
    update();
}

void SliderBarBase::ReportLive(const CPngSlider& thumb, int value)
{
    emit valueChanging(value, id_, thumb.Number());
}

void SliderBarBase::FinishUserMove(CPngSlider& thumb, int position, int valueBefore)
{
    thumb.Model().SetPosition(position);
    thumb.Place();
    if (&thumb == thumbs_.front())
        FillTo(thumb);
    AfterUserMove(thumb);
    if (thumb.Value() != valueBefore)
        emit valueSet(thumb.Value(), id_, thumb.Number());
}

void SliderBarBase::UserMove(CPngSlider& thumb, int position)
{
    if (!AskChange(thumb, thumb.Model().ValueAt(position)))
        return;
    FinishUserMove(thumb, position, thumb.Value());
}

CPngSlider* SliderBarBase::ThumbForClick(const QPoint&) const
{
    return thumbs_.front();
}

void SliderBarBase::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!bar_.isNull())
        painter.drawImage(QPoint(0, barOffset_), bar_);
    if (!fill_.isNull() && !disabled_ && fillLength_ > 0)
        painter.drawImage(QPoint(0, barOffset_), fill_,
                          PixelsOf(fill_, QRect(0, 0, std::min(fillLength_, SkinSize(fill_).width()), SkinSize(fill_).height())));
}

void SliderBarBase::mousePressEvent(QMouseEvent* event)
{
    // Taken here: a press on the bar does not move the window.
    event->accept();
}

void SliderBarBase::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || disabled_ || !rect().contains(event->position().toPoint()))
        return;
    CPngSlider* thumb = ThumbForClick(event->position().toPoint());
    if (!thumb || thumb->isHidden())
        return;
    UserMove(*thumb, thumb->Model().PositionAt(event->position().toPoint().x(), Length()));
}

CPngSliderBar::CPngSliderBar(QWidget* parent, int id) : SliderBarBase(parent, id)
{
    AddThumb(new CPngSlider(this, 1));
}

CPngHSliderBarEx::CPngHSliderBarEx(QWidget* parent, int id) : SliderBarBase(parent, id)
{
    AddThumb(new CPngHSliderEx(this, 1));
    AddThumb(new CPngHSliderEx(this, 2));
}

void CPngHSliderBarEx::SetThumbPictures(const QImage& single, const QImage& first, const QImage& second)
{
    single_ = single;
    first_ = first;
    second_ = second;
    SetTwoThumbs(two_);
}

void CPngHSliderBarEx::SetTwoThumbs(bool two)
{
    two_ = two;
    const QImage& firstPicture = two ? first_ : single_;
    Thumb(1)->SetPicture(firstPicture);
    Thumb(2)->SetPicture(second_);
    Thumb(1)->setVisible(!firstPicture.isNull());
    Thumb(2)->setVisible(two && !second_.isNull());
}

CPngSlider* CPngHSliderBarEx::ThumbForClick(const QPoint& point) const
{
    return two_ && point.y() >= height() / 2 ? Thumb(2) : Thumb(1);
}

void CPngHSliderBarEx::AfterUserMove(CPngSlider& thumb)
{
    // With one thumb the second one stays on the same value, unannounced.
    if (!two_ && thumb.Number() == 1) {
        Thumb(2)->Model().SetPosition(thumb.Model().Position());
        Thumb(2)->Place();
    }
}

namespace {

template <typename Bar>
Bar* MakeBar(QWidget* parent, const SliderLook& look, SkinLoader loader)
{
    const auto pictures = LoadSkinPictures(loader, {look.bar});
    if (!pictures)
        return nullptr;
    auto* bar = new Bar(parent, look.id);
    bar->setGeometry(Scaled(look.rect));
    bar->SetPictures(pictures->front(), SkinPictureOrNone(look.fill));
    bar->SetBarOffset(Scaled(look.barOffset));
    for (int n = 1; bar->Thumb(n); ++n)
        bar->Thumb(n)->SetThumbOffset(Scaled(look.thumbOffset));
    return bar;
}

}  // namespace

CPngSliderBar* NewSmallPngSliderBar(QWidget* parent, const SliderLook& look)
{
    auto* bar = MakeBar<CPngSliderBar>(parent, look, SkinLoader::kSliderBar);
    if (!bar)
        return nullptr;
    bar->Thumb(1)->SetPicture(SkinPictureOrNone(look.thumb));
    bar->SetRange(1, look.steps);
    bar->SetValue(1);
    return bar;
}

CPngHSliderBarEx* NewSmallPngHSliderBarEx(QWidget* parent, const SliderLook& look, const QString& first,
                                          const QString& second)
{
    auto* bar = MakeBar<CPngHSliderBarEx>(parent, look, SkinLoader::kHSliderBarEx);
    if (!bar)
        return nullptr;
    bar->SetThumbPictures(SkinPictureOrNone(look.thumb), SkinPictureOrNone(first), SkinPictureOrNone(second));
    bar->SetRange(1, look.steps);
    bar->SetValue(1, 1);
    bar->SetValue(1, 2);
    return bar;
}

}  // namespace zorvan
