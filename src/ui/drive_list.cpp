// SPDX-License-Identifier: MIT
#include "ui/drive_list.hpp"

#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace trakora::ui {

DriveList::DriveList(const QString& folder, QWidget* parent) : QComboBox(parent) {
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    for (const QStorageInfo& volume : volumes) {
        // Bind-mounted single files show up as volumes too; only folders can be chosen.
        if (!volume.isValid() || !volume.isReady() || !QFileInfo(volume.rootPath()).isDir())
            continue;
        add_volume(volume.rootPath(), volume.name());
    }
    select_volume_of(folder);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index == last_index_) return;
        last_index_ = index;
        emit driveChosen();
    });
}

QString DriveList::selected_root() const { return currentData().toString(); }

void DriveList::select_volume_of(const QString& folder) {
    const QStorageInfo volume(folder);
    const QString root = volume.isValid() ? volume.rootPath() : QStringLiteral("/");
    int index = index_of_root(root);
    if (index < 0) {
        add_volume(root, volume.name());
        index = index_of_root(root);
    }
    setCurrentIndex(index);
    last_index_ = index;
}

int DriveList::index_of_root(const QString& root) const { return findData(root); }

void DriveList::add_volume(const QString& root, const QString& name) {
    const QString label =
        name.isEmpty() ? root : root + QStringLiteral(" [") + name + QStringLiteral("]");
    addItem(label, root);
}

}  // namespace trakora::ui
