// The object analysis window: clustering, class selection, values analysis, discriminant
// and regression of the current dataset, computed by the analysis core.
#pragma once

#include "analysis/ObjectClustering.h"
#include "analysis/ValuesAnalysis.h"

#include <QColor>
#include <QDialog>
#include <QUrl>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QTableWidget;
class QTabWidget;

namespace orbelin::data {
class TData;
}

namespace orbelin::gui {

class TfrmMainWnd;

/// "Object analysis". Holds the settings of its pages and the results they show; the
/// results go into the main window's current dataset (point selection, result columns,
/// visibility, objects, the separating and regression functions) and table (colours and
/// sizes). Closing it calls OnClosed, so that the main window releases its toggle.
class TfmColorPoints : public QDialog {
    Q_OBJECT
public:
    enum TPage : int { ClusteringPage, SelectPage, ValuesPage, LdaPage, LrPage };

    explicit TfmColorPoints(TfrmMainWnd& host);

    /// What showing the window does, and what the main window calls when the current
    /// dataset changes: the colour table for K, the class colours and the field lists.
    void Refresh();

    // "Clustering".
    void btnAnalyzeClick();
    void btnCancelClick();
    void btnNumbersClick();
    void btnDistancesClick();
    void btnRememberColorsClick();
    void btnCentroidsClick();
    /// A click on the colour cell of cluster i.
    void ColorCellClicked(int cluster);
    // "Select".
    void btnSelectClick();
    void btnDeselectClick();
    void btnApplyClick();
    // "Values analysis".
    void btnValuesAnalyzeClick();
    void btnValuesCancelClick();
    void btnRememberSizesClick();
    void btnValuesInTableClick();
    // "LDA".
    void btnLdaAnalyzeClick();
    void btnLdaTestClick();
    void btnLdaInTableClick();
    // "LR".
    void btnLrAnalyzeClick();
    void btnLrTestClick();
    void btnLrInTableClick();
    /// "In Excel" of a check list's pop-up menu.
    void CheckListInExcel(QListWidget* list);

    /// Asks for a colour for a cluster; an invalid colour means cancelled.
    std::function<QColor(const QColor& initial, QWidget* parent)> ChooseColor;
    std::function<bool(const QUrl&)> OpenDocument;
    std::function<void()> OnClosed;

    const analysis::TClusterAnalysis& Clusters() const { return Tool_; }
    const analysis::TValueAnalysis& Values() const { return Values_; }
    const TArray1D& LdaCoefficients() const { return LdaCoefficients_; }
    const TArray1D& LrCoefficients() const { return LrCoefficients_; }
    QTabWidget* Pages() const { return Pages_; }
    QComboBox* Method() const { return Method_; }
    QSpinBox* ClusterCount() const { return K_; }
    QComboBox* DistanceKind() const { return Kind_; }
    QSlider* Sensitivity() const { return Slider_; }
    QCheckBox* ShowMerging() const { return Show_; }
    QTableWidget* ColorTable() const { return ColorTable_; }
    QLabel* DeviationLabel() const { return Deviation_; }
    QComboBox* SelectClass() const { return SelectClass_; }
    QListWidget* ClassList() const { return Classes_; }
    QComboBox* Quantity() const { return Quantity_; }
    QComboBox* ValueField() const { return ValueField_; }
    QSpinBox* MinSize() const { return MinSize_; }
    QSpinBox* MaxSize() const { return MaxSize_; }
    QLabel* RangeLabel(int i) const { return Range_[i]; }
    QComboBox* LdaClass() const { return LdaClass_; }
    QSpinBox* Iterations() const { return Iterations_; }
    QListWidget* LdaFields() const { return LdaFields_; }
    QLabel* LdaLine(int i) const { return LdaLines_[i]; }
    QComboBox* LrField() const { return LrField_; }
    QListWidget* LrFields() const { return LrFields_; }
    QDoubleSpinBox* Quality() const { return Quality_; }
    QLabel* LrAmplitude() const { return LrAmplitude_; }
    QLabel* LrErrors() const { return LrErrors_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* MakeClusteringPage();
    QWidget* MakeSelectPage();
    QWidget* MakeValuesPage();
    QWidget* MakeLdaPage();
    QWidget* MakeLrPage();
    /// The buttons "Numbers in table" to "Centroids as objects", for either page.
    QWidget* MakeResultButtons(QWidget* parent);
    QListWidget* MakeCheckList(const char* name, QWidget* parent);
    QPushButton* AddButton(QWidget* parent, const char* text, const char* name, void (TfmColorPoints::*command)());
    data::TData* Dataset() const;
    /// The current map's grid, null without one; raises TError while the map trains.
    const map::TNetGrid* Grid(const std::string& action) const;
    analysis::TClusterSettings ClusterSettings() const;
    void MethodChosen();
    void FillColorTable();
    void FillClassLists();
    void ShowQuality();
    /// After a change of the dataset's marks or styles: its maps and the table window.
    void PointsChanged();
    /// After a new separating or regression function: the map coloring that shows it.
    void FunctionChanged(int coloring);

    TfrmMainWnd& Host_;
    const data::TData* Shown_ = nullptr;
    analysis::TClusterAnalysis Tool_;
    analysis::TValueAnalysis Values_;
    TArray1D LdaCoefficients_;
    int LdaColor_ = -1;
    TArray1D LrCoefficients_;
    TArray1D LrTargets_;
    TArray1I ClassColors_;
    bool Filling_ = false;

    QTabWidget* Pages_;
    QComboBox* Method_;
    QSpinBox* K_;
    QComboBox* Kind_;
    QSlider* Slider_;
    QCheckBox* Show_;
    QWidget* KindRow_;
    QWidget* SliderRow_;
    QTableWidget* ColorTable_;
    QLabel* Deviation_;
    QComboBox* SelectClass_;
    QListWidget* Classes_;
    QComboBox* Quantity_;
    QComboBox* ValueField_;
    QSpinBox* MinSize_;
    QSpinBox* MaxSize_;
    QLabel* Range_[3];
    QComboBox* LdaClass_;
    QSpinBox* Iterations_;
    QDoubleSpinBox* Step_;
    QListWidget* LdaFields_;
    QLabel* LdaLines_[3];
    QComboBox* LrField_;
    QListWidget* LrFields_;
    QDoubleSpinBox* Quality_;
    QLabel* LrAmplitude_;
    QLabel* LrErrors_;
};

} // namespace orbelin::gui
