#include "app/FileBrowser.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace quillet {

namespace {

std::string lowerExtension(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(name.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return ext;
}

}  // namespace

bool BrowserShowsFile(std::string_view name, BrowserType type) {
    const std::string ext = lowerExtension(name);
    switch (type) {
        case BrowserType::AllPictures:
            return ext == "bmp" || ext == "gif" || ext == "jpg" || ext == "tif" || ext == "pcx" ||
                   ext == "vlr";
        case BrowserType::Jpg:
            return ext == "jpg";
        case BrowserType::Vlr:
            return ext == "vlr";
        case BrowserType::Bmp:
            return ext == "bmp";
        case BrowserType::Tif:
            return ext == "tif";
        case BrowserType::Gif:
            return ext == "gif";
    }
    return false;
}

std::vector<BrowserEntry> ListBrowserFolder(const std::string& folder, BrowserType type) {
    namespace fs = std::filesystem;
    std::vector<BrowserEntry> folders, files;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code kindError;
        if (it->is_directory(kindError)) {
            if (type == BrowserType::AllPictures) folders.push_back({name, true});
        } else if (BrowserShowsFile(name, type)) {
            files.push_back({name, false});
        }
    }
    auto byName = [](const BrowserEntry& a, const BrowserEntry& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    folders.insert(folders.end(), files.begin(), files.end());
    return folders;
}

BrowserSelection::Result BrowserSelection::Click(const std::string& file, bool control) {
    // The limit is the name's: folders on this system may be deeper than any name is long.
    const size_t slash = file.find_last_of('/');
    const size_t nameLength = slash == std::string::npos ? file.size() : file.size() - slash - 1;
    if (nameLength > kMaxNameChars) return Result::TooLong;
    if (!control) {
        files_.assign(1, file);
        return Result::Changed;
    }
    const auto at = std::find(files_.begin(), files_.end(), file);
    if (at != files_.end()) {
        files_.erase(at);
        return Result::Changed;
    }
    if (int(files_.size()) >= kMaxFiles) return Result::Full;
    files_.push_back(file);
    return Result::Changed;
}

bool BrowserSelection::Contains(const std::string& file) const {
    return std::find(files_.begin(), files_.end(), file) != files_.end();
}

std::string BrowserSelection::LimitMessage() {
    char text[96];
    std::snprintf(text, sizeof text, "파일은 최대 %d 개까지 오픈 가능합니다.", kMaxFiles);
    return text;
}

std::string BrowserSizeLabel(int width, int height) {
    char text[48];
    std::snprintf(text, sizeof text, "%dⅹ%d", width, height);
    return text;
}

}  // namespace quillet
