// The chart of the three energy curves of a training run: "A" (approximation error), "E"
// (stretching energy) and "R" (bending energy), one point per step.
#pragma once

#include <QtCharts/QChartView>

class QLineSeries;
class QValueAxis;

namespace orbelin::gui {

/// Used by the map panel's EM page and by the auto-create dialog. The x value of a point
/// is its running index since the last Clear.
class TEnergyChart : public QChartView {
    Q_OBJECT
public:
    explicit TEnergyChart(QWidget* parent = nullptr);

    void Clear();
    /// Appends one point to each curve and widens the axes to hold it.
    void Append(double approximation, double stretching, double bending);
    void SetTitle(const QString& title);
    QString Title() const;

    int PointCount() const;
    QLineSeries* Curve(int index) const { return Curves_[index]; }

private:
    QLineSeries* Curves_[3];
    QValueAxis* XAxis_;
    QValueAxis* YAxis_;
    double Low_ = 0, High_ = 0;
};

} // namespace orbelin::gui
