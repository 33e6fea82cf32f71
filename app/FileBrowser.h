#pragma once
// The own file browser's rules without its window: which entries a folder shows for the type
// filter, the pages of 40 slots in rows of 4, and the selection list of up to 20 files.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// The type filter's entries, in the order of the combo box.
enum class BrowserType { AllPictures, Jpg, Vlr, Bmp, Tif, Gif };
inline constexpr std::array<std::string_view, 6> kBrowserTypeNames = {"모든그림형식", "jpg", "vlr",
                                                                      "bmp",          "tif", "gif"};

struct BrowserEntry {
    std::string name;  // file or folder name (no path)
    bool folder = false;
};

// Whether a file name passes the filter: the named type's extension, or for "모든그림형식"
// any of bmp, gif, jpg, tif, pcx and vlr; compared in lower case.
bool BrowserShowsFile(std::string_view name, BrowserType type);
// The folder's entries the browser lists: sub-folders (only with "모든그림형식", whose pattern
// "*.*" takes them in too) and then the files that pass, each group by name. An unreadable
// folder lists nothing.
std::vector<BrowserEntry> ListBrowserFolder(const std::string& folder, BrowserType type);

// A page holds 40 slots in rows of 4; scrolling moves by rows.
struct BrowserPage {
    static constexpr int kSlots = 40;
    static constexpr int kColumns = 4;
    static constexpr int kRows = kSlots / kColumns;
    // Rows the entries need, and the first row a page may start at.
    static int RowsFor(int entries) { return (entries + kColumns - 1) / kColumns; }
    static int LastFirstRow(int entries) {
        return RowsFor(entries) > kRows ? RowsFor(entries) - kRows : 0;
    }
};

// The files picked, in the order they were picked. A plain click makes the file the only one;
// Ctrl adds it, or takes it out when it is listed. The 21st is refused with a message.
class BrowserSelection {
public:
    static constexpr int kMaxFiles = 20;
    static constexpr size_t kMaxNameChars = 260;

    // Full: the 21st file; TooLong: a file name (without its folder) past 260 characters.
    enum class Result { Changed, Full, TooLong };
    Result Click(const std::string& file, bool control);
    void Clear() { files_.clear(); }
    bool Contains(const std::string& file) const;
    const std::vector<std::string>& Files() const { return files_; }
    // "파일은 최대 %d 개까지 오픈 가능합니다."
    static std::string LimitMessage();

private:
    std::vector<std::string> files_;
};

// "%dⅹ%d": the size label of a slot.
std::string BrowserSizeLabel(int width, int height);

}  // namespace quillet
