// The statistics and object analysis windows under a real X server, driven from the main
// window's toggles through their main paths on the demonstration project and on a CSV
// table.
#include "GuiTestUtil.h"
#include "analysis/DatasetStatistics.h"
#include "analysis/StatDistances.h"
#include "app/AppTestUtil.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "gui/TAnalysisGrid.h"
#include "gui/TBarChart.h"
#include "gui/TObjectTreeView.h"
#include "gui/TfmColorPoints.h"
#include "gui/TfmDataStat.h"
#include "gui/TfrmMainWnd.h"
#include "map/TMap.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numeric>
#include <set>

namespace orbelin::gui {
namespace {

using test::Click;
using test::TDemoSession;

TEST(AnalysisWindowsTest, StatisticsToggleOpensTheWindowAndClosingReleasesIt)
{
    TDemoSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    QAction* toggle = s.Window.Action("Statistics");
    ASSERT_TRUE(toggle->isEnabled());
    toggle->trigger();
    TfmDataStat* stat = s.Window.StatisticsWindow();
    ASSERT_TRUE(stat->isVisible());
    EXPECT_EQ("Calc Statistics", stat->windowTitle());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(7, stat->Pages()->count());
    stat->close();
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(stat->isVisible());
    toggle->trigger();
    EXPECT_FALSE(stat->isVisible());

    QAction* analysis = s.Window.Action("ObjectAnalysis");
    analysis->trigger();
    TfmColorPoints* points = s.Window.ObjectAnalysisWindow();
    ASSERT_TRUE(points->isVisible());
    EXPECT_EQ("Object analysis", points->windowTitle());
    EXPECT_TRUE(s.Window.Action("AnalysisOfObjects")->isChecked());
    EXPECT_EQ(5, points->Pages()->count());
    points->close();
    EXPECT_FALSE(analysis->isChecked());
    EXPECT_FALSE(s.Window.Action("AnalysisOfObjects")->isChecked());
}

TEST(AnalysisWindowsTest, StatisticsWindowComputesEveryPageOfTheDemonstration)
{
    TDemoSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    s.Window.Action("Statistics")->trigger();
    TfmDataStat* stat = s.Window.StatisticsWindow();
    QUrl opened;
    stat->OpenDocument = [&](const QUrl& url) {
        opened = url;
        return true;
    };

    // "Common": headers on showing, the numbers on "Calculate".
    TAnalysisGrid* common = stat->Grid(TfmDataStat::CommonPage);
    ASSERT_EQ(6, common->RowCount());
    EXPECT_EQ("sepal_length_cm", common->Text(2, 1));
    EXPECT_EQ("", common->Text(2, 2));
    Click(*stat, "Calculate");
    EXPECT_EQ(analysis::CalcCommon(*s.Dataset).Grid.Cells, common->Cells());
    EXPECT_NE("", common->Text(2, 2));
    // What a user copies is the selected cells, tab-separated.
    common->selectionModel()->select(common->model()->index(0, 0), QItemSelectionModel::Select);
    common->selectionModel()->select(common->model()->index(0, 1), QItemSelectionModel::Select);
    common->CopySelection();
    EXPECT_EQ("N\tField\n", QApplication::clipboard()->text());
    Click(*stat, "InExcel");
    ASSERT_TRUE(opened.isLocalFile());
    EXPECT_TRUE(std::filesystem::exists(opened.toLocalFile().toStdString()));
    std::filesystem::remove(opened.toLocalFile().toStdString());

    // "Distances": the table of all 150 points, and "Compare" with its file.
    stat->Pages()->setCurrentIndex(TfmDataStat::DistancesPage);
    stat->DistanceType()->setCurrentIndex(1);
    Click(*stat, "Calculate");
    TAnalysisGrid* distances = stat->Grid(TfmDataStat::DistancesPage);
    ASSERT_EQ(151, distances->RowCount());
    const double d12 = analysis::StatDistance(s.Dataset->Points[0], s.Dataset->Points[1], analysis::TStatDistance::L1);
    EXPECT_EQ(data::FixedText(d12, 8, 6), distances->Text(2, 1));
    EXPECT_EQ("1", distances->Text(0, 1));
    stat->SecondDistance()->setCurrentIndex(2);
    Click(*stat, "Compare");
    EXPECT_TRUE(stat->CompareLabel()->text().startsWith("Corr.coeff = "));
    EXPECT_TRUE(std::filesystem::exists(s.Dir.File("dist")));

    // "Correlations" and "PCA".
    stat->Pages()->setCurrentIndex(TfmDataStat::CorrelationsPage);
    Click(*stat, "Calculate");
    EXPECT_EQ(analysis::CalcCorr(*s.Dataset).Grid.Cells, stat->Grid(TfmDataStat::CorrelationsPage)->Cells());
    stat->Pages()->setCurrentIndex(TfmDataStat::PcaPage);
    Click(*stat, "Calculate");
    TAnalysisGrid* pca = stat->Grid(TfmDataStat::PcaPage);
    EXPECT_EQ(7, pca->ColumnCount()); // all four components
    EXPECT_EQ("Dispers", pca->Text(1, 2));
    EXPECT_TRUE(stat->windowTitle().startsWith("Calculation took"));

    // "Histograms": per class, then unified; "Select on map" on a bar.
    stat->Pages()->setCurrentIndex(TfmDataStat::HistogramsPage);
    stat->HistogramFields()->setCurrentRow(2);
    EXPECT_EQ(3, stat->HistogramChart()->SeriesCount());
    EXPECT_EQ(10, stat->HistogramChart()->BarCount());
    stat->Unified()->setChecked(true);
    EXPECT_EQ(1, stat->HistogramChart()->SeriesCount());
    s.Dataset->MarkedPoints.clear();
    s.Dataset->MarkColors.clear();
    s.Dataset->MarkSizes.clear();
    stat->HistogramChart()->RememberBar(0, 0);
    stat->HistogramChart()->SelectOnMapAction()->trigger();
    // Petal length's first bar holds the short petals of one species.
    EXPECT_GT(s.Dataset->MarkedPoints.size(), 10u);
    EXPECT_EQ(s.Window.SelectionProperties().Color, s.Dataset->MarkColors.front());
    stat->Bars()->setValue(5);
    EXPECT_EQ(5, stat->HistogramChart()->BarCount());

    // "Objects": a record's rankings, distance diagram and nearest records.
    stat->Pages()->setCurrentIndex(TfmDataStat::ObjectsPage);
    ASSERT_EQ(151, stat->ObjectList()->RowCount());
    stat->ObjectList()->setCurrentIndex(stat->ObjectList()->model()->index(3, 0));
    EXPECT_EQ(5, stat->Probable()->RowCount());
    EXPECT_EQ("Prob.class.", stat->ProbableInClass()->Text(0, 0));
    EXPECT_EQ(3, stat->DiagramChart()->SeriesCount());
    // 150 points, 10 bars: round(0.5 (149 / 10 + 1)) = 8 nearest records.
    EXPECT_EQ(8, stat->NearestList()->count());
    EXPECT_TRUE(stat->NearestList()->item(0)->text().startsWith("1\t"));
    const std::size_t marked = s.Dataset->MarkedPoints.size();
    stat->DiagramChart()->RememberBar(0, 9);
    stat->DiagramChart()->SelectOnMapAction()->trigger();
    EXPECT_GT(s.Dataset->MarkedPoints.size(), marked);

    // "t-test": the first class against the others; every petal measure differs.
    stat->Pages()->setCurrentIndex(TfmDataStat::TTestPage);
    EXPECT_EQ(4, stat->TTestFields()->count());
    ASSERT_EQ(3, stat->TTestClass()->count());
    Click(*stat, "Calculate");
    TAnalysisGrid* ttest = stat->Grid(TfmDataStat::TTestPage);
    ASSERT_EQ(5, ttest->RowCount());
    EXPECT_EQ("50", ttest->Text(1, 1));
    EXPECT_EQ("100", ttest->Text(1, 2));
    EXPECT_NE("", ttest->Text(3, 7));
    EXPECT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();

    // "Center data on this point": record 3's point becomes the origin.
    stat->Pages()->setCurrentIndex(TfmDataStat::ObjectsPage);
    stat->ObjectList()->setCurrentIndex(stat->ObjectList()->model()->index(4, 0));
    Click(*stat, "CenterData");
    for (double x : s.Dataset->Points[3])
        EXPECT_EQ(0, x);
}

TEST(AnalysisWindowsTest, ObjectAnalysisWindowClustersAndSeparatesTheDemonstration)
{
    TDemoSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    s.Window.Action("ObjectAnalysis")->trigger();
    TfmColorPoints* w = s.Window.ObjectAnalysisWindow();

    // "By colors": the three species.
    w->Method()->setCurrentIndex(static_cast<int>(analysis::TClusterMethod::ByColors));
    EXPECT_EQ(3, w->ClusterCount()->value());
    EXPECT_FALSE(w->ClusterCount()->isEnabled());
    Click(*w, "Analyze");
    ASSERT_EQ(3, w->ColorTable()->rowCount());
    EXPECT_TRUE(w->ColorTable()->item(0, 2)->text().startsWith("50/"));
    EXPECT_TRUE(w->DeviationLabel()->text().startsWith("Class-class deviation = "));
    EXPECT_EQ(150u, s.Dataset->MarkedPoints.size());

    // K-Means with 2 clusters, then the cluster numbers in the table.
    w->Method()->setCurrentIndex(static_cast<int>(analysis::TClusterMethod::KMeans));
    EXPECT_TRUE(w->ClusterCount()->isEnabled());
    EXPECT_FALSE(w->Sensitivity()->isVisibleTo(w));
    w->ClusterCount()->setValue(2);
    ASSERT_EQ(2, w->ColorTable()->rowCount());
    Click(*w, "Analyze");
    Click(*w, "NumbersInTable");
    ASSERT_EQ("Class", s.Dataset->ResultColumnNames.back());
    std::set<std::string> numbers(s.Dataset->ResultColumns.back().begin(), s.Dataset->ResultColumns.back().end());
    EXPECT_EQ((std::set<std::string>{" 1", " 2"}), numbers);

    // A cluster's colour is chosen in the colour table.
    w->ChooseColor = [](const QColor&, QWidget*) { return QColor(10, 20, 30); };
    w->ColorCellClicked(1);
    EXPECT_EQ(0x1E140A, w->Clusters().Colors[1]);

    // Hierarchical, by count, sets the slider from its last merge.
    w->Method()->setCurrentIndex(static_cast<int>(analysis::TClusterMethod::HierarchicalCount));
    EXPECT_TRUE(w->Sensitivity()->isVisibleTo(w));
    w->ClusterCount()->setValue(3);
    Click(*w, "Analyze");
    EXPECT_EQ(3u, w->Clusters().Clusters.size());
    EXPECT_FALSE(s.Dataset->ClusterLinks.empty());
    Click(*w, "Cancel");
    EXPECT_TRUE(s.Dataset->MarkedPoints.empty());
    EXPECT_TRUE(s.Dataset->ClusterLinks.empty());

    // "Select": hide the second species, then show every class again.
    w->Pages()->setCurrentIndex(TfmColorPoints::SelectPage);
    ASSERT_EQ(3, w->ClassList()->count());
    w->ClassList()->item(1)->setCheckState(Qt::Unchecked);
    Click(*w, "ApplyClasses");
    int shown = 0;
    for (int v : s.Dataset->Visibility)
        shown += v;
    EXPECT_EQ(100, shown);
    Click(*w, "CheckAllClasses");
    Click(*w, "ApplyClasses");
    EXPECT_EQ(150, std::accumulate(s.Dataset->Visibility.begin(), s.Dataset->Visibility.end(), 0));
    w->SelectClass()->setCurrentIndex(2);
    Click(*w, "SelectClassPoints");
    EXPECT_EQ(50u, s.Dataset->MarkedPoints.size());

    // "Values analysis" on the demonstration map.
    w->Pages()->setCurrentIndex(TfmColorPoints::ValuesPage);
    Click(*w, "ValuesAnalyze");
    EXPECT_NE("", w->RangeLabel(0)->text().toStdString());
    EXPECT_EQ(150u, w->Values().Sizes.size());
    Click(*w, "ValuesInTable");
    EXPECT_EQ("MSE", s.Dataset->ResultColumnNames.back());

    // "LDA": the first species from the others, then "Test".
    w->Pages()->setCurrentIndex(TfmColorPoints::LdaPage);
    ASSERT_EQ(5, w->LdaFields()->count());
    EXPECT_EQ(Qt::Unchecked, w->LdaFields()->item(4)->checkState());
    Click(*w, "LdaAnalyze");
    ASSERT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
    EXPECT_EQ(5u, s.Dataset->SeparatingFunction.size());
    EXPECT_TRUE(w->LdaLine(0)->text().startsWith("Overall "));
    EXPECT_TRUE(w->LdaFields()->item(4)->text().startsWith("A0 ("));
    Click(*w, "LdaTest");
    EXPECT_TRUE(w->LdaLine(0)->text().startsWith("Overall error "));

    // "LR": petal width from the other measures.
    w->Pages()->setCurrentIndex(TfmColorPoints::LrPage);
    w->LrField()->setCurrentIndex(3);
    Click(*w, "LrAnalyze");
    ASSERT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
    EXPECT_EQ(Qt::Unchecked, w->LrFields()->item(3)->checkState()); // the target's namesake
    EXPECT_EQ(5u, s.Dataset->RegressionFunction.size());
    EXPECT_EQ(0, s.Dataset->RegressionFunction[4]);
    EXPECT_TRUE(w->LrErrors()->text().startsWith("number of errors = "));
    const QString before = w->LrErrors()->text();
    w->Quality()->setValue(w->Quality()->value() * 4);
    EXPECT_NE(before, w->LrErrors()->text());
    Click(*w, "LrInTable");
    EXPECT_EQ("ЛР", s.Dataset->ResultColumnNames.back());
}

TEST(AnalysisWindowsTest, BothWindowsWorkOnADatasetFromACsvTable)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd{dir.Path()};
    test::TScriptedUser user;
    TfrmMainWnd window{false};
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    test::WriteBytes(dir.File("clouds.csv"), test::TwoCloudsCsv);
    // Without a dataset neither window opens.
    EXPECT_FALSE(window.Action("Statistics")->isEnabled());
    ASSERT_NO_FATAL_FAILURE(test::CreateDatasetAndMap(window, dir.File("clouds.csv"), 2));
    const app::TCurrentChain chain = app::CurrentChain(window.Dispatcher().Project());
    ASSERT_TRUE(chain.Dataset && chain.Map);
    ASSERT_EQ(10, chain.Dataset->PointCount);

    // Two clusters become two classes.
    window.Action("ObjectAnalysis")->trigger();
    TfmColorPoints* w = window.ObjectAnalysisWindow();
    ASSERT_TRUE(w->isVisible());
    w->ClusterCount()->setValue(2);
    Click(*w, "Analyze");
    Click(*w, "RememberColors");
    std::set<int> colours;
    for (const PointStyle& style : chain.Table->PointStyles)
        colours.insert(style[FILLCOLOR]);
    ASSERT_EQ(2u, colours.size());
    EXPECT_EQ(2, w->SelectClass()->count());

    // The classes separate, and z follows x and y.
    w->Pages()->setCurrentIndex(TfmColorPoints::LdaPage);
    Click(*w, "LdaAnalyze");
    ASSERT_TRUE(user.Messages.empty()) << user.Messages.front();
    EXPECT_EQ("Error 1 type 0.000% TP=5,FN=0)", w->LdaLine(1)->text().toStdString());
    w->Pages()->setCurrentIndex(TfmColorPoints::LrPage);
    ASSERT_EQ(3, w->LrField()->count());
    w->LrField()->setCurrentIndex(2);
    Click(*w, "LrAnalyze");
    ASSERT_TRUE(user.Messages.empty()) << user.Messages.front();
    EXPECT_EQ(3u, chain.Dataset->RegressionFunction.size());

    // The statistics of the two classes.
    window.Action("Statistics")->trigger();
    TfmDataStat* stat = window.StatisticsWindow();
    Click(*stat, "Calculate");
    EXPECT_EQ(analysis::CalcCommon(*chain.Dataset).Grid.Cells, stat->Grid(TfmDataStat::CommonPage)->Cells());
    stat->Pages()->setCurrentIndex(TfmDataStat::TTestPage);
    Click(*stat, "Calculate");
    TAnalysisGrid* ttest = stat->Grid(TfmDataStat::TTestPage);
    ASSERT_EQ(4, ttest->RowCount());
    EXPECT_EQ("5", ttest->Text(1, 1));
    EXPECT_EQ("5", ttest->Text(1, 2));
    EXPECT_TRUE(user.Messages.empty()) << user.Messages.front();

    // Deleting the dataset closes both windows.
    window.Tree()->setCurrentItem(test::ItemAt(*window.Tree(), {10000, 2}));
    user.Answers = {TUserInterface::TAnswer::Yes};
    Click(window, "DeleteDataset");
    ASSERT_EQ(nullptr, app::CurrentChain(window.Dispatcher().Project()).Dataset);
    EXPECT_FALSE(stat->isVisible());
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(window.Action("Statistics")->isChecked());
    EXPECT_FALSE(window.Action("ObjectAnalysis")->isEnabled());
}

} // namespace
} // namespace orbelin::gui
