#include "catalogue/DirectoryList.h"

#include "core/platform/Drives.h"
#include "core/platform/FileSystem.h"

#include <QCollator>
#include <QStyledItemDelegate>
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

constexpr int PathRole = Qt::UserRole;
constexpr int DepthRole = Qt::UserRole + 1;

// Indents each entry two blanks for every level below the drive's root. The
// entry's text is the bare name, so typing its first letter finds it.
class IndentingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(option, index), 0);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->rect.setLeft(option->rect.left() + indent(*option, index));
    }

private:
    static int indent(const QStyleOptionViewItem& option, const QModelIndex& index) {
        return index.data(DepthRole).toInt() *
               option.fontMetrics.horizontalAdvance(QStringLiteral("  "));
    }
};

} // namespace

DirectoryList::DirectoryList(const FileSystem& fileSystem, const Drives& drives, QWidget* parent)
    : QListWidget(parent), m_fileSystem(fileSystem), m_drives(drives) {
    setItemDelegate(new IndentingDelegate(this));
    // Highlighted by the mouse, the arrow keys or a typed letter alike.
    connect(this, &QListWidget::currentItemChanged, this, [this] { emit clicked(); });
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString target = item->data(PathRole).toString();
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
    return item ? item->data(PathRole).toString() : m_path;
}

void DirectoryList::fill(const QString& path) {
    QStringList subdirectories;
    for (const DirEntry& entry : m_fileSystem.list(path + (path.endsWith('/') ? "" : "/")))
        if (entry.isDirectory) subdirectories << entry.name;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(subdirectories.begin(), subdirectories.end(), collator);

    // Filling highlights nothing the user chose.
    const QSignalBlocker quiet(this);
    clear();
    // The list starts at the root of the drive that holds the directory.
    QString walked = m_drives.driveOf(path);
    const QStringList parts = path.mid(walked.size()).split('/', Qt::SkipEmptyParts);
    auto addEntry = [this](const QString& text, const QString& target, int depth) {
        auto* item = new QListWidgetItem(text, this);
        item->setData(PathRole, target);
        item->setData(DepthRole, depth);
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
