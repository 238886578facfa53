// Writing files through unique temporaries: saves of one path at once, failed saves and the
// temporaries that killed saves leave behind.
#include "data/SafeFiles.h"
#include "data/TRWFile.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>
#include <utime.h>

namespace orbelin::data {
namespace {

namespace fs = std::filesystem;

int CountTemporaries(const fs::path& folder)
{
    int n = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        n += entry.path().filename().string().ends_with(".orbelin-tmp");
    return n;
}

// Two processes saving one path at once both succeed, and the file then holds one of the
// two texts whole (with one fixed temporary name, one of them failed or lost its file).
TEST(SafeFilesTest, TwoSavesOfOnePathAtOnceBothSucceed)
{
    test::TTempDir dir;
    const std::string path = dir.File("same.obt");
    const std::string texts[2] = {std::string(200000, 'a') + "\r\n", std::string(300000, 'b') + "\r\n"};
    pid_t children[2];
    for (int k = 0; k < 2; ++k)
        children[k] = test::RunInChild([&] {
            for (int round = 0; round < 30; ++round) {
                TRWFile file;
                file.CreateForWriting(path);
                file.Write(texts[k]);
                file.Close();
                const std::string now = test::ReadBytes(path);
                if (now != texts[0] && now != texts[1])
                    return false;
            }
            return true;
        });
    for (const pid_t child : children)
        EXPECT_EQ(0, test::WaitForChild(child));
    const std::string last = test::ReadBytes(path);
    EXPECT_TRUE(last == texts[0] || last == texts[1]);
    EXPECT_EQ(0, CountTemporaries(dir.Path()));
}

TEST(SafeFilesTest, SavesRemoveOnlyTemporariesThatNoRunningSaveOwns)
{
    test::TTempDir dir;
    const std::string path = dir.File("x.obd");
    // A process id above any the system gives out has surely ended.
    const std::string dead = path + ".999999999-1-0badcafe.orbelin-tmp";
    const std::string alive = path + "." + std::to_string(::getpid()) + "-999-00000001.orbelin-tmp";
    const std::string oldFixed = path + ".orbelin-tmp";
    const std::string freshFixed = dir.File("y.obd.orbelin-tmp");
    const std::string otherTarget = dir.File("x.obdz.999999999-1-0.orbelin-tmp");
    for (const std::string& file : {dead, alive, oldFixed, freshFixed, otherTarget})
        test::WriteBytes(file, "left over");
    const utimbuf twoMinutesAgo = {std::time(nullptr) - 120, std::time(nullptr) - 120};
    ::utime(oldFixed.c_str(), &twoMinutesAgo);

    WriteFileReplacing(path, "new\r\n");
    EXPECT_EQ("new\r\n", test::ReadBytes(path));
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_FALSE(fs::exists(oldFixed));
    EXPECT_TRUE(fs::exists(alive)) << "a running save's temporary stays";
    EXPECT_TRUE(fs::exists(otherTarget)) << "only the target's own temporaries are looked at";
    RemoveStaleTemporariesIn(dir.Path().string());
    EXPECT_FALSE(fs::exists(otherTarget));
    EXPECT_TRUE(fs::exists(freshFixed)) << "an older version's temporary may still be written";
    EXPECT_TRUE(fs::exists(alive));

    // While an interrupted project save waits to be completed, nothing is removed.
    test::WriteBytes(dead, "needed");
    test::WriteBytes(dir.File("p.obp.orbelin-journal"), "journal");
    WriteFileReplacing(path, "again\r\n");
    EXPECT_TRUE(fs::exists(dead));
}

TEST(SafeFilesTest, FailedSaveLeavesTheOldFileAndNoTemporary)
{
    test::TTempDir dir;
    const std::string path = dir.File("keep.obt");
    test::WriteBytes(path, "kept");
    fs::create_directory(dir.File("folder.obt"));
    ORBELIN_EXPECT_ERROR(WriteFileReplacing(dir.File("folder.obt"), "x"), "folder.obt is a directory");
    {
        TRWFile file;
        file.CreateForWriting(path);
        file.Write("\xFF not UTF-8");
        ORBELIN_EXPECT_ERROR(file.Close(), "its text is not valid UTF-8");
    }
    EXPECT_EQ("kept", test::ReadBytes(path));
    EXPECT_EQ(0, CountTemporaries(dir.Path()));
}

} // namespace
} // namespace orbelin::data
