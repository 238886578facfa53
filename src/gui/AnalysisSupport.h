// What the analysis windows share: the spreadsheet export, progress with cancel, class
// colour swatches and the check lists of dataset fields.
#pragma once

#include "analysis/StatGrid.h"
#include "numeric/TArray.h"

#include <QIcon>
#include <QString>
#include <QUrl>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QListWidget;
class QPushButton;
class QWidget;

namespace orbelin::gui {

/// "In Excel": writes the grid (cell (r, c) to worksheet row r + 1, column c + 1) as a
/// workbook in the temporary folder and asks open to show it; messages go through
/// UserInterface(). Returns whether the workbook was written.
bool OpenGridInSpreadsheet(const TArray2S& grid, const std::string& name, const std::function<bool(const QUrl&)>& open);

/// The desktop's program for a document.
bool OpenWithDesktop(const QUrl& url);

/// A progress dialog with Cancel through UserInterface() for as long as it lives.
class TProgressScope {
public:
    explicit TProgressScope(const std::string& caption);
    ~TProgressScope();
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;
    /// Steps the dialog; false once the user cancelled.
    analysis::TProgress Callback() const;
};

/// A push button with the caption and the object name tests and scripts find it by.
QPushButton* NamedButton(const char* text, const char* name, QWidget* parent);

/// A square of the packed colour.
QIcon ColorSwatch(int packed);
/// Fills the box with one swatch item per colour ("Class " and the number from 1), the
/// colour kept as item data; the current item stays when it is still there.
void FillClassBox(QComboBox* box, const TArray1I& colors);
/// The packed colour of the box's current item, or -1.
int ChosenClass(const QComboBox* box);

/// Fills a check list with the names, all checked, then "A0", unchecked.
void FillFunctionList(QListWidget* list, const TArray1S& names);
/// The check states of the first n items.
std::vector<bool> CheckedItems(const QListWidget* list, int n);
/// Replaces the items' texts (the list keeps its check states).
void SetItemTexts(QListWidget* list, const TArray1S& texts);

/// The items a check list's "In Excel" writes: for every checked item in the row of its
/// position, the text before "(" in column 1 and the text between "(" and ")" in column 2.
TArray2S CheckListCells(const QListWidget* list);

} // namespace orbelin::gui
