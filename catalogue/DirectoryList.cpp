#include "DirectoryList.h"

#include "platform/Drives.h"
#include "platform/FileSystem.h"

#include <QCollator>
#include <algorithm>

namespace orvik {

namespace {

QString normalised(QString path) {
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path.isEmpty() ? QStringLiteral("/") : path;
}

QString childPath(const QString& parent, const QString& name) {
    return parent.endsWith('/') ? parent + name : parent + '/' + name;
}

} // namespace

DirectoryList::DirectoryList(const FileSystem& fileSystem, const Drives& drives, QWidget* parent)
    : QListWidget(parent), m_fileSystem(fileSystem), m_drives(drives) {
    connect(this, &QListWidget::itemClicked, this, [this] { emit clicked(); });
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString target = item->data(Qt::UserRole).toString();
        if (target != m_path) emit opening(target);
    });
}

void DirectoryList::setPath(const QString& path) {
    const QString target = normalised(path);
    fill(target);
    if (target == m_path) return;
    m_path = target;
    emit changed();
}

void DirectoryList::refresh() {
    fill(m_path.isEmpty() ? QStringLiteral("/") : m_path);
}

QString DirectoryList::highlightedPath() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->data(Qt::UserRole).toString() : m_path;
}

void DirectoryList::fill(const QString& path) {
    QStringList subdirectories;
    for (const DirEntry& entry : m_fileSystem.list(path + (path.endsWith('/') ? "" : "/")))
        if (entry.isDirectory) subdirectories << entry.name;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(subdirectories.begin(), subdirectories.end(), collator);

    clear();
    // The list starts at the root of the drive that holds the directory.
    QString walked = m_drives.driveOf(path);
    const QStringList parts = path.mid(walked.size()).split('/', Qt::SkipEmptyParts);
    auto addEntry = [this](const QString& text, const QString& target, int depth) {
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + text, this);
        item->setData(Qt::UserRole, target);
        return item;
    };
    QListWidgetItem* open = addEntry(walked, walked, 0);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        walked = childPath(walked, parts[i]);
        open = addEntry(parts[i], walked, int(i) + 1);
    }
    for (const QString& name : subdirectories)
        addEntry(name, childPath(path, name), int(parts.size()) + 1);
    // Highlighting starts on the open directory.
    setCurrentItem(open);
}

} // namespace orvik
