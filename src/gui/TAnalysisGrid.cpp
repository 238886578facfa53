// The analysis windows' grid: model, colours and copying.
#include "gui/TAnalysisGrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>

#include <algorithm>

namespace orbelin::gui {

void TGridModel::SetSource(TGridSource source)
{
    beginResetModel();
    Source_ = std::move(source);
    endResetModel();
}

int TGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Source_.Rows;
}

int TGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Source_.Columns;
}

QVariant TGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::TextAlignmentRole: {
        const QString text =
            Source_.Text ? QString::fromStdString(Source_.Text(index.row(), index.column())).trimmed() : QString();
        // Numbers (and the record marks beside them) line up on the right.
        const bool number = !text.isEmpty() &&
                            (text[0].isDigit() || text[0] == '-' || text[0] == '+' || text[0] == '#' || text[0] == '.');
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
        return text;
    }
    case Qt::ForegroundRole:
        if (Source_.Foreground) {
            const QColor c = Source_.Foreground(index.row(), index.column());
            if (c.isValid())
                return c;
        }
        return {};
    case Qt::BackgroundRole:
        if (Source_.Background) {
            const QColor c = Source_.Background(index.row(), index.column());
            if (c.isValid())
                return c;
        }
        return {};
    case Qt::FontRole:
        if (index.row() == 0) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    default:
        return {};
    }
}

QColor CellColor(analysis::TCellColor color)
{
    switch (color) {
    case analysis::TCellColor::Grey:
        return QColor(128, 128, 128);
    case analysis::TCellColor::Green:
        return QColor(0, 128, 0);
    case analysis::TCellColor::Blue:
        return QColor(0, 0, 255);
    case analysis::TCellColor::Red:
        return QColor(255, 0, 0);
    case analysis::TCellColor::Default:
    default:
        return {};
    }
}

TAnalysisGrid::TAnalysisGrid(QWidget* parent) : QTableView(parent), Model_(new TGridModel(this))
{
    setModel(Model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copy = new QAction("Copy", this);
    copy->setObjectName("Copy");
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this] { CopySelection(); });
    addAction(copy);
    auto* copyAll = new QAction("Copy all", this);
    copyAll->setObjectName("CopyAll");
    connect(copyAll, &QAction::triggered, this, [this] { CopyAll(); });
    addAction(copyAll);
}

void TAnalysisGrid::ShowGrid(const analysis::TStatGrid& grid)
{
    Shown_ = grid;
    TGridSource source;
    source.Rows = Shown_.RowCount();
    source.Columns = Shown_.ColumnCount();
    source.Text = [this](int r, int c) { return Shown_.At(r, c); };
    source.Foreground = [this](int r, int c) { return CellColor(Shown_.Color(r, c)); };
    ShowSource(std::move(source));
}

void TAnalysisGrid::ShowSource(TGridSource source)
{
    Model_->SetSource(std::move(source));
    // Sizing every column to its contents would read every cell of a large grid.
    if (Model_->Source().Rows * static_cast<long long>(Model_->Source().Columns) <= 20000)
        resizeColumnsToContents();
}

void TAnalysisGrid::Clear()
{
    Shown_ = {};
    Model_->SetSource({});
}

int TAnalysisGrid::RowCount() const
{
    return Model_->Source().Rows;
}

int TAnalysisGrid::ColumnCount() const
{
    return Model_->Source().Columns;
}

std::string TAnalysisGrid::Text(int row, int column) const
{
    const TGridSource& s = Model_->Source();
    if (!s.Text || row < 0 || column < 0 || row >= s.Rows || column >= s.Columns)
        return {};
    return s.Text(row, column);
}

TArray2S TAnalysisGrid::Cells() const
{
    TArray2S cells(static_cast<std::size_t>(RowCount()));
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColumnCount(); ++c)
            cells[static_cast<std::size_t>(r)].push_back(Text(r, c));
    return cells;
}

QString TAnalysisGrid::SelectionText() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    int top = selected.front().row(), bottom = top, left = selected.front().column(), right = left;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    return RangeText(top, bottom, left, right);
}

QString TAnalysisGrid::RangeText(int top, int bottom, int left, int right) const
{
    QString text;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            if (c > left)
                text += '\t';
            text += QString::fromStdString(Text(r, c)).trimmed();
        }
        text += '\n';
    }
    return text;
}

void TAnalysisGrid::CopySelection() const
{
    QApplication::clipboard()->setText(SelectionText());
}

void TAnalysisGrid::CopyAll() const
{
    QApplication::clipboard()->setText(RangeText(0, RowCount() - 1, 0, ColumnCount() - 1));
}

} // namespace orbelin::gui
