// Line-by-line reading of the small set and object files, with line numbers for messages.
#pragma once

#include "data/TRWFile.h"
#include "numeric/TArray.h"

#include <string>
#include <string_view>

namespace orbelin::view {

/// Walks the lines of a file that is open for reading and counts them, so that an error
/// can say where it was found.
class TLineReader {
public:
    explicit TLineReader(data::TRWFile& file) : File_(file) {}

    /// The next line without its line end; false at the end of the file.
    bool Next(std::string& line);
    /// One-based number of the line Next returned last.
    int LineNumber() const { return Line_; }
    const std::string& FileName() const { return File_.FileName(); }

    /// Raises TError "file NAME, line N: problem".
    [[noreturn]] void Fail(const std::string& problem) const;
    /// Raises TError "file NAME: expected ..., found ... before the end of the file".
    [[noreturn]] void FailTruncated(const std::string& expected, const std::string& found) const;

private:
    data::TRWFile& File_;
    int Line_ = 0;
};

/// Words separated by blanks or tabs.
TArray1S SplitWords(std::string_view line);

/// The text in double quotes for messages; a long text is cut and ends in "...".
std::string QuotedText(std::string_view text);

} // namespace orbelin::view
