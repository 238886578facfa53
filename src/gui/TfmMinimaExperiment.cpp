// The experimenter's corner dialog.
#include "gui/TfmMinimaExperiment.h"

#include "data/NumberText.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"
#include "view/ViewGeometry.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace orbelin::gui {

namespace {

/// A number typed in a field; a comma is taken for the decimal point.
bool FieldNumber(const QLineEdit* field, double& value)
{
    bool ok = false;
    value = QString(field->text()).trimmed().replace(',', '.').toDouble(&ok);
    return ok && std::isfinite(value);
}

} // namespace

TfmMinimaExperiment::TfmMinimaExperiment(QWidget* parent)
    : QDialog(parent), Lambda_(new QLineEdit("1.0", this)), Mu_(new QLineEdit("1.0", this)),
      Starts_(new QLineEdit("8.0", this)), Accuracy_(new QLineEdit("1.0", this)),
      ShowStart_(new QCheckBox("Показывать начальное положение", this)), ShowMinima_(new QCheckBox("На экран", this)),
      Run_(new QPushButton("Run", this)), Minima_(new QListWidget(this)), Distances_(new QListWidget(this)),
      Edges_(new QListWidget(this)), Count_(new QLabel(this))
{
    setObjectName("MinimaExperiment");
    setWindowTitle("Уголок экспериментатора");
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox("Число минимумов", this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* form = new QFormLayout;
    for (auto [field, caption, name] :
         {std::tuple{Lambda_, "l", "Lambda"}, std::tuple{Mu_, "m", "Mu"}, std::tuple{Starts_, "N", "Starts"},
          std::tuple{Accuracy_, "accuracy", "Accuracy"}}) {
        field->setObjectName(name);
        form->addRow(caption, field);
    }
    groupLayout->addLayout(form);
    groupLayout->addWidget(ShowStart_);
    groupLayout->addWidget(ShowMinima_);
    Run_->setObjectName("Run");
    groupLayout->addWidget(Run_);
    auto* lists = new QHBoxLayout;
    Minima_->setObjectName("Minima");
    Distances_->setObjectName("Distances");
    Edges_->setObjectName("Edges");
    Minima_->setToolTip("Total energy of each distinct minimum");
    Distances_->setToolTip("Squared distance of its nodes from the nearest minimum found before it");
    Edges_->setToolTip("Mean edge length of its nodes");
    for (QListWidget* list : {Minima_, Distances_, Edges_})
        lists->addWidget(list);
    groupLayout->addLayout(lists, 1);
    Count_->setObjectName("MinimaCount");
    groupLayout->addWidget(Count_);
    layout->addWidget(group, 1);
    connect(Run_, &QPushButton::clicked, this, [this] { RunClick(); });

    Experiment_.StartPosition = [this](map::TMap& map) {
        if (ShowStart_->isChecked())
            Redraw(map);
    };
    Experiment_.RunEnded = [this](int run) { Run_->setText(QString::number(run)); };
    Experiment_.NewMinimum = [this](const map::TMinimum& minimum) {
        Minima_->addItem(QString::fromStdString(minimum.Key));
        Distances_->addItem(QString::fromStdString(data::ShortestText(minimum.Distance)));
        Edges_->addItem(QString::fromStdString(data::ShortestText(minimum.MeanEdge)));
        if (ShowMinima_->isChecked() && Map_)
            Redraw(*Map_);
    };
    Experiment_.Finished = [this](int minima) {
        Run_->setText("Run");
        Count_->setText(QString::fromStdString(map::MinimaLabel(minima)));
        // The map holds the last run's nodes.
        if (Map_)
            Redraw(*Map_);
    };
}

void TfmMinimaExperiment::SetMap(map::TMap* map)
{
    if (!Running())
        Map_ = map;
}

void TfmMinimaExperiment::Open(map::TMap& map)
{
    SetMap(&map);
    if (!Running())
        Accuracy_->setText(QString::fromStdString(data::ShortestText(map.Tolerance)));
    exec();
}

void TfmMinimaExperiment::Redraw(map::TMap& map)
{
    view::RebuildViews(map);
    if (OnRedraw)
        OnRedraw(map);
}

void TfmMinimaExperiment::RunClick()
{
    if (Running()) {
        Experiment_.Stop();
        return;
    }
    if (!Map_)
        return;
    double lambda = 0, mu = 0, starts = 0, accuracy = 0;
    if (!FieldNumber(Lambda_, lambda) || !FieldNumber(Mu_, mu) || !FieldNumber(Starts_, starts) ||
        !FieldNumber(Accuracy_, accuracy) || starts < 0 || starts > 100000) {
        UserInterface().ShowMessage("l, m, N and the accuracy must be numbers, N from 0 to 100000.");
        return;
    }
    Experiment_.Lambda = lambda;
    Experiment_.Mu = mu;
    Experiment_.Starts = static_cast<int>(std::lround(starts));
    Experiment_.Accuracy = accuracy;
    Experiment_.Progress = nullptr;
    for (QListWidget* list : {Minima_, Distances_, Edges_})
        list->clear();
    Count_->clear();
    try {
        Experiment_.Run(*Map_);
    } catch (const std::exception& e) {
        UserInterface().ShowMessage(e.what());
        return;
    }
    Run_->setText("0");
}

void TfmMinimaExperiment::reject()
{
    Experiment_.Stop();
    QDialog::reject();
}

} // namespace orbelin::gui
