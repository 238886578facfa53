// The energy curves drawn live while a map trains.
#include "gui/TEnergyChart.h"

#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <cmath>

namespace orbelin::gui {

TEnergyChart::TEnergyChart(QWidget* parent)
    : QChartView(parent), XAxis_(new QValueAxis(this)), YAxis_(new QValueAxis(this))
{
    setObjectName("EnergyChart");
    auto* chart = new QChart;
    // Above the plot, which keeps the width for the curves in a narrow panel.
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setMargins(QMargins(2, 2, 2, 2));
    const std::pair<const char*, QColor> curves[3] = {{"A", Qt::red}, {"E", Qt::blue}, {"R", QColor(0, 128, 0)}};
    chart->addAxis(XAxis_, Qt::AlignBottom);
    chart->addAxis(YAxis_, Qt::AlignLeft);
    XAxis_->setLabelFormat("%d");
    for (int i = 0; i < 3; ++i) {
        Curves_[i] = new QLineSeries(chart);
        Curves_[i]->setName(curves[i].first);
        Curves_[i]->setColor(curves[i].second);
        chart->addSeries(Curves_[i]);
        Curves_[i]->attachAxis(XAxis_);
        Curves_[i]->attachAxis(YAxis_);
    }
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(140);
    Clear();
}

void TEnergyChart::Clear()
{
    for (QLineSeries* curve : Curves_)
        curve->clear();
    Low_ = High_ = 0;
    XAxis_->setRange(0, 1);
    YAxis_->setRange(0, 1);
}

void TEnergyChart::Append(double approximation, double stretching, double bending)
{
    const double x = PointCount();
    const double values[3] = {approximation, stretching, bending};
    for (int i = 0; i < 3; ++i) {
        // A value the axes cannot hold would wipe out the whole picture.
        const double y = std::isfinite(values[i]) ? values[i] : 0.0;
        if (x == 0 && i == 0)
            Low_ = High_ = y;
        Low_ = std::min(Low_, y);
        High_ = std::max(High_, y);
        Curves_[i]->append(x, y);
    }
    XAxis_->setRange(0, std::max(1.0, x));
    const double margin = High_ > Low_ ? (High_ - Low_) * 0.05 : std::max(1e-9, std::abs(High_) * 0.05 + 1e-9);
    YAxis_->setRange(Low_ - margin, High_ + margin);
}

void TEnergyChart::SetTitle(const QString& title)
{
    chart()->setTitle(title);
}

QString TEnergyChart::Title() const
{
    return chart()->title();
}

int TEnergyChart::PointCount() const
{
    return static_cast<int>(Curves_[0]->count());
}

} // namespace orbelin::gui
