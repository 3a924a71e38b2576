// The files of the shown directory for the three parallel lists: column 0
// the name, 1 the date, 2 the length; each list shows one column, so a
// directory of 50,000 files is one model, not 150,000 widget items.
#pragma once

#include "details/DirectoryFiles.h"

#include <QAbstractTableModel>

namespace orvik {

class DirectoryFilesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Date, Length };
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void setFiles(std::vector<DirectoryFile> files);
    void clear() { setFiles({}); }

private:
    std::vector<DirectoryFile> m_files;
};

} // namespace orvik
