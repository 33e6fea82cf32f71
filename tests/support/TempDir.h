#pragma once
// Temporary folders that clean up after themselves, and whole-file reads and writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillet::testsupport {

namespace fs = std::filesystem;

// A new, empty folder under the system's temporary folder; removed with its contents when the
// object goes. Names are unique (mkdtemp), so tests may run in parallel.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "quillet");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

// A fixture whose every test gets its own folder: dir_ is the folder, path(name) a file in it.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    size_t filesInDir() const;

    fs::path dir_;

private:
    std::optional<TempDir> temp_;
};

std::vector<uint8_t> readFile(const std::string& path);
std::string readText(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
void writeText(const std::string& path, const std::string& bytes);
// Entries of a folder, "." and ".." not counted; 0 for a missing folder.
size_t entriesIn(const fs::path& folder);

}  // namespace quillet::testsupport
