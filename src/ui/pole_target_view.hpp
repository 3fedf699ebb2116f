// SPDX-License-Identifier: MIT
// The drift window's pole target: the picture replay --plot-target draws (the combined
// answer with its 1-SE ellipse and the session's earlier answers as a trail), painted to
// the widget's size, with the answer on a line under it, the knob turns, the answer kept
// from before the latest turn, and the session's note when the new star looks like the
// old one.
#pragma once

#include <QLabel>
#include <QWidget>

#include "chart/pole_target.hpp"
#include "session/drift_assistant.hpp"

namespace trakora::ui {

class PoleTargetPicture : public QWidget {
    Q_OBJECT
  public:
    explicit PoleTargetPicture(QWidget* parent = nullptr);
    void set_target(chart::PoleTarget target);
    const chart::PoleTarget& target() const { return target_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    chart::PoleTarget target_;
};

class PoleTargetView : public QWidget {
    Q_OBJECT
  public:
    explicit PoleTargetView(QWidget* parent = nullptr);
    // Everything again from the session; cheap enough for every tick.
    void show_assistant(const DriftAssistant& a);

    PoleTargetPicture* picture() const { return picture_; }
    QLabel* answer() const { return answer_; }
    QLabel* knobs() const { return knobs_; }
    QLabel* note() const { return note_; }

  private:
    PoleTargetPicture* picture_ = nullptr;
    QLabel* answer_ = nullptr;  // "方位 3.1′ ± 0.2′ 西、高度 …" or why there is none
    QLabel* knobs_ = nullptr;   // "ノブ: 方位 4.8′、高度 2.0′"
    QLabel* before_turn_ = nullptr;  // "回す前: …", hidden until a knob was turned
    QLabel* note_ = nullptr;         // the same star again
};

}  // namespace trakora::ui
