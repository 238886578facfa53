// The bar charts of the analysis windows: one series per class, bars touching, and
// "Select on map" on the bar last right-clicked.
#pragma once

#include <QString>
#include <QtCharts/QChartView>

#include <functional>
#include <vector>

class QAction;
class QBarSet;

namespace orbelin::gui {

/// One series: its name, its packed colour and one value per bar.
struct TBarSeriesData {
    QString Name;
    int Color = 0;
    std::vector<double> Values;
};

class TBarChart : public QChartView {
    Q_OBJECT
public:
    explicit TBarChart(QWidget* parent = nullptr);

    /// Replaces the chart: bars at the centres (shown on the axis), the series side by
    /// side in each bar's place, with the bars' values shown above them when marks is set.
    void ShowBars(const QString& title, const std::vector<double>& centres, const std::vector<TBarSeriesData>& series,
                  bool marks);
    void Clear();

    int SeriesCount() const { return static_cast<int>(Sets_.size()); }
    int BarCount() const { return BarCount_; }
    /// The bar last under the mouse, or -1.
    int HoveredSeries() const { return HoveredSeries_; }
    int HoveredBar() const { return HoveredBar_; }
    /// What a right click on a bar remembers; "Select on map" then reports it.
    void RememberBar(int series, int bar);
    int LastSeries() const { return LastSeries_; }
    int LastBar() const { return LastBar_; }
    QAction* SelectOnMapAction() const { return SelectOnMap_; }

    /// Called by "Select on map" with the remembered series and bar.
    std::function<void(int series, int bar)> OnSelectOnMap;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::vector<QBarSet*> Sets_;
    int BarCount_ = 0;
    int HoveredSeries_ = -1, HoveredBar_ = -1;
    int LastSeries_ = -1, LastBar_ = -1;
    QAction* SelectOnMap_;
};

} // namespace orbelin::gui
