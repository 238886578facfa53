// Spreadsheet export, progress, class swatches and field check lists of the analysis
// windows.
#include "gui/AnalysisSupport.h"

#include "data/GridXlsx.h"
#include "data/TError.h"
#include "gui/TfrmTableGrid.h"
#include "numeric/TUserInterface.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryFile>

namespace orbelin::gui {

bool OpenWithDesktop(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

bool OpenGridInSpreadsheet(const TArray2S& grid, const std::string& name, const std::function<bool(const QUrl&)>& open)
{
    // The workbook is handed to another program, so it must outlive the window.
    QTemporaryFile file(QDir::temp().filePath(QString::fromStdString(name) + QStringLiteral("-XXXXXX.xlsx")));
    file.setAutoRemove(false);
    if (!file.open()) {
        UserInterface().ShowMessage("cannot create a workbook in " + QDir::tempPath().toStdString() + ": " +
                                    file.errorString().toStdString());
        return false;
    }
    const QString path = file.fileName();
    file.close();
    try {
        data::WriteGridXlsx(grid, path.toStdString());
    } catch (const TError& e) {
        QFile::remove(path);
        UserInterface().ShowMessage(e.what());
        return false;
    }
    if (!open || !open(QUrl::fromLocalFile(path)))
        UserInterface().ShowMessage("The workbook was written to " + path.toStdString() +
                                    ", but no program to open it was found.");
    return true;
}

TProgressScope::TProgressScope(const std::string& caption)
{
    UserInterface().BeginProgress(caption);
}

TProgressScope::~TProgressScope()
{
    UserInterface().EndProgress();
}

analysis::TProgress TProgressScope::Callback() const
{
    return [](int percent) { return UserInterface().StepProgress(percent); };
}

QPushButton* NamedButton(const char* text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

QIcon ColorSwatch(int packed)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(PackedColor(packed));
    painter.drawRect(1, 1, 13, 13);
    return QIcon(pixmap);
}

void FillClassBox(QComboBox* box, const TArray1I& colors)
{
    const int kept = ChosenClass(box);
    box->clear();
    for (std::size_t k = 0; k < colors.size(); ++k)
        box->addItem(ColorSwatch(colors[k]), QString("Class %1").arg(k + 1), colors[k]);
    const int at = box->findData(kept);
    box->setCurrentIndex(at >= 0 ? at : (colors.empty() ? -1 : 0));
}

int ChosenClass(const QComboBox* box)
{
    return box->currentIndex() >= 0 ? box->currentData().toInt() : -1;
}

void FillFunctionList(QListWidget* list, const TArray1S& names)
{
    list->clear();
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    auto* constant = new QListWidgetItem("A0", list);
    constant->setFlags(constant->flags() | Qt::ItemIsUserCheckable);
    constant->setCheckState(Qt::Unchecked);
}

std::vector<bool> CheckedItems(const QListWidget* list, int n)
{
    std::vector<bool> checked;
    for (int i = 0; i < n && i < list->count(); ++i)
        checked.push_back(list->item(i)->checkState() == Qt::Checked);
    return checked;
}

void SetItemTexts(QListWidget* list, const TArray1S& texts)
{
    for (int i = 0; i < list->count() && static_cast<std::size_t>(i) < texts.size(); ++i)
        list->item(i)->setText(QString::fromStdString(texts[static_cast<std::size_t>(i)]));
}

TArray2S CheckListCells(const QListWidget* list)
{
    TArray2S cells(static_cast<std::size_t>(list->count()), TArray1S(2));
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() != Qt::Checked)
            continue;
        const QString text = list->item(i)->text();
        const int open = text.indexOf('('), close = text.indexOf(')', open + 1);
        TArray1S& row = cells[static_cast<std::size_t>(i)];
        row[0] = (open >= 0 ? text.left(open) : text).trimmed().toStdString();
        if (open >= 0)
            row[1] = text.mid(open + 1, (close >= 0 ? close : text.size()) - open - 1).trimmed().toStdString();
    }
    return cells;
}

} // namespace orbelin::gui
