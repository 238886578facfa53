// The chart of a linear decision rule: the points in the target colour or black, their
// marks and hints, and the green separating line.
#pragma once

#include "analysis/TLRuleMachine.h"

#include <QtCharts/QChartView>

#include <vector>

class QGraphicsSimpleTextItem;
class QLineSeries;
class QScatterSeries;

namespace orbelin::gui {

class TRuleChartView : public QChartView {
    Q_OBJECT
public:
    explicit TRuleChartView(QWidget* parent = nullptr);

    /// Replaces the chart. The circles are 3 pointSize pixels across; with marks set every
    /// circle carries its mark.
    void ShowChart(const analysis::TRuleChart& chart, int targetColor, int pointSize, bool marks);
    void Clear();

    QString Title() const;
    int ClassPointCount() const;
    int OtherPointCount() const;
    int LinePointCount() const;
    int MarkCount() const { return static_cast<int>(Marks_.size()); }
    /// The mark of the circle under the mouse last, "" when none.
    const QString& HintText() const { return Hint_; }
    /// What hovering circle i of the class (or of the others) shows.
    void HoverPoint(bool inClass, int index, bool on);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceMarks();
    void SizeMarkers();

    analysis::TRuleChart Shown_;
    std::vector<int> ClassIndex_, OtherIndex_; ///< chart point of each circle of the two series
    QScatterSeries* Class_ = nullptr;
    QScatterSeries* Others_ = nullptr;
    QLineSeries* Line_ = nullptr;
    std::vector<QGraphicsSimpleTextItem*> Marks_;
    int PointSize_ = 3;
    QString Hint_;
};

} // namespace orbelin::gui
