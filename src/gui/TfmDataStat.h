// The statistics window: descriptive statistics of the current dataset and table on seven
// pages, computed by the analysis core.
#pragma once

#include "analysis/Histograms.h"
#include "analysis/ObjectsPage.h"
#include "analysis/StatDistances.h"

#include <QDialog>
#include <QUrl>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace orbelin::data {
class TData;
class TDataTable;
} // namespace orbelin::data

namespace orbelin::gui {

class TAnalysisGrid;
class TBarChart;
class TfrmMainWnd;

/// "Calc Statistics". Works on the main window's current dataset and table; holds only
/// what its pages show. "Calculate" computes the active page ("Common", "Distances",
/// "Correlations", "PCA", "t-test"); "Histograms" and "Objects" compute when shown and when
/// their settings change. Closing it calls OnClosed, so that the main window releases its
/// toggle.
class TfmDataStat : public QDialog {
    Q_OBJECT
public:
    enum TPage : int { CommonPage, DistancesPage, CorrelationsPage, PcaPage, HistogramsPage, ObjectsPage, TTestPage };

    explicit TfmDataStat(TfrmMainWnd& host);

    /// What showing the window does, and what the main window calls when the current
    /// dataset or table changes: the "Common" headers, both distance types back to
    /// "Euclidean", the field, class and record lists; results of another dataset go.
    void Refresh();

    void btnCalculateClick();
    /// "Objects" of the "Distances" page: the distances between the additional objects.
    void btnObjectsClick();
    void btnCompareClick();
    void btnInExcelClick();
    void btnMaximizeClick();
    /// "Center data on this point" for the record chosen in the "Objects" list.
    void btnCenterClick();
    /// A click on record r of the "Objects" list.
    void ShowObject(int record);
    /// "Select on map" on a bar of the histogram or of the distance diagram.
    void SelectOnHistogram(int series, int bar);
    void SelectOnDiagram(int series, int bar);

    /// Opens the workbook "In Excel" wrote; the default asks the desktop.
    std::function<bool(const QUrl&)> OpenDocument;
    std::function<void()> OnClosed;

    QTabWidget* Pages() const { return Pages_; }
    /// The grid of a page that has one ("Common", "Distances", "Correlations", "PCA", "t-test").
    TAnalysisGrid* Grid(TPage page) const;
    QComboBox* DistanceType() const { return DistanceType_; }
    QComboBox* SecondDistance() const { return SecondDistance_; }
    QPushButton* ObjectsButton() const { return ObjectsButton_; }
    QLabel* CompareLabel() const { return CompareLabel_; }
    QListWidget* HistogramFields() const { return HistogramFields_; }
    QSpinBox* Bars() const { return Bars_; }
    QCheckBox* Unified() const { return Unified_; }
    QCheckBox* ShowValues() const { return ShowValues_; }
    TBarChart* HistogramChart() const { return HistogramChart_; }
    TAnalysisGrid* ObjectList() const { return ObjectList_; }
    QComboBox* MarkField() const { return MarkField_; }
    QSpinBox* DiagramBars() const { return DiagramBars_; }
    TAnalysisGrid* Probable() const { return Probable_; }
    TAnalysisGrid* ProbableInClass() const { return ProbableInClass_; }
    TBarChart* DiagramChart() const { return DiagramChart_; }
    QListWidget* NearestList() const { return NearestList_; }
    QComboBox* TTestClass() const { return TTestClass_; }
    QComboBox* TTestVersus() const { return TTestVersus_; }
    QListWidget* TTestFields() const { return TTestFields_; }
    const analysis::TFieldHistograms& Histograms() const { return Histograms_; }
    const analysis::TDistanceDiagram& Diagram() const { return Diagram_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* MakeDistancesPage();
    QWidget* MakeHistogramsPage();
    QWidget* MakeObjectsPage();
    QWidget* MakeTTestPage();
    data::TData* Dataset() const;
    data::TDataTable* Table() const;
    void PageShown(int page);
    void ShowCommonHeaders();
    /// Both kinds of histograms of every field with the "Bars" value; false (the message
    /// shown) when a cell is not a number.
    bool BuildHistograms();
    void DrawHistogram();
    void FillObjectList();
    void DrawDiagram();
    /// Adds points to the dataset's selection in the selection properties' colour and size.
    void SelectPoints(const TArray1I& points);
    TArray2S HistogramCells() const;

    TfrmMainWnd& Host_;
    const data::TData* Shown_ = nullptr;
    QTabWidget* Pages_;
    TAnalysisGrid* Grids_[7] = {};
    QComboBox* DistanceType_;
    QComboBox* SecondDistance_;
    QPushButton* ObjectsButton_;
    QPushButton* CompareButton_;
    QLabel* CompareLabel_;
    QListWidget* HistogramFields_;
    QSpinBox* Bars_;
    QCheckBox* Unified_;
    QCheckBox* ShowValues_;
    TBarChart* HistogramChart_;
    TAnalysisGrid* ObjectList_;
    QComboBox* MarkField_;
    QSpinBox* DiagramBars_;
    TAnalysisGrid* Probable_;
    TAnalysisGrid* ProbableInClass_;
    TBarChart* DiagramChart_;
    QListWidget* NearestList_;
    QComboBox* TTestClass_;
    QComboBox* TTestVersus_;
    QListWidget* TTestFields_;
    QPushButton* Maximize_;

    std::shared_ptr<const analysis::TDistanceTable> Distances_;
    analysis::TFieldHistograms Histograms_;
    analysis::TDistanceDiagram Diagram_;
    int ObjectRecord_ = -1; ///< the record chosen in the "Objects" list
};

} // namespace orbelin::gui
