// The map window's tabs and its description of the map shown.
#include "gui/TfrmMap.h"

#include "data/TData.h"
#include "map/TMap.h"

#include <QLabel>
#include <QTabBar>
#include <QVBoxLayout>

namespace orbelin::gui {

TfrmMap::TfrmMap(QWidget* parent) : QWidget(parent), Tabs_(new QTabBar(this)), Text_(new QLabel(this))
{
    setObjectName("MapWindow");
    setWindowTitle("Map");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Tabs_);
    layout->addWidget(Text_, 1);
    Text_->setAlignment(Qt::AlignCenter);
    Text_->setWordWrap(true);
    connect(Tabs_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (OnMapTab && index >= 0)
            OnMapTab(index);
    });
}

void TfrmMap::SetDataset(data::TData* dataset)
{
    Dataset_ = dataset;
    Map_ = dataset ? dataset->CurrentMap() : nullptr;
    ShowNames();
}

void TfrmMap::SwitchMap(map::TMap* map)
{
    Map_ = map;
    ShowNames();
}

void TfrmMap::ShowNames()
{
    while (Tabs_->count() > 0)
        Tabs_->removeTab(0);
    if (Dataset_)
        for (const auto& map : Dataset_->Maps)
            Tabs_->addTab(QString::fromStdString(map->Name));
    int current = -1;
    if (Dataset_)
        for (std::size_t m = 0; m < Dataset_->Maps.size(); ++m)
            if (Dataset_->Maps[m].get() == Map_)
                current = static_cast<int>(m);
    Tabs_->setCurrentIndex(current);
    QString text;
    if (Dataset_) {
        text = QString("Dataset %1: %2 points, %3 coordinates")
                   .arg(QString::fromStdString(Dataset_->Name))
                   .arg(Dataset_->PointCount)
                   .arg(Dataset_->CoordCount);
        if (Map_)
            text +=
                QString("\nMap %1: %2")
                    .arg(QString::fromStdString(Map_->Name),
                         Map_->Grid ? QString("%1 nodes").arg(Map_->Grid->NodeCount()) : QString("not initialised"));
    }
    Text_->setText(text);
    setWindowTitle(Dataset_ ? "Map - " + QString::fromStdString(Dataset_->Name) : QString("Map"));
}

} // namespace orbelin::gui
