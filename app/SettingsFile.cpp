#include "app/SettingsFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "base/AtomicFileWriter.h"

namespace quillet {
namespace {

constexpr char kLineEnd[] = "\r\n";

// Works through the bytes the way the C library's formatted scan does: white space in a pattern
// skips any white space, '%' converts a decimal number (white space, sign, digits), any other
// character must match. A failed pattern stops where the input stopped matching, and the next
// pattern carries on from there, so a damaged line costs only the values it holds.
class Scanner {
public:
    explicit Scanner(std::string_view in) : in_(in) {}

    // Converts into values[0..] and returns how many numbers were converted.
    int scan(std::string_view pattern, long long* values) {
        int count = 0;
        for (char p : pattern) {
            if (isSpace(p)) {
                skipSpace();
            } else if (p == '%') {
                if (!number(values[count])) return count;
                ++count;
            } else {
                if (pos_ >= in_.size() || in_[pos_] != p) return count;
                ++pos_;
            }
        }
        return count;
    }

    // Skips blanks and one line end (CR LF, LF or CR) before a raw UTF-16 text. Only one line
    // end is skipped so that a text whose first code unit has a white-space low byte survives.
    void skipLineEnd() {
        while (pos_ < in_.size() && (in_[pos_] == ' ' || in_[pos_] == '\t')) ++pos_;
        if (pos_ < in_.size() && in_[pos_] == '\r') ++pos_;
        if (pos_ < in_.size() && in_[pos_] == '\n') ++pos_;
    }

    // Reads up to `units` UTF-16LE code units, keeping the first `keep` of them.
    std::u16string rawText(size_t units, size_t keep) {
        const size_t available = (in_.size() - pos_) / 2;
        units = std::min(units, available);
        std::u16string text;
        text.reserve(std::min(units, keep));
        for (size_t i = 0; i < units; ++i) {
            const auto lo = static_cast<unsigned char>(in_[pos_ + 2 * i]);
            const auto hi = static_cast<unsigned char>(in_[pos_ + 2 * i + 1]);
            if (i < keep) text.push_back(static_cast<char16_t>(lo | (hi << 8)));
        }
        pos_ += units * 2;
        return text;
    }

    bool atEnd() const { return pos_ >= in_.size(); }

private:
    static bool isSpace(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }
    void skipSpace() {
        while (pos_ < in_.size() && isSpace(in_[pos_])) ++pos_;
    }
    bool number(long long& value) {
        skipSpace();
        size_t p = pos_;
        bool negative = false;
        if (p < in_.size() && (in_[p] == '+' || in_[p] == '-')) negative = in_[p++] == '-';
        if (p >= in_.size() || in_[p] < '0' || in_[p] > '9') return false;
        // Saturate far beyond any 32-bit value instead of overflowing.
        long long v = 0;
        for (; p < in_.size() && in_[p] >= '0' && in_[p] <= '9'; ++p)
            v = std::min<long long>(v * 10 + (in_[p] - '0'), 1LL << 40);
        value = negative ? -v : v;
        pos_ = p;
        return true;
    }

    std::string_view in_;
    size_t pos_ = 0;
};

int toInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }
// Colours are 32-bit values written with a signed 32-bit conversion.
uint32_t toColour(long long v) { return static_cast<uint32_t>(static_cast<uint64_t>(v)); }
long colourText(uint32_t c) { return static_cast<long>(static_cast<int32_t>(c)); }

void appendf(std::string& out, const char* format, auto... values) {
    char buffer[160];
    const int n = std::snprintf(buffer, sizeof buffer, format, values...);
    if (n > 0) out.append(buffer, std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1));
}

void appendUtf16(std::string& out, std::u16string_view text) {
    for (char16_t u : text) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
}

size_t storedLength(const std::u16string& text, size_t limit) {
    return std::min(text.size(), limit);
}

void pick(ColourPick& p, int n, const long long* v) {
    if (n > 0) p.index = toInt(v[0]);
    if (n > 1) p.x = toInt(v[1]);
    if (n > 2) p.y = toInt(v[2]);
}

bool writeFile(const std::string& path, const std::string& bytes) {
    AtomicFileWriter writer(path);
    if (!writer.open()) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), writer.file()) != bytes.size()) return false;
    return writer.commit().ok();
}

}  // namespace

std::string formatSettingsFile(const FrameSettings& s) {
    const size_t nameLen = storedLength(s.fontName, FrameSettings::kMaxNameLength);
    const size_t secondLen = storedLength(s.secondFontName, FrameSettings::kMaxNameLength);
    std::string out;
    appendf(out, "FG%ld BG%ld TX%ld pFG%ld pBG%ld", colourText(s.foreground),
            colourText(s.background), colourText(s.textColour), colourText(s.previousForeground),
            colourText(s.previousBackground));
    appendf(out, "\r\nFG: %d X%d Y%d", s.foregroundPick.index, s.foregroundPick.x,
            s.foregroundPick.y);
    appendf(out, "\r\nBG: %d X%d Y%d", s.backgroundPick.index, s.backgroundPick.x,
            s.backgroundPick.y);
    appendf(out, "\r\nTX: %d X%d Y%d", s.textPick.index, s.textPick.x, s.textPick.y);
    appendf(out, "\r\nFontSize %d %d %d\r\n", s.fontSize, static_cast<int>(nameLen),
            static_cast<int>(secondLen));
    appendf(out, "\r\nFontStrikeOut %d", s.fontStrikeOut ? 1 : 0);
    appendf(out, "\r\nFontUnderLine %d", s.fontUnderline ? 1 : 0);
    appendf(out, "\r\n%d %d", s.brushThickness, s.brushKind);
    appendf(out, "\r\nGGap%d GClr%ld Cur%d Pnt%d %ld %ld", s.gridSpacingAbs(),
            colourText(s.gridColour), s.cursorShape, static_cast<int>(s.pnt),
            colourText(s.pathSegmentColour), colourText(s.pathPointColour));
    appendf(out, "\r\nFog %d", s.fog);
    appendf(out, "\r\nTranspRep %d", s.transparencyPattern);
    out += "\r\nFolder: 0";
    appendf(out, "\r\nUD %d", s.updateFlag);
    appendf(out, "\r\nRS %d", s.selectionTone ? 1 : 0);
    appendf(out, "\r\nWS %d %d %d %d", s.windowSetting, s.showOpenAtStart ? 1 : 0, s.browserKind,
            s.undoBrushGuide ? 1 : 0);
    out += kLineEnd;
    appendUtf16(out, std::u16string_view(s.fontName).substr(0, nameLen));
    out += kLineEnd;
    appendUtf16(out, std::u16string_view(s.secondFontName).substr(0, secondLen));
    return out;
}

void parseSettingsFile(std::string_view bytes, FrameSettings& s) {
    Scanner in(bytes);
    long long v[6];
    int n = in.scan("FG% BG% TX% pFG% pBG%", v);
    if (n > 0) s.foreground = toColour(v[0]);
    if (n > 1) s.background = toColour(v[1]);
    if (n > 2) s.textColour = toColour(v[2]);
    if (n > 3) s.previousForeground = toColour(v[3]);
    if (n > 4) s.previousBackground = toColour(v[4]);
    n = in.scan("\nFG: % X% Y%", v);
    pick(s.foregroundPick, n, v);
    n = in.scan("\nBG: % X% Y%", v);
    pick(s.backgroundPick, n, v);
    n = in.scan("\nTX: % X% Y%", v);
    pick(s.textPick, n, v);

    const int sizes = in.scan("\nFontSize % % %", v);
    if (sizes > 0) s.fontSize = toInt(v[0]);
    // Negative lengths read as empty names; lengths above the limit keep only the first units.
    const long long nameLen = sizes > 1 ? std::clamp<long long>(v[1], 0, 1 << 20) : 0;
    const long long secondLen = sizes > 2 ? std::clamp<long long>(v[2], 0, 1 << 20) : 0;

    if (in.scan("\nFontStrikeOut %", v) > 0) s.fontStrikeOut = v[0] != 0;
    if (in.scan("\nFontUnderLine %", v) > 0) s.fontUnderline = v[0] != 0;
    n = in.scan("\n% %", v);
    if (n > 0) s.brushThickness = toInt(v[0]);
    if (n > 1) s.brushKind = toInt(v[1]);

    n = in.scan("\nGGap% GClr% Cur% Pnt% % %", v);
    if (n > 0) s.gridSpacing = toInt(v[0]);
    if (n > 1) s.gridColour = toColour(v[1]);
    if (n > 2) s.cursorShape = toInt(v[2]);
    if (n > 3) s.pnt = static_cast<uint8_t>(v[3]);
    if (n > 4) s.pathSegmentColour = toColour(v[4]);
    if (n > 5) s.pathPointColour = toColour(v[5]);

    if (in.scan("\nFog %", v) > 0) s.fog = toInt(v[0]);
    if (in.scan("\nTranspRep %", v) > 0) s.transparencyPattern = toInt(v[0]);
    in.scan("\nFolder: %", v);  // read and ignored
    if (in.scan("\nUD %", v) > 0) s.updateFlag = toInt(v[0]);
    if (in.scan("\nRS %", v) > 0) s.selectionTone = v[0] != 0;
    n = in.scan("\nWS % % % %", v);
    if (n > 0) s.windowSetting = toInt(v[0]);
    if (n > 1) s.showOpenAtStart = v[1] != 0;
    if (n > 2) s.browserKind = toInt(v[2]);
    if (n > 3) s.undoBrushGuide = v[3] != 0;

    // The names are raw units at a position only a complete file pins down: without both
    // lengths and the whole WS line they would be read from the wrong place.
    if (sizes == 3 && n == 4) {
        constexpr size_t keep = FrameSettings::kMaxNameLength;
        in.skipLineEnd();
        if (!in.atEnd() || nameLen == 0) s.fontName = in.rawText(nameLen, keep);
        in.skipLineEnd();
        if (!in.atEnd() || secondLen == 0) s.secondFontName = in.rawText(secondLen, keep);
    }

    s.fontSize = std::max(s.fontSize, 2);
    s.brushThickness = std::max(s.brushThickness, 1);
    // Values that index tables or step loops are held to their ranges.
    s.cursorShape = std::clamp(s.cursorShape, 0, FrameSettings::kCursorShapes - 1);
    s.transparencyPattern =
        std::clamp(s.transparencyPattern, 0, FrameSettings::kTransparencyPatterns - 1);
    // The grid always starts hidden, whatever sign the file holds.
    const long long spacing =
        s.gridSpacing < 0 ? -static_cast<long long>(s.gridSpacing) : s.gridSpacing;
    s.gridSpacing = -static_cast<int>(std::clamp<long long>(spacing, FrameSettings::kMinGridSpacing,
                                                            FrameSettings::kMaxGridSpacing));
}

std::string formatFirstShowFile(const FrameSettings& s) {
    const size_t len = storedLength(s.browserFolder, FrameSettings::kMaxFolderLength);
    std::string out;
    appendf(out, "%d update %d", 0, s.updateFlag);
    appendf(out, "\r\n%d", static_cast<int>(len));
    out += kLineEnd;
    appendUtf16(out, std::u16string_view(s.browserFolder).substr(0, len));
    return out;
}

int parseFirstShowFile(std::string_view bytes, FrameSettings& s,
                       std::u16string_view startDirectory) {
    Scanner in(bytes);
    long long v[2];
    int flag = 0;
    const int n = in.scan("% update %", v);
    if (n > 0) flag = toInt(v[0]);
    if (n > 1) s.updateFlag = toInt(v[1]);
    s.browserFolder.clear();
    if (flag == 1) {
        s.browserFolder = std::u16string(startDirectory) + u"/Samples";
    } else if (flag == 0 && in.scan("\n%", v) == 1) {
        const long long len = std::clamp<long long>(v[0], 0, 1 << 20);
        in.skipLineEnd();
        s.browserFolder = in.rawText(static_cast<size_t>(len), FrameSettings::kMaxFolderLength);
    }
    return flag;
}

bool readSmallFile(const std::string& path, std::string& bytes, size_t maxBytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes.clear();
    char buffer[4096];
    while (bytes.size() < maxBytes) {
        const size_t want = std::min(sizeof buffer, maxBytes - bytes.size());
        const size_t got = std::fread(buffer, 1, want, f);
        bytes.append(buffer, got);
        if (got < want) break;
    }
    std::fclose(f);
    return true;
}

bool loadFrameSettings(const std::string& homeDir, std::u16string_view startDirectory,
                       FrameSettings& settings, UserPort& user) {
    settings.transparencyPattern = 3;
    std::string bytes;
    if (!readSmallFile(homeDir + "/" + kSettingsFileName, bytes)) {
        user.showMessage(kMissingSettingsMessage, MessageIcon::Information);
        return false;
    }
    parseSettingsFile(bytes, settings);
    if (readSmallFile(homeDir + "/" + kFirstShowFileName, bytes))
        parseFirstShowFile(bytes, settings, startDirectory);
    else
        settings.browserFolder.clear();
    return true;
}

bool saveFrameSettings(const std::string& homeDir, const FrameSettings& settings) {
    // When the settings file cannot be written, nothing is written.
    return writeFile(homeDir + "/" + kSettingsFileName, formatSettingsFile(settings)) &&
           writeFile(homeDir + "/" + kFirstShowFileName, formatFirstShowFile(settings));
}

}  // namespace quillet
