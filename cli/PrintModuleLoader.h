// orvik-cli's print module, found and loaded for --print only.
#pragma once

#include "cli/PrintModule.h"

namespace orvik::cli {

class PrintModuleLoader {
public:
    // Loads the module beside orvik-cli (in the build) or where the package
    // installs it. Throws Error when it cannot be loaded.
    PrintModuleLoader();

    QCoreApplication* makeApplication(int& argc, char** argv) const;
    PdfResult print(const PdfPrintout& printout) const;

private:
    decltype(&orvik_print_application) m_application = nullptr;
    decltype(&orvik_print_pdf) m_print = nullptr;
};

} // namespace orvik::cli
