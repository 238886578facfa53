// The PostScript plot of the data points as the map window shows them.
#pragma once

#include "data/TData.h"
#include "data/TDataTable.h"
#include "numeric/TArray.h"
#include "view/ExportSupport.h"

#include <string>

namespace orbelin::view {

/// The PostScript options dialog's choices.
struct TPostScriptOptions {
    bool UseSymbols = false;        ///< "Use symbols instead of colors"
    TArray1I SymbolColors;          ///< "Color": the table's distinct fill colours
    TArray1S Symbols;               ///< "Symbol": entry i is the text of colour i
    bool SymbolsInColor = true;     ///< the "Color" switch
    std::string FontScale = "0.10"; ///< "Font scale", in inches
};

/// Showing the dialog: the colour list becomes the table's distinct fill colours, and
/// "1", "2", ... (one per colour) are appended to the symbol texts, which keep earlier
/// entries.
void PrepareSymbols(TPostScriptOptions& options, const data::TDataTable& table);

/// The plot, lines ending in CR LF: every data point at its rounded window position, as
/// its marker shape filled in its fill colour and stroked in its border colour, or as its
/// colour's symbol text; then its label (the text of the map's last annotation row for
/// it), if any. title is the file name the header names.
std::string PostScriptText(const std::string& title, const TExportView& view, const data::TData& data,
                           const data::TDataTable& table, const TArray2S& annotations,
                           const TPostScriptOptions& options);

/// Writes PostScriptText to fileName (Windows-1251), replacing it only once complete.
void WritePostScript(const std::string& fileName, const TExportView& view, const data::TData& data,
                     const data::TDataTable& table, const TArray2S& annotations, const TPostScriptOptions& options);

} // namespace orbelin::view
