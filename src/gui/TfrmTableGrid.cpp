// The grid of one table window page.
#include "gui/TfrmTableGrid.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace orbelin::gui {

namespace {

QVariant LookColor(int color)
{
    if (color == data::DefaultCellColor)
        return {};
    if (color == data::ButtonFaceColor)
        return QApplication::palette().color(QPalette::Button);
    return PackedColor(color);
}

} // namespace

QColor PackedColor(int packed)
{
    return QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

TTableModel::TTableModel(const data::TDataTable& table, const data::TData* data, QObject* parent)
    : QAbstractTableModel(parent), Page_(table, data)
{
}

int TTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Page_.RowCount();
}

int TTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Page_.ColumnCount();
}

QVariant TTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return QString::fromStdString(Page_.CellText(index.row(), index.column()));
    case Qt::BackgroundRole:
        return LookColor(Page_.CellLook(index.row(), index.column()).Background);
    case Qt::ForegroundRole:
        return LookColor(Page_.CellLook(index.row(), index.column()).Text);
    default:
        return {};
    }
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole)
            return QString::fromStdString(Page_.ColumnName(section));
        if (role == Qt::FontRole && Page_.HeaderLook(section).Bold)
            return BoldFont_;
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(Page_.RecordNumberText(section));
    case Qt::BackgroundRole:
        return LookColor(Page_.RecordLook(section).Background);
    case Qt::ForegroundRole:
        return LookColor(Page_.RecordLook(section).Text);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool TTableModel::Refresh(const data::TData* data)
{
    const int rows = Page_.RowCount();
    const int columns = Page_.ColumnCount();
    const data::TData* shownBefore = Page_.Data();
    Page_.SetData(data);
    if (rows != Page_.RowCount() || columns != Page_.ColumnCount() || shownBefore != Page_.Data()) {
        // A new dataset may bring other result columns even when their number is the same.
        beginResetModel();
        endResetModel();
        return true;
    }
    if (rows > 0 && columns > 0)
        emit dataChanged(index(0, 0), index(rows - 1, columns - 1));
    if (columns > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columns - 1);
    if (rows > 0)
        emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    return false;
}

void TTableModel::OrderChanged()
{
    // The selection stays where it is in the grid, as it does when rows are exchanged.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

TRecordHeader::TRecordHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
}

void TRecordHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid() || !model())
        return;
    painter->save();
    const QVariant background = model()->headerData(logicalIndex, orientation(), Qt::BackgroundRole);
    painter->fillRect(rect, background.isValid() ? background.value<QColor>() : palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    const QVariant foreground = model()->headerData(logicalIndex, orientation(), Qt::ForegroundRole);
    painter->setPen(foreground.isValid() ? foreground.value<QColor>() : palette().color(QPalette::ButtonText));
    painter->setFont(font());
    painter->drawText(rect.adjusted(2, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter,
                      model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString());
    painter->restore();
}

void TRecordHeader::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        const int row = logicalIndexAt(event->position().toPoint());
        if (row >= 0)
            emit RowRightClicked(row);
        event->accept();
        return;
    }
    QHeaderView::mousePressEvent(event);
}

TTableGrid::TTableGrid(const data::TDataTable& table, const data::TData* data, QWidget* parent)
    : QTableView(parent), Model_(new TTableModel(table, data, this)), RecordHeader_(new TRecordHeader(this))
{
    setVerticalHeader(RecordHeader_);
    setModel(Model_);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    horizontalHeader()->viewport()->installEventFilter(this);
    ApplyLayout();
}

void TTableGrid::ApplyLayout()
{
    QFont gridFont = font();
    gridFont.setPointSize(data::GridFontSize);
    setFont(gridFont);
    horizontalHeader()->setFont(gridFont);
    RecordHeader_->setFont(gridFont);
    QFont bold = gridFont;
    bold.setBold(true);
    Model_->SetBoldFont(bold);

    const data::TTablePage& page = Model_->Page();
    RecordHeader_->setMinimumSectionSize(1);
    RecordHeader_->setDefaultSectionSize(data::GridRowHeight);
    // Fixed heights let a view of many thousands of rows lay out without measuring them.
    RecordHeader_->setSectionResizeMode(QHeaderView::Fixed);
    RecordHeader_->setFixedWidth(page.RecordColumnWidthFor(QFontMetrics(gridFont).horizontalAdvance(QLatin1Char('0'))));
    horizontalHeader()->setMinimumSectionSize(8);
    horizontalHeader()->setDefaultSectionSize(data::ResultColumnWidth);
    horizontalHeader()->setFixedHeight(data::GridRowHeight);
    for (int column = 0; column < page.ColumnCount(); ++column)
        horizontalHeader()->resizeSection(column, page.ColumnWidth(column));
}

std::vector<int> TTableGrid::SelectedRecords() const
{
    const data::TTablePage& page = Model_->Page();
    std::vector<bool> chosen(static_cast<std::size_t>(page.RowCount()), false);
    bool any = false;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = std::max(range.top(), 0); row <= range.bottom() && row < page.RowCount(); ++row) {
            chosen[static_cast<std::size_t>(row)] = true;
            any = true;
        }
    if (!any && currentIndex().isValid())
        chosen[static_cast<std::size_t>(currentIndex().row())] = true;
    std::vector<int> records;
    for (std::size_t row = 0; row < chosen.size(); ++row)
        if (chosen[row])
            records.push_back(page.RecordOfRow(static_cast<int>(row)));
    return records;
}

int TTableGrid::SelectedLeftColumn() const
{
    const QItemSelection selection = selectionModel()->selection();
    if (!selection.isEmpty()) {
        int left = selection.front().left();
        for (const QItemSelectionRange& range : selection)
            left = std::min(left, range.left());
        return left;
    }
    return currentIndex().isValid() ? currentIndex().column() : -2;
}

void TTableGrid::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        emit PopupRequested(viewport()->mapToGlobal(event->position().toPoint()));
}

void TTableGrid::contextMenuEvent(QContextMenuEvent* event)
{
    // A mouse's right button has already opened the menu on its press.
    if (event->reason() != QContextMenuEvent::Mouse)
        emit PopupRequested(event->globalPos());
    event->accept();
}

bool TTableGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            emit PopupRequested(horizontalHeader()->viewport()->mapToGlobal(mouse->position().toPoint()));
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace orbelin::gui
