// The rule chart of the linear separation machine.
#include "gui/TRuleChartView.h"

#include "gui/TfrmTableGrid.h"

#include <QCursor>
#include <QGraphicsSimpleTextItem>
#include <QToolTip>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

namespace orbelin::gui {

TRuleChartView::TRuleChartView(QWidget* parent) : QChartView(new QChart, parent)
{
    setObjectName("RuleChart");
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setVisible(false);
    setMinimumSize(320, 240);
    connect(chart(), &QChart::plotAreaChanged, this, [this] { PlaceMarks(); });
}

void TRuleChartView::Clear()
{
    for (QGraphicsSimpleTextItem* mark : Marks_)
        delete mark;
    Marks_.clear();
    chart()->removeAllSeries();
    for (QAbstractAxis* axis : chart()->axes())
        chart()->removeAxis(axis);
    chart()->setTitle({});
    Class_ = Others_ = nullptr;
    Line_ = nullptr;
    ClassIndex_.clear();
    OtherIndex_.clear();
    Shown_ = {};
    Hint_.clear();
}

void TRuleChartView::ShowChart(const analysis::TRuleChart& data, int targetColor, int pointSize, bool marks)
{
    Clear();
    Shown_ = data;
    PointSize_ = pointSize;
    chart()->setTitle(QString::fromStdString(data.Title));
    Class_ = new QScatterSeries;
    Class_->setName("Class");
    Others_ = new QScatterSeries;
    Others_->setName("Others");
    for (QScatterSeries* series : {Class_, Others_}) {
        series->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        series->setBorderColor(Qt::black);
    }
    Class_->setColor(PackedColor(targetColor < 0 ? 0 : targetColor));
    Others_->setColor(Qt::black);
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool any = false;
    const auto widen = [&](double x, double y) {
        minX = any ? std::min(minX, x) : x;
        maxX = any ? std::max(maxX, x) : x;
        minY = any ? std::min(minY, y) : y;
        maxY = any ? std::max(maxY, y) : y;
        any = true;
    };
    for (std::size_t i = 0; i < data.Points.size(); ++i) {
        const analysis::TChartPoint& p = data.Points[i];
        (p.InClass ? Class_ : Others_)->append(p.X, p.Y);
        (p.InClass ? ClassIndex_ : OtherIndex_).push_back(static_cast<int>(i));
        widen(p.X, p.Y);
    }
    Line_ = new QLineSeries;
    Line_->setName("Separating line");
    Line_->setColor(Qt::green);
    // The line may run far beyond the points; the axes keep to the points' range.
    for (const TArray1D& p : data.Line)
        Line_->append(p[0], p[1]);
    chart()->addSeries(Line_);
    chart()->addSeries(Others_);
    chart()->addSeries(Class_);
    chart()->createDefaultAxes();
    if (any) {
        const double padX = (maxX > minX ? maxX - minX : 1) * 0.1, padY = (maxY > minY ? maxY - minY : 1) * 0.1;
        for (QAbstractAxis* axis : chart()->axes(Qt::Horizontal))
            axis->setRange(minX - padX, maxX + padX);
        for (QAbstractAxis* axis : chart()->axes(Qt::Vertical))
            axis->setRange(minY - padY, maxY + padY);
    }
    for (auto [series, inClass] : {std::pair{Class_, true}, {Others_, false}})
        connect(series, &QScatterSeries::hovered, this, [this, inClass, series](const QPointF& point, bool on) {
            const QList<QPointF> points = series->points();
            const auto it = std::find(points.begin(), points.end(), point);
            HoverPoint(inClass, it == points.end() ? -1 : static_cast<int>(it - points.begin()), on);
        });
    if (marks)
        for (const analysis::TChartPoint& p : data.Points) {
            auto* mark = new QGraphicsSimpleTextItem(QString::fromStdString(p.Mark), chart());
            mark->setData(0, QPointF(p.X, p.Y));
            Marks_.push_back(mark);
        }
    SizeMarkers();
    PlaceMarks();
}

void TRuleChartView::HoverPoint(bool inClass, int index, bool on)
{
    const std::vector<int>& indices = inClass ? ClassIndex_ : OtherIndex_;
    if (!on || index < 0 || static_cast<std::size_t>(index) >= indices.size()) {
        Hint_.clear();
        QToolTip::hideText();
        return;
    }
    Hint_ = QString::fromStdString(Shown_.Points[static_cast<std::size_t>(indices[static_cast<std::size_t>(index)])].Mark);
    if (!Hint_.isEmpty())
        QToolTip::showText(QCursor::pos(), Hint_, this);
}

void TRuleChartView::SizeMarkers()
{
    if (!Class_)
        return;
    // "Size of points" 3 gives circles of 9 pixels: big enough to tell the classes apart,
    // small enough to see a few hundred points.
    const double diameter = std::clamp(3.0 * PointSize_, 2.0, 60.0);
    Class_->setMarkerSize(diameter);
    Others_->setMarkerSize(diameter);
}

void TRuleChartView::PlaceMarks()
{
    for (QGraphicsSimpleTextItem* mark : Marks_)
        mark->setPos(chart()->mapToPosition(mark->data(0).toPointF()) + QPointF(4, -16));
}

void TRuleChartView::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    PlaceMarks();
}

QString TRuleChartView::Title() const
{
    return chart()->title();
}

int TRuleChartView::ClassPointCount() const
{
    return Class_ ? static_cast<int>(Class_->count()) : 0;
}

int TRuleChartView::OtherPointCount() const
{
    return Others_ ? static_cast<int>(Others_->count()) : 0;
}

int TRuleChartView::LinePointCount() const
{
    return Line_ ? static_cast<int>(Line_->count()) : 0;
}

} // namespace orbelin::gui
