#include "catalogue/MainLayout.h"

namespace orvik {

MainLayout designLayout() {
    MainLayout d;
    d.Drive1 = {120, 120, 3300, 315};
    d.MyRefresh = {3540, 105, 1300, 345};
    d.Labelvol = {4960, 160, 450, 255};
    d.TxtVol = {5460, 120, 2610, 315};
    d.Filter = {120, 580, 950, 255};
    d.Extension_TxtBox = {1100, 540, 4200, 315};
    d.File1 = {5460, 540, 2610, 4830};
    d.Dir1 = {120, 960, 5220, 2215};
    d.Label2 = {120, 3185, 1500, 220};
    d.TextDesc = {120, 3405, 5220, 315};
    d.Labelkeyw = {120, 3700, 1500, 220};
    d.TextKeyword = {120, 3920, 5220, 315};
    d.Label3 = {120, 4215, 1500, 220};
    d.Label1 = {120, 4435, 5220, 855};
    d.LblCatalogued = {1620, 4215, 3720, 220};
    d.Add1 = {120, 5490, 2300, 330};
    d.CmdFind = {3640, 5490, 1700, 330};
    d.CmdExec = {5460, 5490, 1200, 330};
    d.CmdExit = {6870, 5490, 1200, 330};
    return d;
}

bool layOut(MainLayout& l, double width, double height) {
    if (!(height > 4000 && width >= DesignWidth)) return false;
    // A 330 high button row with a margin of 105 below it.
    l.Add1.top = height - 330 - 105;
    l.CmdFind.top = l.CmdExec.top = l.CmdExit.top = l.Add1.top;

    l.Label1.top = l.Add1.top - 200 - l.Label1.height;
    l.Label3.top = l.Label1.top - 220;
    l.LblCatalogued.top = l.Label3.top;
    l.TextKeyword.top = l.Label1.top - l.TextKeyword.height - 200;
    l.Labelkeyw.top = l.TextKeyword.top - 220;
    l.TextDesc.top = l.TextKeyword.top - l.TextDesc.height - 200;
    l.Label2.top = l.TextDesc.top - 220;
    l.Dir1.height = l.Label2.top - l.Dir1.top - 10;

    l.Extension_TxtBox.top = l.File1.top;
    l.File1.height = l.Label1.top + l.Label1.height + 80 - l.Extension_TxtBox.top;

    l.File1.left = 2 * width / 3;
    l.File1.width = width - l.File1.left - l.Dir1.left;
    l.Dir1.width = l.File1.left - 2 * l.Dir1.left;
    l.TextDesc.width = l.TextKeyword.width = l.Label1.width = l.Dir1.width;
    l.LblCatalogued.width = l.Label1.left + l.Label1.width - l.LblCatalogued.left;

    l.CmdExec.left = l.File1.left;
    l.CmdExit.left = l.CmdExec.left + l.File1.width - l.CmdExit.width;
    l.CmdFind.left = l.Add1.left + l.Label1.width - l.CmdFind.width;

    l.TxtVol.left = l.File1.left;
    l.TxtVol.width = l.File1.width;
    l.Labelvol.left = l.File1.left - 500;
    l.Extension_TxtBox.width = l.Dir1.width - l.Extension_TxtBox.left + 80;
    return true;
}

} // namespace orvik
