// The statistics window's pages and commands.
#include "gui/TfmDataStat.h"

#include "analysis/DatasetStatistics.h"
#include "analysis/TTest.h"
#include "app/TDispatcher.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "gui/AnalysisSupport.h"
#include "gui/TAnalysisGrid.h"
#include "gui/TBarChart.h"
#include "gui/TfmTimeSerAnalysis.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTableGrid.h"
#include "numeric/TUserInterface.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

// Worksheets beyond this many cells are more than a spreadsheet program opens comfortably.
constexpr long long MaxExportCells = 2000000;

QComboBox* DistanceBox(const char* name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const std::string& item : analysis::StatDistanceNames())
        box->addItem(QString::fromStdString(item));
    return box;
}

} // namespace

TfmDataStat::TfmDataStat(TfrmMainWnd& host) : QDialog(&host, Qt::Window), Host_(host)
{
    setObjectName("DataStat");
    setWindowTitle("Calc Statistics");
    setModal(false);
    OpenDocument = OpenWithDesktop;

    Pages_ = new QTabWidget(this);
    Pages_->setObjectName("StatPages");
    for (int page : {CommonPage, DistancesPage, CorrelationsPage, PcaPage, TTestPage})
        Grids_[page] = new TAnalysisGrid(this);
    Grids_[CommonPage]->setObjectName("CommonGrid");
    Grids_[DistancesPage]->setObjectName("DistancesGrid");
    Grids_[CorrelationsPage]->setObjectName("CorrelationsGrid");
    Grids_[PcaPage]->setObjectName("PcaGrid");
    Grids_[TTestPage]->setObjectName("TTestGrid");
    Pages_->addTab(Grids_[CommonPage], "Common");
    Pages_->addTab(MakeDistancesPage(), "Distances");
    Pages_->addTab(Grids_[CorrelationsPage], "Correlations");
    auto* pca = new QWidget(this);
    auto* pcaLayout = new QVBoxLayout(pca);
    pcaLayout->addWidget(Grids_[PcaPage]);
    QPushButton* ts = NamedButton("TS analysis", "TSAnalysis", pca);
    connect(ts, &QPushButton::clicked, this, [this] {
        if (const data::TData* dataset = Dataset())
            ShowTimeSeriesAnalysis(*dataset, this);
    });
    pcaLayout->addWidget(ts, 0, Qt::AlignLeft);
    Pages_->addTab(pca, "PCA");
    Pages_->addTab(MakeHistogramsPage(), "Histograms");
    Pages_->addTab(MakeObjectsPage(), "Objects");
    Pages_->addTab(MakeTTestPage(), "t-test");
    connect(Pages_, &QTabWidget::currentChanged, this,
            [this](int page) { Host_.Run([this, page] { PageShown(page); }); });

    auto* buttons = new QHBoxLayout;
    QPushButton* calculate = NamedButton("Calculate", "Calculate", this);
    QPushButton* excel = NamedButton("In Excel", "InExcel", this);
    Maximize_ = NamedButton("Maximize", "Maximize", this);
    QPushButton* close = NamedButton("Close", "Close", this);
    for (QPushButton* b : {calculate, excel, Maximize_})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    connect(calculate, &QPushButton::clicked, this, [this] { Host_.Run([this] { btnCalculateClick(); }); });
    connect(excel, &QPushButton::clicked, this, [this] { Host_.Run([this] { btnInExcelClick(); }); });
    connect(Maximize_, &QPushButton::clicked, this, [this] { btnMaximizeClick(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages_);
    layout->addLayout(buttons);
    resize(860, 560);
}

QWidget* TfmDataStat::MakeDistancesPage()
{
    auto* page = new QWidget(this);
    auto* controls = new QHBoxLayout;
    DistanceType_ = DistanceBox("DistanceType", page);
    SecondDistance_ = DistanceBox("SecondDistance", page);
    ObjectsButton_ = NamedButton("Objects", "Objects", page);
    CompareButton_ = NamedButton("Compare", "Compare", page);
    CompareLabel_ = new QLabel(page);
    CompareLabel_->setObjectName("CompareResult");
    controls->addWidget(new QLabel("Distance type", page));
    controls->addWidget(DistanceType_);
    controls->addWidget(ObjectsButton_);
    controls->addSpacing(16);
    controls->addWidget(new QLabel("Second distance", page));
    controls->addWidget(SecondDistance_);
    controls->addWidget(CompareButton_);
    controls->addWidget(CompareLabel_);
    controls->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(controls);
    layout->addWidget(Grids_[DistancesPage]);
    connect(ObjectsButton_, &QPushButton::clicked, this, [this] { Host_.Run([this] { btnObjectsClick(); }); });
    connect(CompareButton_, &QPushButton::clicked, this, [this] { Host_.Run([this] { btnCompareClick(); }); });
    return page;
}

QWidget* TfmDataStat::MakeTTestPage()
{
    auto* page = new QWidget(this);
    TTestFields_ = new QListWidget(page);
    TTestFields_->setObjectName("TTestFields");
    TTestFields_->setMaximumWidth(180);
    TTestClass_ = new QComboBox(page);
    TTestClass_->setObjectName("TTestClass");
    TTestVersus_ = new QComboBox(page);
    TTestVersus_->setObjectName("TTestVersus");
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Class", page));
    controls->addWidget(TTestClass_);
    controls->addWidget(new QLabel("against", page));
    controls->addWidget(TTestVersus_);
    controls->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(controls);
    right->addWidget(Grids_[TTestPage]);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(TTestFields_);
    layout->addLayout(right);
    return page;
}

TAnalysisGrid* TfmDataStat::Grid(TPage page) const
{
    return Grids_[page];
}

data::TData* TfmDataStat::Dataset() const
{
    return app::CurrentChain(Host_.Dispatcher().Project()).Dataset;
}

data::TDataTable* TfmDataStat::Table() const
{
    data::TData* dataset = Dataset();
    return dataset && dataset->Table ? dataset->Table : app::CurrentChain(Host_.Dispatcher().Project()).Table;
}

void TfmDataStat::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

void TfmDataStat::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    ObjectList_->Clear();
    Probable_->Clear();
    ProbableInClass_->Clear();
    NearestList_->clear();
    DiagramChart_->Clear();
    ObjectRecord_ = -1;
    if (OnClosed)
        OnClosed();
}

void TfmDataStat::Refresh()
{
    const data::TData* dataset = Dataset();
    const data::TDataTable* table = Table();
    if (dataset != Shown_) {
        Shown_ = dataset;
        for (int page : {DistancesPage, CorrelationsPage, PcaPage, TTestPage})
            Grids_[page]->Clear();
        Distances_.reset();
        CompareLabel_->clear();
        Diagram_ = {};
        DiagramChart_->Clear();
        NearestList_->clear();
        // The record list reads the table it was filled from.
        ObjectList_->Clear();
        Probable_->Clear();
        ProbableInClass_->Clear();
        ObjectRecord_ = -1;
    }
    ShowCommonHeaders();
    DistanceType_->setCurrentIndex(0);
    SecondDistance_->setCurrentIndex(0);

    const QString markField = MarkField_->currentText();
    QSignalBlocker blockMark(MarkField_);
    MarkField_->clear();
    HistogramFields_->clear();
    TTestFields_->clear();
    if (table)
        for (std::size_t f = 0; f < table->FieldNames.size(); ++f) {
            const QString name = QString::fromStdString(table->FieldNames[f]);
            MarkField_->addItem(name);
            HistogramFields_->addItem(name);
            if (f < table->FieldTypes.size() && data::IsNumericFieldType(table->FieldTypes[f]))
                TTestFields_->addItem(name);
        }
    MarkField_->setCurrentIndex(std::max(0, MarkField_->findText(markField)));

    const TArray1I classes = table ? analysis::ClassColorList(*table) : TArray1I();
    FillClassBox(TTestClass_, classes);
    const int versus = ChosenClass(TTestVersus_);
    TTestVersus_->clear();
    TTestVersus_->addItem("Other classes", -1);
    for (std::size_t k = 0; k < classes.size(); ++k)
        TTestVersus_->addItem(ColorSwatch(classes[k]), QString("Class %1").arg(k + 1), classes[k]);
    TTestVersus_->setCurrentIndex(std::max(0, TTestVersus_->findData(versus)));
    PageShown(Pages_->currentIndex());
}

void TfmDataStat::ShowCommonHeaders()
{
    const data::TData* dataset = Dataset();
    const int d = dataset ? dataset->CoordCount : 0;
    analysis::TStatGrid grid;
    grid.Resize(d + 2, 9);
    const char* headers[] = {"N", "Field", "Min", "Max", "Mean", "Stand.dev.", "Real mean", "Real min", "Real max"};
    for (int c = 0; c < 9; ++c)
        grid.At(0, c) = headers[c];
    grid.At(1, 1) = "Field";
    for (int i = 0; i < d; ++i) {
        grid.At(i + 2, 0) = std::to_string(i + 1);
        grid.At(i + 2, 1) = dataset->CoordNames[static_cast<std::size_t>(i)];
    }
    Grids_[CommonPage]->ShowGrid(grid);
}

void TfmDataStat::PageShown(int page)
{
    if (!isVisible())
        return;
    if (page == HistogramsPage) {
        if (BuildHistograms())
            DrawHistogram();
    } else if (page == ObjectsPage) {
        // The rankings bin with the "Bars" of the histograms page.
        BuildHistograms();
        FillObjectList();
    }
}

void TfmDataStat::btnCalculateClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    switch (Pages_->currentIndex()) {
    case CommonPage:
        Grids_[CommonPage]->ShowGrid(analysis::CalcCommon(*dataset).Grid);
        break;
    case DistancesPage: {
        analysis::TDistanceResult result;
        {
            TProgressScope progress("Calculating the distances...");
            result = analysis::CalcDist(*dataset, static_cast<analysis::TStatDistance>(DistanceType_->currentIndex()),
                                        progress.Callback());
        }
        if (!result.Message.empty()) {
            UserInterface().ShowMessage(result.Message);
            return;
        }
        if (result.Cancelled)
            return;
        auto table = std::make_shared<const analysis::TDistanceTable>(std::move(result.Table));
        Distances_ = table;
        TGridSource source;
        source.Rows = table->RowCount();
        source.Columns = table->ColumnCount();
        source.Text = [table](int r, int c) { return table->Text(r, c); };
        Grids_[DistancesPage]->ShowSource(std::move(source));
        break;
    }
    case CorrelationsPage: {
        Grids_[CorrelationsPage]->ShowGrid(analysis::CalcCorr(*dataset).Grid);
        // The name column is as wide as the widest name and 5 pixels more.
        int width = 0;
        for (const std::string& name : dataset->CoordNames)
            width = std::max(width, fontMetrics().horizontalAdvance(QString::fromStdString(name)));
        Grids_[CorrelationsPage]->setColumnWidth(0, width + 5 + 8);
        break;
    }
    case PcaPage: {
        QElapsedTimer timer;
        timer.start();
        const analysis::TComponentStatistics s = analysis::CalcMGK(*dataset, -1);
        Grids_[PcaPage]->ShowGrid(s.Grid);
        if (s.Count >= 0)
            setWindowTitle("Calculation took" + QString::number(timer.elapsed()));
        break;
    }
    case TTestPage: {
        const data::TDataTable* table = Table();
        if (!table)
            return;
        const int first = ChosenClass(TTestClass_);
        if (first == -1) {
            UserInterface().ShowMessage("Choose the class to test.");
            return;
        }
        const int second = TTestVersus_->currentIndex() >= 0 ? TTestVersus_->currentData().toInt() : -1;
        if (second == first) {
            UserInterface().ShowMessage("Choose two different classes.");
            return;
        }
        Grids_[TTestPage]->ShowGrid(analysis::CalcTTest(*table, analysis::GroupsByColor(*table, first, second)).Grid);
        break;
    }
    default:
        break;
    }
}

void TfmDataStat::btnObjectsClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    const analysis::TObjectDistances d =
        analysis::CalcObjectDistances(*dataset, static_cast<analysis::TStatDistance>(DistanceType_->currentIndex()));
    Distances_.reset();
    auto grid = std::make_shared<analysis::TStatGrid>(d.Grid);
    const TArray1I colors = d.Colors;
    TGridSource source;
    source.Rows = grid->RowCount();
    source.Columns = grid->ColumnCount();
    source.Text = [grid](int r, int c) { return grid->At(r, c); };
    source.Background = [colors](int r, int c) {
        const int object = (r == 0 ? c : c == 0 ? r : 0) - 1;
        return (r == 0) != (c == 0) && object >= 0 && static_cast<std::size_t>(object) < colors.size()
                   ? PackedColor(colors[static_cast<std::size_t>(object)])
                   : QColor();
    };
    Grids_[DistancesPage]->ShowSource(std::move(source));
}

void TfmDataStat::btnCompareClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    analysis::TCompareResult result;
    {
        TProgressScope progress("Comparing the distances...");
        result = analysis::CompareDistances(
            dataset->Points, static_cast<analysis::TStatDistance>(DistanceType_->currentIndex()),
            static_cast<analysis::TStatDistance>(SecondDistance_->currentIndex()), "dist", progress.Callback());
    }
    if (!result.Cancelled)
        CompareLabel_->setText(QString::fromStdString(result.Text));
}

void TfmDataStat::btnInExcelClick()
{
    const int page = Pages_->currentIndex();
    TArray2S cells;
    if (page == HistogramsPage) {
        cells = HistogramCells();
    } else if (page == CommonPage || page == DistancesPage || page == CorrelationsPage || page == PcaPage ||
               page == TTestPage) {
        const TAnalysisGrid* grid = Grids_[page];
        if (static_cast<long long>(grid->RowCount()) * grid->ColumnCount() > MaxExportCells) {
            UserInterface().ShowMessage(
                "The page has " + std::to_string(grid->RowCount()) + " x " + std::to_string(grid->ColumnCount()) +
                " cells, more than a worksheet export takes (" + std::to_string(MaxExportCells) + ").");
            return;
        }
        cells = grid->Cells();
    }
    if (cells.empty())
        return;
    OpenGridInSpreadsheet(cells, Pages_->tabText(page).toStdString(), OpenDocument);
}

void TfmDataStat::btnMaximizeClick()
{
    if (isMaximized()) {
        showNormal();
        Maximize_->setText("Maximize");
    } else {
        showMaximized();
        Maximize_->setText("Normal size");
    }
}

} // namespace orbelin::gui
