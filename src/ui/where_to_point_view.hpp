// SPDX-License-Identifier: MIT
// "Where to point next" in the drift window: which phase comes next, and for each phase
// the patch of sky at the site and the clock with up to three bright stars in it, one
// compact line each. The longitude comes from the header; a box takes it when the header
// has none.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <optional>

#include "session/drift_assistant.hpp"
#include "session/where_to_point.hpp"

namespace trakora::ui {

class WhereToPointView : public QGroupBox {
    Q_OBJECT
  public:
    explicit WhereToPointView(QWidget* parent = nullptr);
    // The patches at this moment for the session's site; the clock is the computer's.
    void show_assistant(const DriftAssistant& a);
    void show_where(const WhereToPoint& where);

    QLabel* next() const { return next_; }
    QLabel* azimuth() const { return azimuth_; }
    QLabel* east() const { return east_; }
    QLabel* west() const { return west_; }
    QLineEdit* longitude() const { return lon_; }
    std::optional<double> typed_longitude() const;

  private:
    QLabel* next_ = nullptr;  // "次は方位: 子午線付近の星"
    QLabel* azimuth_ = nullptr;
    QLabel* east_ = nullptr;
    QLabel* west_ = nullptr;
    QLabel* lon_label_ = nullptr;
    QLineEdit* lon_ = nullptr;
};

}  // namespace trakora::ui
