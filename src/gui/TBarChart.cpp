// Bar charts with per-class series and the "Select on map" pop-up.
#include "gui/TBarChart.h"

#include "data/NumberText.h"
#include "gui/TfrmTableGrid.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

namespace orbelin::gui {

namespace {

// A bar's centre on the axis with as many decimals as tell neighbouring bars apart, so
// that the labels stay short enough to be shown whole.
QString CentreText(double x, double step)
{
    const int decimals = step > 0 ? std::clamp(static_cast<int>(std::ceil(-std::log10(step))) + 1, 0, 6) : 3;
    return QString::number(x, 'f', decimals);
}

} // namespace

TBarChart::TBarChart(QWidget* parent) : QChartView(new QChart, parent)
{
    chart()->legend()->setVisible(false);
    setMinimumHeight(180);
    SelectOnMap_ = new QAction("Select on map", this);
    SelectOnMap_->setObjectName("SelectOnMap");
    connect(SelectOnMap_, &QAction::triggered, this, [this] {
        if (OnSelectOnMap && LastSeries_ >= 0 && LastBar_ >= 0)
            OnSelectOnMap(LastSeries_, LastBar_);
    });
}

void TBarChart::Clear()
{
    chart()->removeAllSeries();
    for (QAbstractAxis* axis : chart()->axes())
        chart()->removeAxis(axis);
    chart()->setTitle({});
    Sets_.clear();
    BarCount_ = 0;
    HoveredSeries_ = HoveredBar_ = LastSeries_ = LastBar_ = -1;
}

void TBarChart::ShowBars(const QString& title, const std::vector<double>& centres,
                         const std::vector<TBarSeriesData>& series, bool marks)
{
    Clear();
    chart()->setTitle(title);
    auto* bars = new QBarSeries;
    bars->setBarWidth(1.0);
    double top = 0;
    for (std::size_t s = 0; s < series.size(); ++s) {
        auto* set = new QBarSet(series[s].Name);
        const QColor colour = PackedColor(series[s].Color);
        set->setColor(colour);
        set->setBorderColor(colour.darker(130));
        for (double v : series[s].Values) {
            *set << v;
            top = std::max(top, v);
        }
        bars->append(set);
        Sets_.push_back(set);
        connect(set, &QBarSet::hovered, this, [this, s](bool on, int index) {
            HoveredSeries_ = on ? static_cast<int>(s) : -1;
            HoveredBar_ = on ? index : -1;
        });
    }
    bars->setLabelsVisible(marks);
    bars->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    bars->setLabelsFormat("@value");
    chart()->addSeries(bars);
    BarCount_ = static_cast<int>(centres.size());

    auto* axisX = new QBarCategoryAxis;
    QStringList labels;
    const double step = centres.size() > 1 ? std::fabs(centres[1] - centres[0]) : 0.0;
    for (double c : centres)
        labels << CentreText(c, step);
    axisX->append(labels);
    // Many bars leave each label less room than its text needs.
    if (centres.size() > 8)
        axisX->setLabelsAngle(-45);
    chart()->addAxis(axisX, Qt::AlignBottom);
    bars->attachAxis(axisX);
    auto* axisY = new QValueAxis;
    axisY->setRange(0, top > 0 ? top * (marks ? 1.15 : 1.0) : 1.0);
    axisY->setLabelFormat("%g");
    chart()->addAxis(axisY, Qt::AlignLeft);
    bars->attachAxis(axisY);
}

void TBarChart::RememberBar(int series, int bar)
{
    LastSeries_ = series;
    LastBar_ = bar;
}

void TBarChart::contextMenuEvent(QContextMenuEvent* event)
{
    if (HoveredSeries_ < 0 || HoveredBar_ < 0) {
        QChartView::contextMenuEvent(event);
        return;
    }
    RememberBar(HoveredSeries_, HoveredBar_);
    QMenu menu(this);
    menu.addAction(SelectOnMap_);
    menu.exec(event->globalPos());
}

} // namespace orbelin::gui
