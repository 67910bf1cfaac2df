#include "ui/controls/png_slider_math.h"

#include "app/message_box.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zorvan {

std::vector<int> SpreadScale(int barLength, int thumbLength, int count)
{
    if (count <= 0)
        return {};
    const float step = count > 1 ? float(barLength - thumbLength) / float(count - 1) : 1.0f;
    if (!(step > 0.0f)) {
        ShowMessage(QStringLiteral("Warning"), QStringLiteral("Scale num too much"));
        return {};
    }
    std::vector<int> scale;
    scale.reserve(size_t(std::min(count, kSliderTableMax)));
    float at = float(thumbLength / 2);
    for (int i = 0; i < count && i < kSliderTableMax; ++i) {
        scale.push_back(int(std::floor(at)));
        at += step;
    }
    return scale;
}

void SliderModel::SetRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
}

void SliderModel::SetPosition(int position)
{
    position_ = std::clamp(position, minimum_, maximum_);
}

void SliderModel::SetValues(std::vector<int> values)
{
    if (values.size() > size_t(kSliderTableMax))
        values.resize(size_t(kSliderTableMax));
    values_ = std::move(values);
}

void SliderModel::SetScale(std::vector<int> scale)
{
    if (!scale.empty() && scale.size() != size_t(maximum_ - minimum_ + 1))
        ShowMessage(QStringLiteral("Warning"), QStringLiteral("CPngSlider::SetScalePos  dwScale and Range unmatch!"));
    if (scale.size() > size_t(kSliderTableMax))
        scale.resize(size_t(kSliderTableMax));
    scale_ = std::move(scale);
}

int SliderModel::ValueAt(int position) const
{
    if (values_.empty())
        return position;
    const int index = position - minimum_;
    return index >= 0 && index < int(values_.size()) ? values_[size_t(index)] : 0;
}

std::optional<int> SliderModel::PositionOf(int value) const
{
    if (values_.empty())
        return value < minimum_ || value > maximum_ ? minimum_ : value;
    const auto found = std::find(values_.begin(), values_.end(), value);
    if (found == values_.end())
        return std::nullopt;
    return minimum_ + int(found - values_.begin());
}

int SliderModel::CentreOf(int position, int length) const
{
    const int index = position - minimum_;
    if (!scale_.empty())
        return scale_[size_t(std::clamp(index, 0, int(scale_.size()) - 1))];
    const int span = maximum_ - minimum_;
    return span > 0 ? (length / span) * index : 0;
}

int SliderModel::PositionAt(int x, int length) const
{
    if (!scale_.empty()) {
        size_t best = 0;
        for (size_t i = 1; i < scale_.size(); ++i) {
            // Equal distance: the later entry wins.
            if (std::abs(scale_[i] - x) <= std::abs(scale_[best] - x))
                best = i;
        }
        return std::clamp(minimum_ + int(best), minimum_, maximum_);
    }
    const int span = maximum_ - minimum_;
    if (span <= 0 || length <= 0)
        return minimum_;
    const int f = span * x / length;
    const int step = length / span;
    int position = minimum_ + f;
    if (std::abs(x - step * (f + 1)) < std::abs(x - step * f))
        ++position;
    return std::clamp(position, minimum_, maximum_);
}

}  // namespace zorvan
