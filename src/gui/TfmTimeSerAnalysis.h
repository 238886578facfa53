// The time-series window: the current dataset's points in their order as a
// multidimensional time series, with the chart of a sliding window's measure.
#pragma once

#include "analysis/TimeSeries.h"

#include <QDialog>

class QChartView;
class QDoubleSpinBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QRadioButton;
class QScatterSeries;
class QSpinBox;
class QValueAxis;

namespace orbelin::data {
class TData;
}

namespace orbelin::gui {

/// "Data Analysis as Time Series", shown modally over the statistics window. "Analyze"
/// clears the chart and plots one point per window position; the chart is repainted after
/// every window, so the curve grows while it is computed, and closing the window stops
/// the computation.
class TfmTimeSerAnalysis : public QDialog {
    Q_OBJECT
public:
    TfmTimeSerAnalysis(const data::TData& dataset, QWidget* parent = nullptr);

    /// The controls as settings.
    analysis::TTimeSeriesSettings Settings() const;
    void btnAnalyzeClick();
    /// The last analysis.
    const analysis::TTimeSeries& Result() const { return Result_; }

    QSpinBox* FromEdit() const { return From_; }
    QSpinBox* ToEdit() const { return To_; }
    QSpinBox* WidthEdit() const { return Width_; }
    QRadioButton* DimensionOption() const { return Dimension_; }
    QRadioButton* FractionOption() const { return Fraction_; }
    QDoubleSpinBox* QualityEdit() const { return Quality_; }
    QSpinBox* ComponentsEdit() const { return Components_; }
    QChartView* Chart() const { return Chart_; }
    QLineSeries* Curve() const { return Curve_; }
    QLabel* Status() const { return Status_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    const data::TData& Dataset_;
    analysis::TTimeSeries Result_;
    bool Running_ = false;
    bool Stop_ = false;
    QSpinBox* From_;
    QSpinBox* To_;
    QSpinBox* Width_;
    QRadioButton* Dimension_;
    QRadioButton* Fraction_;
    QDoubleSpinBox* Quality_;
    QSpinBox* Components_;
    QPushButton* Analyze_;
    QChartView* Chart_;
    QLineSeries* Curve_;
    QScatterSeries* Marks_;
    QValueAxis* XAxis_;
    QValueAxis* YAxis_;
    QLabel* Status_;
};

/// Shows the window for the dataset over parent, modally; returns when it is closed.
void ShowTimeSeriesAnalysis(const data::TData& dataset, QWidget* parent);

} // namespace orbelin::gui
