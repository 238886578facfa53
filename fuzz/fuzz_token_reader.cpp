// Feeds arbitrary bytes to every token-reading operation.
#include "data/TError.h"
#include "data/TRWFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace orbelin;
    const std::string input(reinterpret_cast<const char*>(bytes), size);
    // The first byte picks the matrix shape, so small and large shapes are both tried.
    const int c = size > 0 ? bytes[0] % 7 - 1 : 1;
    const int r = size > 1 ? bytes[1] % 9 : 1;
    data::TRWFile file;
    try {
        file.OpenBytes(input, "fuzz");
        file.FindKey("TABLEFIELDS");
        file.ReadStringMatrix(c, r);
        file.FindKey("X");
        file.ReadFloatMatrix(c + 1, r);
        file.ReadIntMatrix(c + 1, r);
        while (!file.AtEnd()) {
            file.ReadLineToken();
            int i = 0;
            double d = 0;
            file.ReadInt(i);
            file.ReadFloat(d);
            file.ReadLine();
        }
    } catch (const TError&) {
    }
    data::TRWFile::SplitTokens(input);
    return 0;
}
