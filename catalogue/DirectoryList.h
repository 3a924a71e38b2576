// A classic directory list: the open directory with its parents up to the
// drive's root above it and its subdirectories below. A click, the arrow keys
// or a typed first letter highlight an entry; a double click or Enter opens it.
#pragma once

#include <QListWidget>

namespace orvik {

class Drives;
class FileSystem;

class DirectoryList : public QListWidget {
    Q_OBJECT
public:
    DirectoryList(const FileSystem& fileSystem, const Drives& drives, QWidget* parent = nullptr);

    const QString& path() const { return m_path; }
    // Opens `path` (a directory path ends in "/" only when it is "/"); emits
    // changed() when the open directory differs. Throws orvik::Error.
    void setPath(const QString& path);
    // Lists the open directory again. Throws orvik::Error.
    void refresh();
    // The highlighted entry's path; the open directory when none is highlighted.
    QString highlightedPath() const;

signals:
    void changed();
    // Another entry was highlighted.
    void clicked();
    // A double click or Enter on an entry other than the open directory.
    void opening(const QString& path);

private:
    void fill(const QString& path);
    const FileSystem& m_fileSystem;
    const Drives& m_drives;
    QString m_path;
};

} // namespace orvik
