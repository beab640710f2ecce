// A window with one temperature trend: the minimum, mean and maximum of a module (or
// of the whole antenna) over the samples the core keeps, TRM or QDX-A temperatures,
// with the fault limit as a line, and a CSV export of them.
#pragma once

#include <QWidget>

#include "status/temperature_trend.h"

class QChartView;
class QComboBox;
class QLineSeries;

namespace vantu {

class TrendChartWindow : public QWidget {
  public:
    // module: 0..160, or -1 for the antenna.
    TrendChartWindow(const TemperatureTrend& trend, int module, QWidget* parent = nullptr);

    // Redraws the series from the trend's samples.
    void Reload();
    int module() const { return module_; }
    // Number of points drawn in the min, mean and max series.
    int points() const;
    // The TRM or QDX-A temperatures, as the window's choice box offers them.
    QComboBox& kind_box() const { return *kind_box_; }
    const QLineSeries& limit_line() const { return *limit_; }

  private:
    TrendKind kind() const;
    void Export();

    const TemperatureTrend& trend_;
    int module_;
    QComboBox* kind_box_;
    QChartView* view_;
    QLineSeries* limit_;
    QLineSeries* min_;
    QLineSeries* mean_;
    QLineSeries* max_;
};

// The window's title: "溫度趨勢 - 模組 12" or "溫度趨勢 - 全天線".
QString TrendTitle(int module);

}  // namespace vantu
