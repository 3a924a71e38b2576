#include "cli/PrintModuleLoader.h"

#include "core/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <cerrno>

namespace orvik::cli {

namespace {
QString moduleFile() {
    const QString programFolder = QFileInfo(QFile::symLinkTarget("/proc/self/exe")).path();
    const QString beside = programFolder + '/' + PrintModuleFile;
    if (QFileInfo::exists(beside)) return beside;
    return programFolder + QStringLiteral("/" ORVIK_PRINT_MODULE_DIR "/") + PrintModuleFile;
}
} // namespace

PrintModuleLoader::PrintModuleLoader() {
    // The module stays loaded to the end of the process.
    QLibrary module(moduleFile());
    m_application =
        reinterpret_cast<decltype(m_application)>(module.resolve("orvik_print_application"));
    m_print = reinterpret_cast<decltype(m_print)>(module.resolve("orvik_print_pdf"));
    if (!m_application || !m_print)
        throw Error(ENOENT,
                    QStringLiteral("Cannot load the print module: ") + module.errorString());
}

QCoreApplication* PrintModuleLoader::makeApplication(int& argc, char** argv) const {
    return m_application(argc, argv);
}

PdfResult PrintModuleLoader::print(const PdfPrintout& printout) const {
    PdfResult result;
    m_print(printout, result);
    return result;
}

} // namespace orvik::cli
