// The time-series window's settings, chart and analysis.
#include "gui/TfmTimeSerAnalysis.h"

#include "data/TData.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <climits>

namespace orbelin::gui {

namespace {

// The settings are spin edits without limits.
QSpinBox* Spin(QWidget* parent, const char* name, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(-INT_MAX, INT_MAX);
    box->setValue(value);
    return box;
}

} // namespace

TfmTimeSerAnalysis::TfmTimeSerAnalysis(const data::TData& dataset, QWidget* parent) : QDialog(parent), Dataset_(dataset)
{
    setObjectName("TimeSerAnalysis");
    setWindowTitle("Data Analysis as Time Series");
    setModal(true);

    const analysis::TTimeSeriesSettings defaults = analysis::DefaultTimeSeriesSettings(dataset);
    From_ = Spin(this, "From", defaults.From);
    To_ = Spin(this, "To", defaults.To);
    Width_ = Spin(this, "Width", defaults.Width);
    Dimension_ = new QRadioButton("Effective dimension", this);
    Dimension_->setObjectName("EffectiveDimension");
    Dimension_->setChecked(true);
    Fraction_ = new QRadioButton("Part of ", this);
    Fraction_->setObjectName("PartOf");
    Components_ = Spin(this, "FirstComponents", defaults.Components);
    Quality_ = new QDoubleSpinBox(this);
    Quality_->setObjectName("Quality");
    Quality_->setRange(-1e9, 1e9);
    Quality_->setDecimals(4);
    Quality_->setSingleStep(0.05);
    Quality_->setValue(defaults.Quality);
    Analyze_ = new QPushButton("Analyze", this);
    Analyze_->setObjectName("Analyze");

    auto* settings = new QGridLayout;
    settings->addWidget(new QLabel("from", this), 0, 0);
    settings->addWidget(From_, 0, 1);
    settings->addWidget(new QLabel("to", this), 0, 2);
    settings->addWidget(To_, 0, 3);
    settings->addWidget(new QLabel("Width", this), 1, 0);
    settings->addWidget(Width_, 1, 1);
    settings->addWidget(new QLabel("of window", this), 1, 2);
    settings->addWidget(Dimension_, 2, 0);
    settings->addWidget(new QLabel("Quality", this), 2, 2);
    settings->addWidget(Quality_, 2, 3);
    settings->addWidget(Fraction_, 3, 0);
    settings->addWidget(Components_, 3, 1);
    settings->addWidget(new QLabel("first components", this), 3, 2);
    settings->addWidget(Analyze_, 4, 0, 1, 4);

    Chart_ = new QChartView(this);
    Chart_->setObjectName("TimeSeriesChart");
    Chart_->setMinimumSize(420, 260);
    QChart* chart = Chart_->chart();
    chart->legend()->hide();
    Curve_ = new QLineSeries(chart);
    Marks_ = new QScatterSeries(chart);
    Marks_->setMarkerSize(6);
    chart->addSeries(Curve_);
    chart->addSeries(Marks_);
    XAxis_ = new QValueAxis(chart);
    YAxis_ = new QValueAxis(chart);
    chart->addAxis(XAxis_, Qt::AlignBottom);
    chart->addAxis(YAxis_, Qt::AlignLeft);
    for (QXYSeries* series : {static_cast<QXYSeries*>(Curve_), static_cast<QXYSeries*>(Marks_)}) {
        series->attachAxis(XAxis_);
        series->attachAxis(YAxis_);
    }

    Status_ = new QLabel(this);
    Status_->setObjectName("Status");
    Status_->setWordWrap(true);

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addLayout(settings);
    left->addWidget(Status_);
    left->addStretch(1);
    layout->addLayout(left);
    layout->addWidget(Chart_, 1);

    connect(Analyze_, &QPushButton::clicked, this, [this] { btnAnalyzeClick(); });
}

analysis::TTimeSeriesSettings TfmTimeSerAnalysis::Settings() const
{
    analysis::TTimeSeriesSettings settings;
    settings.From = From_->value();
    settings.To = To_->value();
    settings.Width = Width_->value();
    settings.Measure = Fraction_->isChecked() ? analysis::TSeriesMeasure::ComponentsFraction
                                              : analysis::TSeriesMeasure::EffectiveDimension;
    settings.Quality = Quality_->value();
    settings.Components = Components_->value();
    return settings;
}

void TfmTimeSerAnalysis::closeEvent(QCloseEvent* event)
{
    Stop_ = true;
    QDialog::closeEvent(event);
}

void TfmTimeSerAnalysis::btnAnalyzeClick()
{
    if (Running_)
        return;
    Running_ = true;
    Stop_ = false;
    Analyze_->setEnabled(false);
    Status_->clear();
    Curve_->clear();
    Marks_->clear();
    const analysis::TTimeSeriesSettings settings = Settings();
    Chart_->chart()->setTitle(QString::fromStdString(analysis::TimeSeriesTitle(settings.Measure)));
    double xLo = 1e100, xHi = -1e100, yLo = 1e100, yHi = -1e100;
    Result_ = analysis::AnalyzeTimeSeries(Dataset_, settings, [&](double x, double y) {
        Curve_->append(x, y);
        Marks_->append(x, y);
        xLo = std::min(xLo, x);
        xHi = std::max(xHi, x);
        yLo = std::min(yLo, y);
        yHi = std::max(yHi, y);
        XAxis_->setRange(xLo - 1, xHi + 1);
        YAxis_->setRange(std::min(0.0, yLo), yHi > 0 ? yHi * 1.05 : 1.0);
        // Let the chart repaint and the user close the window between windows.
        Chart_->repaint();
        QCoreApplication::processEvents();
        return !Stop_;
    });
    QStringList notes;
    if (!Result_.Problem.empty())
        notes << QString::fromStdString(Result_.Problem);
    else if (Result_.X.empty() && !Result_.Cancelled)
        notes << "No window fits between \"from\" and \"to\".";
    if (Result_.OutsideWindows > 0)
        notes << QString("%1 window positions reach outside the points 1 to %2 and are left out.")
                     .arg(Result_.OutsideWindows)
                     .arg(Dataset_.Points.size());
    if (Result_.FlatWindows > 0)
        notes << (settings.Measure == analysis::TSeriesMeasure::EffectiveDimension
                      ? QString("%1 windows of equal points have no spread: dimension 0.").arg(Result_.FlatWindows)
                      : QString("%1 windows of equal points have no spread and no share: not plotted.")
                            .arg(Result_.FlatWindows));
    if (Result_.WeightlessWindows > 0)
        notes << QString("%1 windows of points that weigh nothing are not plotted.").arg(Result_.WeightlessWindows);
    Status_->setText(notes.join('\n'));
    Analyze_->setEnabled(true);
    Running_ = false;
}

void ShowTimeSeriesAnalysis(const data::TData& dataset, QWidget* parent)
{
    TfmTimeSerAnalysis window(dataset, parent);
    window.exec();
}

} // namespace orbelin::gui
