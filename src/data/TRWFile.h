// Reader and writer of the line-and-token text files that all of the system's own
// formats share.
#pragma once

#include "numeric/TArray.h"

#include <string>
#include <string_view>
#include <vector>

namespace orbelin::data {

/// True for the bytes that form plain tokens (Windows-1251 code page).
bool IsTokenByte(unsigned char b);

/// One TRWFile is created, used for one file (or one embedded resource) and destroyed by
/// the format routine that needs it. The stream holds Windows-1251 bytes; every text that
/// goes in or comes out is UTF-8.
///
/// Reading holds the whole source in memory, so FindKey's rescans from the start cost
/// nothing. Writing collects the text and, on Close, writes it to a unique temporary file
/// beside the target, which then replaces the target: a failed or abandoned write leaves
/// the old file as it was, and two writers of one path never share a temporary.
///
/// A file whose text Windows-1251 can hold, and whose quoted tokens hold no double quote,
/// is written in Windows-1251 as always. Any other file is written in UTF-8 and begins with
/// the line "# ENCODING UTF-8", which no file in Windows-1251 holds; in such a file every
/// byte from 128 up belongs to tokens, and a doubled double quote inside a quoted token
/// stands for one double quote. Readers take either form.
class TRWFile {
public:
    TRWFile() = default;
    TRWFile(const TRWFile&) = delete;
    TRWFile& operator=(const TRWFile&) = delete;
    /// Abandons an unfinished write; never throws.
    ~TRWFile();

    void CreateForWriting(const std::string& fileName);
    void OpenForReading(const std::string& fileName);
    /// Opens the embedded resource of that name (letter case ignored).
    void OpenResource(const std::string& name);
    /// Reads from bytes held in memory; displayName stands for the file in messages.
    void OpenBytes(std::string bytes, const std::string& displayName);
    /// Releases the stream; after writing, puts the written file in place.
    void Close();

    /// Moves to the line after the first header line ("#" first) that contains key.
    bool FindKey(std::string_view key);
    /// The next line without its line end.
    std::string ReadLine();
    /// The next token, quotes removed; empty at the end of the stream.
    std::string ReadToken();
    /// A quoted token, or the rest of the line from its first token character.
    std::string ReadLineToken();
    /// The tokens of a text, up to the first empty token.
    static TArray1S SplitTokens(std::string_view text);

    /// How the rows of a matrix lie in the file. Lines: each row on a line of its own (blank
    /// lines between rows allowed) and nothing but the rows up to the next header line, as
    /// every writer of the system's own files puts them. Stream: rows are read as a stream
    /// of tokens, line breaks and the following sections' words included.
    enum class TRowLayout { Lines, Stream };

    /// c <= 0: r lines, each split into tokens. c > 0: r rows of c tokens, "@" and any-case
    /// "NAN" becoming empty texts. Raises TError, naming the file, the section and the line,
    /// when the stream ends before the matrix or (Lines) a row is short, long or missing.
    TArray2S ReadStringMatrix(int c, int r, TRowLayout layout = TRowLayout::Lines);
    /// r rows of c numbers; "Nan" and "@" are missing, "+Inf" and "-Inf" infinite. Any other
    /// token that is not a decimal number raises TError, as do rows that do not fit.
    TArray2D ReadFloatMatrix(int c, int r, TRowLayout layout = TRowLayout::Lines);
    /// r rows of c integers; "Nan" and "@" read as 0, any other token that is not a decimal
    /// integer raises TError, as do rows that do not fit.
    TArray2I ReadIntMatrix(int c, int r, TRowLayout layout = TRowLayout::Lines);
    /// Reads one token into value; an empty token leaves it unchanged, a token that is
    /// not a number raises TError.
    void ReadFloat(double& value);
    void ReadInt(int& value);

    void WriteLine(std::string_view text);
    void Write(std::string_view text);
    /// The text as a quoted token that reads back as the same text: a double quote inside
    /// it is doubled, which makes the file a UTF-8 one.
    std::string QuotedToken(std::string_view text);

    /// True when the source is an embedded resource.
    bool IsResource() const { return Resource_; }
    /// True for a source in the UTF-8 form.
    bool IsUtf8() const { return Utf8_; }
    /// "file NAME, section "# KEY", line N" for the current position, for messages.
    std::string Where() const;

    bool AtEnd() const { return Pos_ >= Data_.size(); }
    const std::string& FileName() const { return FileName_; }
    /// Size of the source in bytes, for plausibility checks of declared counts.
    std::size_t SourceSize() const { return Data_.size(); }

private:
    enum class TState { Closed, Reading, Writing };

    void StartReading();
    bool IsToken(unsigned char b) const { return IsTokenByte(b) || (Utf8_ && b >= 128); }
    std::string ToText(std::string_view bytes) const;
    /// Skips separators up to the next token; counts the line ends passed and stops at a
    /// header line (true) or the end.
    bool SkipToToken(int& lineEnds);
    long long LineAt(std::size_t pos) const;
    bool ReadTokenBytes(std::string& token);
    bool ReadLineTokenBytes(std::string& token);
    TArray1S SplitTokenBytes(std::string_view bytes) const;
    /// The next token without surrounding blanks; false when it is empty.
    bool ReadScalarToken(std::string& token);
    template <class TValue, class TConvert>
    std::vector<std::vector<TValue>> ReadTokenMatrix(int c, int r, TRowLayout layout, const char* what,
                                                     TConvert convert);
    [[noreturn]] void RaiseTruncated(long long found, long long expected, const char* what) const;
    void CheckReading() const;

    TState State_ = TState::Closed;
    std::string FileName_;
    std::string Owned_;
    std::string_view Data_;
    std::size_t Pos_ = 0;
    std::string Section_;
    bool Utf8_ = false;
    bool Resource_ = false;
    long long FirstLine_ = 1; ///< line number of Data_'s first line
    std::string Text_;         ///< UTF-8 text written so far
    bool Escaped_ = false;     ///< a quoted token holds a doubled quote
};

/// Parses a decimal number: optional sign, digits, ".", digits, optional exponent.
bool ParseDecimal(std::string_view text, double& value);
/// Parses a number of the system's own files: a decimal number, "Nan" or "@" (missing),
/// "+Inf" or "-Inf".
bool ParseOwnNumber(std::string_view text, double& value);
/// Parses a decimal integer, or a hexadecimal one after "$" when allowHex is set.
bool ParseInteger(std::string_view text, int& value, bool allowHex);

} // namespace orbelin::data
