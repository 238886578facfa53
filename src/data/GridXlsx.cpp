// Writing the grid as an .xlsx workbook through libxlsxwriter.
#include "data/GridXlsx.h"

#include "data/Cp1251.h"
#include "data/SafeFiles.h"
#include "data/TError.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace orbelin::data {
namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& problem)
{
    throw TError("cannot write the workbook " + path + ": " + problem);
}

// The grid is checked before anything is written, so a refused grid leaves no file.
void CheckFits(const TArray2S& grid, const std::string& path)
{
    if (grid.size() > LXW_ROW_MAX)
        Fail(path, "the grid has " + std::to_string(grid.size()) + " rows, more than a worksheet's " +
                       std::to_string(LXW_ROW_MAX));
    for (std::size_t r = 0; r < grid.size(); ++r) {
        if (grid[r].size() > LXW_COL_MAX)
            Fail(path, "row " + std::to_string(r) + " has " + std::to_string(grid[r].size()) +
                           " cells, more than a worksheet's " + std::to_string(LXW_COL_MAX) + " columns");
        for (std::size_t c = 0; c < grid[r].size(); ++c)
            if (Utf8Length(grid[r][c]) > static_cast<std::size_t>(XlsxMaxCellLength))
                Fail(path, "the text of row " + std::to_string(r) + ", column " + std::to_string(c) +
                               " is longer than the " + std::to_string(XlsxMaxCellLength) +
                               " characters a worksheet cell holds");
    }
}

} // namespace

void WriteGridXlsx(const TArray2S& grid, const std::string& path)
{
    CheckFits(grid, path);
    RemoveStaleTemporaries(path);
    const std::string temp = UniqueTemporaryName(path);
    // The library reports a file it cannot create only on its own stderr; finding out
    // first gives the user the reason.
    if (std::FILE* probe = std::fopen(temp.c_str(), "wb"))
        std::fclose(probe);
    else
        Fail(path, std::strerror(errno));
    // Rows are written in order, so the workbook can stream them instead of holding them.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(temp.c_str(), &options);
    if (!workbook)
        Fail(path, "the library cannot create a workbook");
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_error error = sheet ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    for (std::size_t r = 0; r < grid.size() && error == LXW_NO_ERROR; ++r)
        for (std::size_t c = 0; c < grid[r].size() && error == LXW_NO_ERROR; ++c)
            if (!grid[r][c].empty())
                error = worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                               grid[r][c].c_str(), nullptr);
    // Closing also frees the workbook, so it happens even after a failed cell.
    const lxw_error closed = workbook_close(workbook);
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR) {
        std::remove(temp.c_str());
        Fail(path, lxw_strerror(error));
    }
    try {
        RenameReplacing(temp, path);
    } catch (...) {
        std::remove(temp.c_str());
        throw;
    }
}

} // namespace orbelin::data
