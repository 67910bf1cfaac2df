#pragma once
// The arithmetic of the skinned sliders: the range of positions, the optional tables of values
// and of thumb-centre pixels, and the conversions between values, positions and pixels.
#include <optional>
#include <vector>

namespace zorvan {

// At most this many entries of a value or scale table are kept.
constexpr int kSliderTableMax = 650;

// Thumb-centre pixels for `count` positions spread evenly over a bar `barLength` long with a
// thumb `thumbLength` long: the first at thumbLength / 2, each next one a step of
// (barLength - thumbLength) / (count - 1) further, accumulated in single precision and cut to
// whole pixels. A step of 0 or less shows "Scale num too much" and gives nothing.
std::vector<int> SpreadScale(int barLength, int thumbLength, int count);

class SliderModel {
public:
    void SetRange(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    int Position() const { return position_; }
    // Kept within the range.
    void SetPosition(int position);

    // One value per position (at most kSliderTableMax); empty: the value is the position.
    void SetValues(std::vector<int> values);
    const std::vector<int>& Values() const { return values_; }
    // One thumb-centre pixel per position (at most kSliderTableMax). A table whose length is
    // not the range's shows "CPngSlider::SetScalePos  dwScale and Range unmatch!" and is
    // still used. An empty table removes the scale.
    void SetScale(std::vector<int> scale);
    const std::vector<int>& Scale() const { return scale_; }

    // The value of `position`: the table's entry, 0 outside the table; without a table the
    // position itself.
    int ValueAt(int position) const;
    int Value() const { return ValueAt(position_); }
    // The position of `value`: the first table entry equal to it (nothing when none);
    // without a table the value itself, or the minimum when it is outside the range.
    std::optional<int> PositionOf(int value) const;

    // The thumb-centre pixel of `position` on a bar `length` long.
    int CentreOf(int position, int length) const;
    // The position nearest to pixel `x` of a bar `length` long. With a scale table the nearest
    // entry, the later one on equal distance; without, the lower one on equal distance.
    int PositionAt(int x, int length) const;

private:
    int minimum_ = 1;
    int maximum_ = 1;
    int position_ = 1;
    std::vector<int> values_;
    std::vector<int> scale_;
};

}  // namespace zorvan
