// The search window's controls in twips: their design places and the resize
// rule that stretches the result list over a larger window.
#pragma once

namespace orvik {

struct SearchLayout {
    struct Rect {
        double left = 0, top = 0, width = 0, height = 0;
    };
    Rect FrameSrch, Text1, CmdSearchFile, cmdSearchKeywords, cmdSearchDesc, CmdListCD, SearchList,
        Label1, TextMatch, CmdAdd, SearchExit;
};

// The design inner area.
constexpr double SearchDesignWidth = 9135;
constexpr double SearchDesignHeight = 6105;

SearchLayout searchDesignLayout();

// Lays the list and the status row out for an inner area `width` x `height`;
// false (and nothing moved) below 9000 wide or 5000 high. The search frame
// keeps its design place. Controls inside the frame are relative to it.
bool layOutSearch(SearchLayout& layout, double width, double height);

} // namespace orvik
