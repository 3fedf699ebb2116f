// SPDX-License-Identifier: MIT
// The drift window's target to steer by: a cut-out of the image around the star with
// where it was when the turn began, where it must go and the line between; a button per
// knob that starts the turn; while the user turns it, the distance still to go and which
// way ("あと 48″、右上へ"); at the target, the next step. The buttons are offered only when
// the alignment's step allows a turn, and never take the focus.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <optional>

#include "session/drift_assistant.hpp"

namespace trakora::ui {

// The cut-out, scaled up to the widget, with the anchor, the target and the star marked.
class CutoutPicture : public QWidget {
    Q_OBJECT
  public:
    explicit CutoutPicture(QWidget* parent = nullptr);
    void set_adjusting(std::optional<KnobAdjusting> adjusting);
    QSize sizeHint() const override { return {220, 220}; }
    QSize minimumSizeHint() const override { return {160, 160}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::optional<KnobAdjusting> adjusting_;
};

class KnobTargetView : public QGroupBox {
    Q_OBJECT
  public:
    explicit KnobTargetView(QWidget* parent = nullptr);
    void show_assistant(const DriftAssistant& a);

    CutoutPicture* picture = nullptr;
    QLabel* status = nullptr;  // "あと 48″、右上へ"
    QPushButton* azimuth = nullptr;
    QPushButton* altitude = nullptr;

  signals:
    void turnRequested(trakora::Knob knob);
};

// "上", "右上", ... for each of the eight ways.
QString way_word(ScreenWay way);
// "あと 48″、右上へ", the sentence when the star is there, or when it was lost.
QString adjusting_text(const KnobAdjusting& k);

}  // namespace trakora::ui
