// The files of one directory, sorted without regard to case.
#pragma once

#include <QListWidget>

namespace orvik {

class FileSystem;

class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(const FileSystem& fileSystem, QWidget* parent = nullptr);

    const QString& path() const { return m_path; }
    // Throws orvik::Error when the directory cannot be listed; one the system
    // refuses for permission shows no files.
    void setPath(const QString& directory);
    void refresh() { setPath(m_path); }
    // The highlighted file's name, "" when none.
    QString currentFile() const;

private:
    const FileSystem& m_fileSystem;
    QString m_path = QStringLiteral("/");
};

} // namespace orvik
