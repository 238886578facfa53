// The object manipulation window's panel stack, the list panels and the placeholder panels.
#include "gui/TObjectPanels.h"

#include "data/TData.h"
#include "map/TMap.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace orbelin::gui {

TPanel::TPanel(int number, const QString& title, TPanelHost& host, QWidget* parent)
    : QWidget(parent), Host_(host), Body_(new QVBoxLayout(this)), Number_(number), Title_(new QLabel(title, this))
{
    setObjectName(QString("Panel%1").arg(number));
    Body_->setContentsMargins(4, 4, 4, 4);
    QFont bold = Title_->font();
    bold.setBold(true);
    Title_->setFont(bold);
    Title_->setObjectName("PanelTitle");
    Body_->addWidget(Title_);
}

QString TPanel::Title() const
{
    return Title_->text();
}

void TPanel::SetTitle(const QString& title)
{
    Title_->setText(title);
}

app::TCurrentChain TPanel::Chain()
{
    return app::CurrentChain(Host_.Dispatcher().Project());
}

QCheckBox* TPanel::AddSectionSwitch(const QString& caption, std::vector<QWidget*> widgets)
{
    auto* box = new QCheckBox(caption, this);
    box->setObjectName("SectionSwitch");
    box->setChecked(true);
    Body_->insertWidget(1, box);
    connect(box, &QCheckBox::toggled, this, [widgets](bool on) {
        for (QWidget* widget : widgets) {
            widget->setEnabled(on);
            if (auto* list = qobject_cast<QListWidget*>(widget)) {
                QPalette palette = list->palette();
                palette.setColor(QPalette::Base, QApplication::palette().color(on ? QPalette::Base : QPalette::Button));
                list->setPalette(palette);
            }
        }
    });
    return box;
}

QWidget* TPanel::AddScrollingContent()
{
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(scroll);
    new QVBoxLayout(content);
    content->layout()->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(content);
    Body_->addWidget(scroll, 1);
    return content;
}

QPushButton* TPanel::AddButton(QLayout* layout, const QString& caption, const char* name, std::function<void()> click)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    layout->addWidget(button);
    if (click)
        connect(button, &QPushButton::clicked, this, [this, click] { Host_.Run(click); });
    return button;
}

TListPanel::TListPanel(int number, const QString& title, app::TObjectList list, const std::vector<TButton>& buttons,
                       TPanelHost& host, QWidget* parent)
    : TPanel(number, title, host, parent), Kind_(list), List_(new QListWidget(this))
{
    List_->setObjectName("List");
    Body_->addWidget(List_, 1);
    std::vector<QWidget*> switched{List_};
    for (const TButton& button : buttons)
        switched.push_back(AddButton(Body_, button.Caption, button.Name, button.Click));
    Switch_ = AddSectionSwitch(title, switched);
    connect(List_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (Filling_ || row < 0)
            return;
        Host_.Run([this, row] { Host_.Apply(Host_.Dispatcher().ListClick(Kind_, row)); });
    });
}

void TListPanel::Refresh()
{
    const app::TCurrentChain chain = Chain();
    const app::TProject* project = Host_.Dispatcher().Project();
    QStringList names;
    int current = -1;
    switch (Kind_) {
    case app::TObjectList::Scripts:
        if (project) {
            for (const auto& script : project->Scripts)
                names << QString::fromStdString(script->Name);
            current = project->CurrentScript;
        }
        break;
    case app::TObjectList::Tables:
        if (chain.Script) {
            for (const auto& table : chain.Script->Tables)
                names << QString::fromStdString(table->Name);
            current = chain.Table ? chain.Script->CurrentTable : -1;
        }
        break;
    case app::TObjectList::Datasets:
        if (chain.Script) {
            for (const auto& dataset : chain.Script->Datasets)
                names << QString::fromStdString(dataset->Name);
            current = chain.Dataset ? chain.Script->CurrentDataset : -1;
        }
        break;
    case app::TObjectList::Maps:
        if (chain.Dataset) {
            for (const auto& map : chain.Dataset->Maps)
                names << QString::fromStdString(map->Name);
            current = chain.Map ? chain.Dataset->ActiveMap : -1;
        }
        break;
    }
    Filling_ = true;
    List_->clear();
    List_->addItems(names);
    List_->setCurrentRow(current);
    Filling_ = false;
    if (Kind_ == app::TObjectList::Tables)
        Host_.TablesRefreshed();
}

TPlaceholderPanel::TPlaceholderPanel(int number, const QString& title, TPanelHost& host, QWidget* parent)
    : TPanel(number, title, host, parent)
{
    if (number == app::ViewPanel) {
        DataPoints_ = new QCheckBox("Datapoints visible", this);
        DataPoints_->setObjectName("DataPointSwitch");
        DataPoints_->setChecked(true);
        Net_ = new QCheckBox("Net visible", this);
        Net_->setObjectName("NetSwitch");
        Net_->setChecked(true);
        Body_->addWidget(DataPoints_);
        Body_->addWidget(Net_);
    }
    auto* note = new QLabel("These settings come with the map window.", this);
    note->setWordWrap(true);
    note->setEnabled(false);
    Body_->addWidget(note);
    Body_->addStretch(1);
}

void TPlaceholderPanel::SetViewMode(const QString& title, bool dataPointSwitch, bool netSwitch)
{
    SetTitle(title);
    if (DataPoints_)
        DataPoints_->setVisible(dataPointSwitch);
    if (Net_)
        Net_->setVisible(netSwitch);
}

TObjectPanels::TObjectPanels(QWidget* parent) : QWidget(parent), Stack_(new QStackedWidget(this))
{
    setObjectName("ObjectPanels");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Stack_);
    Stack_->addWidget(new QWidget(Stack_)); // nothing shown before the first selection
    Panels_.assign(10, nullptr);
}

void TObjectPanels::AddPanel(TPanel* panel)
{
    Panels_.at(static_cast<std::size_t>(panel->Number())) = panel;
    Stack_->addWidget(panel);
}

TPanel* TObjectPanels::Panel(int number) const
{
    return number >= 1 && number <= 9 ? Panels_[static_cast<std::size_t>(number)] : nullptr;
}

void TObjectPanels::RefreshPanel(int number)
{
    if (TPanel* panel = Panel(number))
        panel->Refresh();
}

void TObjectPanels::ShowPanel(int number)
{
    TPanel* panel = Panel(number);
    if (!panel)
        return;
    panel->Refresh();
    if (Stack_->currentWidget() != panel)
        Stack_->setCurrentWidget(panel);
}

int TObjectPanels::CurrentPanel() const
{
    const auto* panel = qobject_cast<const TPanel*>(Stack_->currentWidget());
    return panel ? panel->Number() : 0;
}

} // namespace orbelin::gui
