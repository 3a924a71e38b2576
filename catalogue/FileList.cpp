#include "catalogue/FileList.h"

#include "core/platform/FileSystem.h"

#include <QCollator>
#include <algorithm>

namespace orvik {

FileList::FileList(const FileSystem& fileSystem, QWidget* parent)
    : QListWidget(parent), m_fileSystem(fileSystem) {
    setUniformItemSizes(true);
}

void FileList::setPath(const QString& directory) {
    QStringList files;
    try {
        for (const DirEntry& entry :
             m_fileSystem.list(directory.endsWith('/') ? directory : directory + '/'))
            if (!entry.isDirectory) files << entry.name;
    } catch (const AccessDenied&) {
        // Nothing of it can be shown, and asking again would not change that.
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(files.begin(), files.end(), collator);
    m_path = directory;
    clear();
    addItems(files);
}

QString FileList::currentFile() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

} // namespace orvik
