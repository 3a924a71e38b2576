#include "app/InfoOptions.h"

#include "core/Version.h"

#include <cstring>

namespace orvik {

namespace {

const char* const Usage =
    "Usage: orvik [--help | --version]\n"
    "Opens the Orvik windows: add discs to the current catalogue and find which\n"
    "one holds a file.\n\n"
    "  --help, -h   show this text and exit\n"
    "  --version    show the version and exit\n"
    "Qt's own options (such as -platform or -style) are passed on to Qt.\n\n"
    "Environment:\n"
    "  ORVIK_HOME   the folder of the catalogues (NAME.mdb) and of Orvik.ini; when it\n"
    "               is not set, the catalogues are in ~/.local/share/Orvik and the\n"
    "               settings in ~/.config/Orvik/Orvik.ini\n\n"
    "orvik-cli does the same from a terminal (orvik-cli --help).\n";

} // namespace

std::optional<int> answerInfoOption(int argc, const char* const* argv, std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("orvik " ORVIK_VERSION "\n", out);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, out);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace orvik
