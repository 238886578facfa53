// The HTML page "htmlview.html": an image map over the saved picture of the view, one
// circle per data point showing the point's record texts.
#pragma once

#include "data/TData.h"
#include "data/TDataTable.h"
#include "numeric/TArray.h"
#include "view/ExportSupport.h"

#include <string>

namespace orbelin::view {

/// The HTML options dialog's choices.
struct THtmlViewOptions {
    std::string MainField;        ///< "Main annotation field": a table field name
    std::string AreaRadius = "5"; ///< "Area radius" in pixels, as typed
    TArray1S DescriptionFields;   ///< ticked in "Content of the description box"
    TArray1S AdditionalFields;    ///< ticked in "Content of the additional box"
};

/// The page, lines ending in CR LF. Each data point becomes a circle area at its screen
/// position (x, height - y) whose texts are its record's values in the chosen fields,
/// trimmed and written as they are. The main field is the last field of exactly that
/// name; the ticked fields are found by name ignoring letter case.
std::string HtmlViewText(const TExportView& view, const data::TData& data, const data::TDataTable& table,
                         const THtmlViewOptions& options);

/// Writes HtmlViewText as "htmlview.html" in folder (Windows-1251) and returns its path.
/// The page expects the view's picture saved beside it as "image.jpg".
std::string WriteHtmlView(const std::string& folder, const TExportView& view, const data::TData& data,
                          const data::TDataTable& table, const THtmlViewOptions& options);

} // namespace orbelin::view
