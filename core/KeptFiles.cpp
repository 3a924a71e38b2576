#include "core/KeptFiles.h"

#include "core/Error.h"
#include "core/platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace orvik {

namespace {

// What a name in the application folder is, whether the file is there or not.
QString keptName(const QString& name) {
    if (name.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive))
        return QStringLiteral("a catalogue");
    if (name.endsWith(QStringLiteral(".mdb-journal"), Qt::CaseInsensitive))
        return QStringLiteral("a catalogue's journal");
    return {};
}

bool sameFile(const QString& one, const QString& other) {
    struct stat a, b;
    return ::stat(QFile::encodeName(one).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(other).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

[[noreturn]] void refuse(const QString& what, const QString& file) {
    throw Error(errors::KeptFile,
                QStringLiteral("Not replacing ") + what + QStringLiteral(": ") + file);
}

} // namespace

void refuseKeptFile(const QString& appFolder, const QString& settingsFile, const QString& file) {
    const QString target = resolvedFile(file);
    const QFileInfo info(target);
    if (sameFile(info.path(), appFolder) && !keptName(info.fileName()).isEmpty())
        refuse(keptName(info.fileName()), file);
    // The same file under another name: a hard link, another mount of the folder.
    const QDir folder(appFolder);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (!keptName(name).isEmpty() && sameFile(target, folder.filePath(name)))
            refuse(keptName(name), file);
    QString settings;
    try {
        settings = resolvedFile(settingsFile);
    } catch (const Error&) {
        // No folder for the settings yet, so no file there to replace.
    }
    if (target == settings || sameFile(target, settingsFile))
        refuse(QStringLiteral("the settings file"), file);
}

} // namespace orvik
