// The main window's controls in twips: their design positions and the rule
// that stretches them over a larger window.
#pragma once

namespace orvik {

struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
};

struct MainLayout {
    TwipsRect Drive1, MyRefresh, Labelvol, TxtVol, Filter, Extension_TxtBox, Dir1, File1, Label2,
        TextDesc, Labelkeyw, TextKeyword, Label3, Label1, Add1, CmdFind, CmdExec, CmdExit,
        // Beside the status caption: which catalogued volume the directory is.
        LblCatalogued;
};

constexpr double DesignWidth = 8190;
constexpr double DesignHeight = 5925;

MainLayout designLayout();

// Lays the controls out for an inner area `width` x `height`; false (and
// nothing moved) when the area is not above 4000 high and at least 8190 wide.
bool layOut(MainLayout& layout, double width, double height);

} // namespace orvik
