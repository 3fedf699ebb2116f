// SPDX-License-Identifier: MIT
// Dir1: the current folder with the folders above it and the folders inside it. Opening
// an entry (double-click or Enter) makes it the current folder.
#pragma once

#include <QListWidget>
#include <QString>

namespace trakora::ui {

class FolderList : public QListWidget {
    Q_OBJECT
  public:
    explicit FolderList(const QString& folder, QWidget* parent = nullptr);

    // The current folder, absolute and without a trailing separator (but "/" itself).
    QString path() const { return path_; }
    // Shows `folder` (made absolute) without emitting folderOpened.
    void set_path(const QString& folder);

    // The folders the list offers, in display order: the current path's ancestors from
    // the root down, the current folder, then its subfolders by name.
    QStringList entry_paths() const;

    // What opening an entry does: shows `folder` and, when it differs from the current
    // one, emits folderOpened.
    void open_folder(const QString& folder);

  signals:
    // The user opened an entry other than the current folder; path() is already the new one.
    void folderOpened();

  private:
    void open_entry(QListWidgetItem* item);
    void add_entry(const QString& folder, const QString& caption, int depth, bool open);

    QString path_;
};

}  // namespace trakora::ui
