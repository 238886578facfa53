// The main window's side of the statistics and object analysis windows: their toggles,
// and keeping them with the current dataset.
#include "app/TDispatcher.h"
#include "gui/TfmColorPoints.h"
#include "gui/TfmDataStat.h"
#include "gui/TfrmMainWnd.h"

#include <QAction>
#include <QScreen>

namespace orbelin::gui {

namespace {

void ShowTool(QDialog* window)
{
    if (!window->property("placed").toBool()) {
        if (const QScreen* screen = window->screen())
            window->move(screen->availableGeometry().center() - window->rect().center());
        window->setProperty("placed", true);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void TfrmMainWnd::CreateAnalysisTools()
{
    DataStat_ = new TfmDataStat(*this);
    DataStat_->hide();
    ColorPoints_ = new TfmColorPoints(*this);
    ColorPoints_->hide();
    const auto toggle = [this](QDialog* window, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            QAction* action = Actions_.value(name);
            action->setProperty("pending", false);
            action->setCheckable(true);
            connect(action, &QAction::triggered, this, [this, window](bool on) {
                Run([this, window, on] {
                    // The windows work on the current dataset: they open only with one.
                    if (on && app::CurrentChain(Dispatcher_.Project()).Dataset)
                        ShowTool(window);
                    else
                        window->close();
                    RefreshAnalysisTools();
                });
            });
        }
    };
    toggle(DataStat_, {"Statistics"});
    toggle(ColorPoints_, {"AnalysisOfObjects", "ObjectAnalysis"});
    DataStat_->OnClosed = [this] { Actions_.value("Statistics")->setChecked(false); };
    ColorPoints_->OnClosed = [this] {
        Actions_.value("AnalysisOfObjects")->setChecked(false);
        Actions_.value("ObjectAnalysis")->setChecked(false);
    };
}

void TfrmMainWnd::RefreshAnalysisTools()
{
    if (!DataStat_ || Destroying_)
        return;
    const data::TData* dataset = app::CurrentChain(Dispatcher_.Project()).Dataset;
    if (!dataset) {
        DataStat_->close();
        ColorPoints_->close();
    } else if (dataset != AnalysisDataset_) {
        if (DataStat_->isVisible())
            DataStat_->Refresh();
        if (ColorPoints_->isVisible())
            ColorPoints_->Refresh();
    }
    AnalysisDataset_ = dataset;
    Actions_.value("Statistics")->setEnabled(dataset != nullptr);
    Actions_.value("Statistics")->setChecked(DataStat_->isVisible());
    for (const char* name : {"AnalysisOfObjects", "ObjectAnalysis"}) {
        Actions_.value(name)->setEnabled(dataset != nullptr);
        Actions_.value(name)->setChecked(ColorPoints_->isVisible());
    }
}

} // namespace orbelin::gui
