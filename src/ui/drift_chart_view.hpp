// SPDX-License-Identifier: MIT
// The drift assistant's time plot: the drift chart painted to the widget's size.
#pragma once

#include <QWidget>

#include "chart/drift_chart.hpp"

namespace trakora::ui {

class DriftChartView : public QWidget {
    Q_OBJECT
  public:
    explicit DriftChartView(QWidget* parent = nullptr);

    void set_chart(chart::DriftChart chart);
    const chart::DriftChart& chart() const { return chart_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    chart::DriftChart chart_;
};

}  // namespace trakora::ui
