#pragma once
// The buttons' hover effect: a button's caption turns bold when the pointer
// moves over it and stays bold, even while the pointer rests on a label or a
// pane, until the pointer crosses the bare window background, which turns
// all of them back.

#include <array>

class HoverState
{
public:
    static constexpr int ButtonCount = 6;

    // Each returns true when a caption changed.
    bool pointerOverButton(int index);
    bool pointerOverBackground();

    bool isBold(int index) const;

private:
    std::array<bool, ButtonCount> m_bold{};
};
