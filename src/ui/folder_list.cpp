// SPDX-License-Identifier: MIT
#include "ui/folder_list.hpp"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace trakora::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

QString absolute_clean(const QString& folder) {
    return QDir::cleanPath(QDir(folder).absolutePath());
}

// "/a/b" gives "/", "/a", "/a/b".
QStringList chain_of(const QString& folder) {
    QStringList chain;
    QDir dir(folder);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp()) chain.prepend(dir.absolutePath());
    return chain;
}

}  // namespace

FolderList::FolderList(const QString& folder, QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, &FolderList::open_entry);
    set_path(folder);
}

void FolderList::set_path(const QString& folder) {
    path_ = absolute_clean(folder);
    clear();
    const QStringList chain = chain_of(path_);
    int depth = 0;
    for (const QString& step : chain) {
        const QString name = QFileInfo(step).fileName();
        add_entry(step, name.isEmpty() ? step : name, depth++, true);
    }
    QListWidgetItem* current = item(count() - 1);
    const QDir here(path_);
    const QStringList subfolders = here.entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& name : subfolders) add_entry(here.filePath(name), name, depth, false);
    if (current != nullptr) {
        setCurrentItem(current);
        scrollToItem(current);
    }
}

QStringList FolderList::entry_paths() const {
    QStringList paths;
    for (int i = 0; i < count(); ++i) paths.append(item(i)->data(kPathRole).toString());
    return paths;
}

void FolderList::open_entry(QListWidgetItem* item) {
    if (item == nullptr) return;
    const QString target = item->data(kPathRole).toString();
    // Rebuilding the list deletes the item the view is still handling; do it once the
    // view has finished with the event.
    QMetaObject::invokeMethod(
        this, [this, target] { open_folder(target); }, Qt::QueuedConnection);
}

void FolderList::open_folder(const QString& folder) {
    if (absolute_clean(folder) == path_) return;
    set_path(folder);
    emit folderOpened();
}

void FolderList::add_entry(const QString& folder, const QString& caption, int depth, bool open) {
    const QIcon icon = QApplication::style()->standardIcon(open ? QStyle::SP_DirOpenIcon
                                                                : QStyle::SP_DirClosedIcon);
    auto* entry = new QListWidgetItem(icon, QString(depth * 2, QLatin1Char(' ')) + caption, this);
    entry->setData(kPathRole, folder);
    entry->setToolTip(folder);
}

}  // namespace trakora::ui
