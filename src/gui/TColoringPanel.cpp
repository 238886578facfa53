// The Coloring panel's tree and parameter controls.
#include "gui/TColoringPanel.h"

#include "coloring/ColorSchemes.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTableGrid.h"
#include "map/TMap.h"
#include "view/ColoringEvents.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

QColor ChannelColor(const coloring::TRgb& rgb)
{
    return QColor(std::clamp(rgb[0], 0, 255), std::clamp(rgb[1], 0, 255), std::clamp(rgb[2], 0, 255));
}

} // namespace

TColoringPanel::TColoringPanel(TfrmMainWnd& host, QWidget* parent)
    : TPanel(app::ColoringPanel, "Coloring", host, parent), Main_(host)
{
    QWidget* content = AddScrollingContent();
    auto* layout = static_cast<QVBoxLayout*>(content->layout());

    Colorings_ = new QCheckBox("Colorings", content);
    Colorings_->setObjectName("ColoringsSwitch");
    layout->addWidget(Colorings_);

    Tree_ = new QTreeWidget(content);
    Tree_->setObjectName("ColoringTree");
    Tree_->setHeaderHidden(true);
    Tree_->setMinimumHeight(Tree_->fontMetrics().height() * 10);
    layout->addWidget(Tree_, 1);

    auto* parameters = new QLabel("Parameters of coloring", content);
    layout->addWidget(parameters);
    auto* grid = new QGridLayout;
    int row = 0;
    const auto add = [&](const QString& caption, QWidget* widget) {
        grid->addWidget(new QLabel(caption, content), row, 0);
        grid->addWidget(widget, row++, 1);
    };
    Scheme_ = new QComboBox(content);
    Scheme_->setObjectName("ColorScheme");
    for (const std::string& name : coloring::ColorSchemeNames())
        Scheme_->addItem(QString::fromStdString(name));
    add("Color scheme", Scheme_);
    Palette_ = new QComboBox(content);
    Palette_->setObjectName("Palette");
    Palette_->addItems({"Continuous", "Discrete"});
    add("Palette", Palette_);
    Tints_ = new QSpinBox(content);
    Tints_->setObjectName("TintsNumber");
    Tints_->setRange(2, 256);
    Tints_->setValue(2);
    Tints_->setKeyboardTracking(false);
    add("Tints number", Tints_);
    layout->addLayout(grid);

    TintsGrid_ = new QTableWidget(0, 2, content);
    TintsGrid_->setObjectName("Tints");
    TintsGrid_->horizontalHeader()->hide();
    TintsGrid_->verticalHeader()->hide();
    TintsGrid_->horizontalHeader()->setStretchLastSection(true);
    TintsGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TintsGrid_->setSelectionMode(QAbstractItemView::NoSelection);
    TintsGrid_->setMaximumHeight(TintsGrid_->fontMetrics().height() * 8);
    layout->addWidget(TintsGrid_);

    Inversion_ = new QCheckBox("Color inversion ", content);
    Inversion_->setObjectName("ColorInversion");
    Inversion_->setToolTip("Small values dark, large values light");
    Log_ = new QCheckBox("Logarithmic coloring", content);
    Log_->setObjectName("LogarithmicColoring");
    Log_->setToolTip("Tints follow the logarithm of the value above its minimum, over two decades");
    layout->addWidget(Inversion_);
    layout->addWidget(Log_);

    auto* numbers = new QGridLayout;
    Smoothness_ = new QSpinBox(content);
    Smoothness_->setObjectName("Smoothness");
    Smoothness_->setRange(1, 100);
    Smoothness_->setKeyboardTracking(false);
    Radius_ = new QDoubleSpinBox(content);
    Radius_->setObjectName("CorrRadius");
    Radius_->setRange(1e-5, 100);
    Radius_->setDecimals(5);
    Radius_->setSingleStep(0.1);
    Radius_->setValue(0.25);
    Radius_->setKeyboardTracking(false);
    Relief_ = new QSlider(Qt::Horizontal, content);
    Relief_->setObjectName("Relief");
    Relief_->setRange(0, 100);
    ReliefValue_ = new QSpinBox(content);
    ReliefValue_->setObjectName("ReliefValue");
    ReliefValue_->setRange(0, 100);
    ReliefValue_->setKeyboardTracking(false);
    numbers->addWidget(new QLabel("Smoothness:", content), 0, 0);
    numbers->addWidget(Smoothness_, 0, 1);
    numbers->addWidget(new QLabel("Corr. radius:", content), 1, 0);
    numbers->addWidget(Radius_, 1, 1);
    numbers->addWidget(new QLabel("Relief", content), 2, 0);
    numbers->addWidget(ReliefValue_, 2, 1);
    numbers->addWidget(Relief_, 3, 0, 1, 2);
    layout->addLayout(numbers);
    AddButton(layout, "Apply", "ApplyColoring", [this] { OnMap([](map::TMap& map) { view::ApplyColoring(map); }); });

    connect(Tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (Filling_ || !item)
            return;
        const int code = item->data(0, CodeRole).toInt();
        OnMap([code](map::TMap& map) { view::SelectColoring(map, code); });
    });
    const auto schemeAndTints = [this] {
        if (Filling_)
            return;
        const int scheme = Scheme_->currentIndex(), tints = Tints_->value();
        OnMap([scheme, tints](map::TMap& map) { view::SetSchemeAndTints(map, scheme, tints); });
        ShowTints(Chain().Map);
    };
    connect(Scheme_, &QComboBox::activated, this, schemeAndTints);
    connect(Tints_, &QSpinBox::valueChanged, this, schemeAndTints);
    connect(Palette_, &QComboBox::activated, this,
            [this](int item) { OnMap([item](map::TMap& map) { view::SetDiscretePalette(map, item == 1); }); });
    connect(Smoothness_, &QSpinBox::valueChanged, this,
            [this](int value) { OnMap([value](map::TMap& map) { view::SetSmoothness(map, value); }); });
    connect(Radius_, &QDoubleSpinBox::valueChanged, this,
            [this](double value) { OnMap([value](map::TMap& map) { view::SetCorrRadius(map, value); }); });
    connect(Relief_, &QSlider::valueChanged, this, [this](int value) {
        if (Filling_)
            return;
        const QSignalBlocker block(ReliefValue_);
        ReliefValue_->setValue(value);
        OnMap([value](map::TMap& map) { view::SetRelief(map, value); });
    });
    connect(ReliefValue_, &QSpinBox::valueChanged, Relief_, &QSlider::setValue);
    connect(Inversion_, &QCheckBox::toggled, this,
            [this](bool on) { OnMap([on](map::TMap& map) { view::SetColorInversion(map, on); }); });
    connect(Log_, &QCheckBox::toggled, this,
            [this](bool on) { OnMap([on](map::TMap& map) { view::SetLogColoring(map, on); }); });
    connect(Colorings_, &QCheckBox::toggled, this, [this](bool on) {
        if (!Filling_)
            Host_.Run([this, on] { Main_.SetDrawingSwitch(view::TDrawingSwitch::Colorings, on); });
    });
    Refresh();
}

void TColoringPanel::OnMap(const std::function<void(map::TMap&)>& change)
{
    if (Filling_)
        return;
    Host_.Run([this, &change] {
        map::TMap* map = Chain().Map;
        if (!map)
            return;
        change(*map);
        Main_.MapViewChanged();
    });
}

QTreeWidgetItem* TColoringPanel::ItemOf(int code) const
{
    const std::vector<int> path = Model_.PathOf(code);
    if (path.empty())
        return nullptr;
    QTreeWidgetItem* item = Tree_->topLevelItem(path[0]);
    for (std::size_t i = 1; item && i < path.size(); ++i)
        item = item->child(path[i]);
    return item;
}

void TColoringPanel::FillTree(const map::TMap* map)
{
    Model_.Rebuild(map);
    Tree_->clear();
    const auto add = [this](const auto& self, const coloring::TColoringNode& node, QTreeWidgetItem* parent) -> void {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(Tree_);
        item->setText(0, QString::fromStdString(node.Text));
        item->setData(0, CodeRole, node.Code);
        for (const coloring::TColoringNode& child : node.Children)
            self(self, child, item);
        item->setExpanded(node.Expanded);
    };
    for (const coloring::TColoringNode& root : Model_.Roots())
        add(add, root, nullptr);
    QTreeWidgetItem* selected = nullptr;
    if (!Model_.Selected.empty()) {
        selected = Tree_->topLevelItem(Model_.Selected[0]);
        for (std::size_t i = 1; selected && i < Model_.Selected.size(); ++i)
            selected = selected->child(Model_.Selected[i]);
    }
    Tree_->setCurrentItem(selected);
}

void TColoringPanel::ShowTints(const map::TMap* map)
{
    const TArray2D tints = map && !map->Tints.empty() ? map->Tints : coloring::BuildTints(Tints_->value());
    const int scheme = map ? map->ColorScheme : Scheme_->currentIndex();
    TintsGrid_->setRowCount(static_cast<int>(tints.size()));
    for (int r = 0; r < static_cast<int>(tints.size()); ++r) {
        const TArray1D& tint = tints[static_cast<std::size_t>(r)];
        TintsGrid_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(coloring::TintLabel(tint))));
        auto* swatch = new QTableWidgetItem;
        swatch->setBackground(ChannelColor(coloring::TintColor(scheme, tint.size() > 2 ? tint[2] : 0)));
        TintsGrid_->setItem(r, 1, swatch);
    }
}

void TColoringPanel::Refresh()
{
    const map::TMap* map = Chain().Map;
    Filling_ = true;
    FillTree(map);
    if (map) {
        Scheme_->setCurrentIndex(map->ColorScheme);
        Palette_->setCurrentIndex(map->DiscretePalette ? 1 : 0);
        if (!map->Tints.empty())
            Tints_->setValue(std::clamp(static_cast<int>(map->Tints.size()), 2, 256));
        Smoothness_->setValue(map->Smoothness);
        Radius_->setValue(map->CorrRadius);
        const int relief = coloring::Nearest(map->Relief * 100);
        Relief_->setValue(relief);
        ReliefValue_->setValue(relief);
        Inversion_->setChecked(map->ColorInversion);
        Log_->setChecked(map->LogColoring);
        Main_.AdoptSwitchesOf(*map);
    }
    Colorings_->setChecked(Main_.Switches().Colorings);
    Colorings_->setEnabled(map && map->Grid);
    ShowTints(map);
    for (QWidget* widget : std::initializer_list<QWidget*>{Tree_, Scheme_, Palette_, Tints_, Smoothness_, Radius_,
                                                           Relief_, ReliefValue_, Inversion_, Log_})
        widget->setEnabled(map != nullptr);
    Filling_ = false;
}

} // namespace orbelin::gui
