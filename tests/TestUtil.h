// Helpers shared by the test suites.
#pragma once

#include "data/TError.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace orbelin::test {

/// A fresh folder for one test's files, removed afterwards.
class TTempDir {
public:
    TTempDir()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Path_ = std::filesystem::temp_directory_path() /
                ("orbelin-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                 std::to_string(::getpid()));
        std::filesystem::remove_all(Path_);
        std::filesystem::create_directories(Path_);
    }
    ~TTempDir() { std::filesystem::remove_all(Path_); }
    std::string File(const std::string& name) const { return (Path_ / name).string(); }
    const std::filesystem::path& Path() const { return Path_; }

private:
    std::filesystem::path Path_;
};

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

/// Runs work in a child process and returns its id; the child exits 0 when work returns
/// true, 4 when it returns false and 3 when it throws.
template <class TWork>
pid_t RunInChild(TWork work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int code = 3;
        try {
            code = work() ? 0 : 4;
        } catch (...) {
        }
        ::_exit(code);
    }
    return child;
}

/// Waits for a child: its exit code, or minus the signal that ended it.
inline int WaitForChild(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

/// Expects the statement to throw TError whose message contains the fragment.
#define ORBELIN_EXPECT_ERROR(statement, fragment)                                          \
    do {                                                                                   \
        try {                                                                              \
            statement;                                                                     \
            ADD_FAILURE() << "expected an error containing \"" << (fragment) << "\"";     \
        } catch (const ::orbelin::TError& e) {                                             \
            EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what(); \
        }                                                                                  \
    } while (0)

} // namespace orbelin::test
