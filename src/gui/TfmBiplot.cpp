// The biplot window.
#include "gui/TfmBiplot.h"

#include "app/FileDialogs.h"
#include "app/SelectionCommands.h"
#include "app/TDispatcher.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "gui/TfrmMainWnd.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace orbelin::gui {

TfmBiplot::TfmBiplot(TfrmMainWnd& host) : QDialog(&host, Qt::Window), Host_(host)
{
    setObjectName("Biplot");
    setWindowTitle("Create a biplot");
    setModal(false);

    auto* load = new QPushButton("Load Colors and Sizes table", this);
    load->setObjectName("LoadColorsAndSizes");
    Status_ = new QLabel(QString::fromStdString(analysis::BiplotStatus(Styles_)), this);
    Status_->setObjectName("Status");
    Create_ = new QPushButton("Create biplot", this);
    Create_->setObjectName("CreateBiplot");
    Scale_ = new QSlider(Qt::Horizontal, this);
    Scale_->setObjectName("RayScale");
    Scale_->setRange(-100, 100);
    Scale_->setValue(0);
    Annotations_ = new QListWidget(this);
    Annotations_->setObjectName("FieldAnnotations");

    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(new QLabel("Scale", this));
    scaleRow->addWidget(Scale_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(load);
    layout->addWidget(Status_);
    layout->addWidget(Create_);
    layout->addLayout(scaleRow);
    layout->addWidget(new QLabel("Field annotations", this));
    layout->addWidget(Annotations_, 1);
    resize(320, 380);

    connect(load, &QPushButton::clicked, this, [this] { Host_.Run([this] { btnLoadClick(); }); });
    connect(Create_, &QPushButton::clicked, this, [this] { Host_.Run([this] { btnCreateClick(); }); });
    connect(Scale_, &QSlider::valueChanged, this, [this](int s) { Host_.Run([this, s] { ScaleChanged(s); }); });
    connect(Annotations_, &QListWidget::itemChanged, this, [this] {
        if (!Filling_)
            AnnotationChecked();
    });
}

map::TMap* TfmBiplot::Map() const
{
    return app::CurrentChain(Host_.Dispatcher().Project()).Map;
}

void TfmBiplot::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

void TfmBiplot::Refresh()
{
    Filling_ = true;
    Annotations_->clear();
    map::TMap* map = Map();
    if (map && map->Data && map->Data->Table) {
        const TArray1I& checked = analysis::ShownAnnotationColumns(*map);
        const TArray1S items = analysis::AnnotationItems(*map->Data->Table);
        for (std::size_t i = 0; i < items.size(); ++i) {
            auto* item = new QListWidgetItem(QString::fromStdString(items[i]), Annotations_);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            const bool on = std::find(checked.begin(), checked.end(), static_cast<int>(i)) != checked.end();
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
    }
    Filling_ = false;
    Create_->setEnabled(map != nullptr);
}

void TfmBiplot::AnnotationChecked()
{
    map::TMap* map = Map();
    if (!map)
        return;
    map->AnnotationColumns.clear();
    for (int row = 0; row < Annotations_->count(); ++row)
        if (Annotations_->item(row)->checkState() == Qt::Checked)
            map->AnnotationColumns.push_back(row);
}

void TfmBiplot::btnLoadClick()
{
    std::string fileName;
    if (!UserInterface().ChooseOpenFile(app::StyleSetFilter, fileName) || fileName.empty())
        return;
    app::SetWorkingDirectoryOf(fileName);
    LoadStyles(fileName);
}

void TfmBiplot::LoadStyles(const std::string& fileName)
{
    analysis::LoadBiplotStyles(fileName, Styles_);
    Status_->setText(QString::fromStdString(analysis::BiplotStatus(Styles_)));
}

void TfmBiplot::btnCreateClick()
{
    map::TMap* map = Map();
    if (!map)
        return;
    const std::string refusal = analysis::CreateBiplot(*map, Styles_);
    if (!refusal.empty()) {
        UserInterface().ShowMessage(refusal);
        return;
    }
    if (OnRaysChanged)
        OnRaysChanged(*map);
}

void TfmBiplot::ScaleChanged(int s)
{
    map::TMap* map = Map();
    if (!map || !map->Data || map->Data->Rays.empty())
        return;
    analysis::ScaleBiplot(*map, s);
    if (OnRaysChanged)
        OnRaysChanged(*map);
}

} // namespace orbelin::gui
