// Reads arbitrary bytes as each of the set and object files of a dataset, and writes and
// rereads what reads.
#include "data/TError.h"
#include "data/TRWFile.h"
#include "view/AddObjectFile.h"
#include "view/LineSetFile.h"
#include "view/PointSetFiles.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// What was written must read back as it was read.
void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace orbelin;
    static const std::string path = FuzzFolder() + "/sets";
    // The first byte chooses the coordinate count of the objects and lines files.
    const int d = size > 0 ? bytes[0] % 6 : 2;
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    const auto open = [&](data::TRWFile& file) { file.OpenBytes(text, "fuzz"); };

    try {
        data::TRWFile file;
        open(file);
        std::vector<view::TStyleSet> sets;
        TArray1S names;
        view::ReadStyleSets(file, sets, names);
        view::WriteStyleSets(path + ".obc", sets, names);
        std::vector<view::TStyleSet> backSets;
        TArray1S backNames;
        view::ReadStyleSets(path + ".obc", backSets, backNames);
        Check(backSets == sets && backNames == names);
    } catch (const TError&) {
    }
    try {
        data::TRWFile file;
        open(file);
        TArray2I sets;
        TArray1S names;
        view::ReadVisibilitySets(file, sets, names);
        view::WriteVisibilitySets(path + ".obs", sets, names);
        TArray2I backSets;
        TArray1S backNames;
        view::ReadVisibilitySets(path + ".obs", backSets, backNames);
        Check(backSets == sets && backNames == names);
    } catch (const TError&) {
    }
    try {
        data::TRWFile file;
        open(file);
        view::TAddObjects objects;
        view::ReadAddObjects(file, d, objects);
        view::WriteAddObjects(path + ".obo", objects);
        view::TAddObjects back;
        view::ReadAddObjects(path + ".obo", d, back);
        Check(back.size() == objects.size());
        for (std::size_t i = 0; i < back.size(); ++i)
            Check(back[i]->Kind == objects[i]->Kind && back[i]->Name == objects[i]->Name &&
                  back[i]->Coords == objects[i]->Coords && back[i]->Color == objects[i]->Color &&
                  back[i]->TextureIndex == objects[i]->TextureIndex);
    } catch (const TError&) {
    }
    try {
        data::TRWFile file;
        open(file);
        const view::TAddLines set = view::ReadLineSet(file, d);
        view::WriteLineSet(path + ".obv", set);
        const view::TAddLines back = view::ReadLineSet(path + ".obv", d);
        // Without coordinates a point is an empty line, which holds no point when read.
        Check(d == 0 || (back.LinePoints == set.LinePoints && back.Segments == set.Segments));
    } catch (const TError&) {
    }
    for (const char* ext : {".obc", ".obs", ".obo", ".obv"})
        std::remove((path + ext).c_str());
    return 0;
}
