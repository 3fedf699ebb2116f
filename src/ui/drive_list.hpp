// SPDX-License-Identifier: MIT
// Drive1: the mounted volumes, by their root paths.
#pragma once

#include <QComboBox>
#include <QString>

namespace trakora::ui {

class DriveList : public QComboBox {
    Q_OBJECT
  public:
    // Lists the volumes and selects the one holding `folder`.
    explicit DriveList(const QString& folder, QWidget* parent = nullptr);

    // The root path of the selected volume ("/" , "/media/cam").
    QString selected_root() const;
    // Selects the volume holding `folder` without telling anyone.
    void select_volume_of(const QString& folder);

  signals:
    // The user picked a volume other than the one selected before.
    void driveChosen();

  private:
    int index_of_root(const QString& root) const;
    void add_volume(const QString& root, const QString& name);

    int last_index_ = -1;
};

}  // namespace trakora::ui
