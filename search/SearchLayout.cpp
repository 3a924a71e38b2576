#include "search/SearchLayout.h"

namespace orvik {

SearchLayout searchDesignLayout() {
    SearchLayout d;
    d.FrameSrch = {105, 60, 8925, 1080};
    d.Text1 = {150, 270, 8625, 315};
    d.CmdSearchFile = {150, 660, 2050, 330};
    d.cmdSearchKeywords = {2300, 660, 2050, 330};
    d.cmdSearchDesc = {4450, 660, 2200, 330};
    d.CmdListCD = {6750, 660, 2025, 330};
    d.SearchList = {105, 1230, 8925, 4375};
    d.Label1 = {105, 5590, 1500, 200};
    d.TextMatch = {105, 5790, 5400, 315};
    d.CmdAdd = {5605, 5790, 2100, 315};
    d.SearchExit = {7830, 5790, 1200, 315};
    return d;
}

bool layOutSearch(SearchLayout& l, double width, double height) {
    if (height < 5000 || width < 9000) return false;
    l.SearchList.width = width - 210;
    l.SearchList.height = height - 1700 - 30;
    l.TextMatch.left = 105;
    l.TextMatch.top = l.SearchList.top + l.SearchList.height + 185;
    l.Label1.left = l.SearchList.left;
    l.Label1.top = l.TextMatch.top - 200;
    l.CmdAdd.left = l.TextMatch.left + l.TextMatch.width + 100;
    l.CmdAdd.top = l.TextMatch.top;
    l.SearchExit.left = l.SearchList.left + l.SearchList.width - l.SearchExit.width;
    l.SearchExit.top = l.TextMatch.top;
    return true;
}

} // namespace orvik
