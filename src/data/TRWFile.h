// Reader and writer of the line-and-token text files that all of the system's own
// formats share.
#pragma once

#include "numeric/TArray.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace orbelin::data {

/// One TRWFile is created, used for one file (or one embedded resource) and destroyed by
/// the format routine that needs it. The stream holds Windows-1251 bytes; every text that
/// goes in or comes out is UTF-8.
///
/// Reading holds the whole source in memory, so FindKey's rescans from the start cost
/// nothing. Writing goes to a temporary file beside the target, which replaces the target
/// only when Close succeeds: a failed or abandoned write leaves the old file as it was.
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

    /// c <= 0: r lines, each split into tokens. c > 0: r rows of c tokens, "@" and any-case
    /// "NAN" becoming empty texts. Raises TError when the stream ends before the matrix.
    TArray2S ReadStringMatrix(int c, int r);
    /// r rows of c numbers; "Nan" and "@" are missing, a bad token reads as 0.0.
    TArray2D ReadFloatMatrix(int c, int r);
    /// r rows of c integers; "Nan", "@" and a bad token read as 0.
    TArray2I ReadIntMatrix(int c, int r);
    /// Reads one token into value; an empty token leaves it unchanged, a token that is
    /// not a number raises TError.
    void ReadFloat(double& value);
    void ReadInt(int& value);

    void WriteLine(std::string_view text);
    void Write(std::string_view text);

    bool AtEnd() const { return Pos_ >= Data_.size(); }
    const std::string& FileName() const { return FileName_; }
    /// Size of the source in bytes, for plausibility checks of declared counts.
    std::size_t SourceSize() const { return Data_.size(); }

private:
    enum class TState { Closed, Reading, Writing };

    bool ReadTokenBytes(std::string& token);
    bool ReadLineTokenBytes(std::string& token);
    /// The next token without surrounding blanks; false when it is empty.
    bool ReadScalarToken(std::string& token);
    template <class TValue, class TConvert>
    std::vector<std::vector<TValue>> ReadTokenMatrix(int c, int r, const char* what, TConvert convert);
    [[noreturn]] void RaiseTruncated(long long found, long long expected, const char* what) const;
    void CheckReading() const;

    TState State_ = TState::Closed;
    std::string FileName_;
    std::string Owned_;
    std::string_view Data_;
    std::size_t Pos_ = 0;
    std::string Section_;
    std::FILE* Out_ = nullptr;
    std::string TempName_;
};

/// Parses a decimal number: optional sign, digits, ".", digits, optional exponent.
bool ParseDecimal(std::string_view text, double& value);
/// Parses a decimal integer, or a hexadecimal one after "$" when allowHex is set.
bool ParseInteger(std::string_view text, int& value, bool allowHex);
/// True for the bytes that form plain tokens (Windows-1251 code page).
bool IsTokenByte(unsigned char b);

} // namespace orbelin::data
