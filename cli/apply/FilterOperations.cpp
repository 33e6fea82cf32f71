// Filters, red-eye removal and the alpha commands for quillet-cli apply.
#include <vector>

#include "cli/apply/ApplyOperation.h"
#include "document/CBrevDoc.h"
#include "document/FilterCommands.h"
#include "view/tools/RectangleSelection.h"

namespace quillet::cli {

namespace {

const std::vector<std::string_view>& FilterNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> v;
        for (const FilterRecord& r : FilterTable()) v.push_back(r.utf8Name);
        return v;
    }();
    return names;
}

// The widest ranges of any filter; each filter's own are checked against its record.
const ApplyParameter kFilter[] = {
    {"name", 0, kFilterCount - 1, 0, FilterNames(),
     "the filter's name as the filter list shows it"},
    {"p1", -50, 150, 0, {}, "the filter's first parameter (its default when left out)"},
    {"p2", -50, 150, 0, {}, "the second"},
    {"p3", -50, 150, 0, {}, "the third"},
    {"seed", 0, 2147483647, 1, {}, "start of the random filters' generator"}};

FilterValues ValuesOf(FilterId id, const ApplyValues& v) {
    FilterValues values = DefaultFilterValues(id);
    const char* names[3] = {"p1", "p2", "p3"};
    for (size_t i = 0; i < 3; ++i)
        if (v.Given(names[i])) values[i] = v.Int(names[i]);
    return values;
}

std::string CheckFilter(const ApplyValues& v) {
    const FilterRecord& r = FilterRecordOf(FilterId(v.Int("name")));
    const char* names[3] = {"p1", "p2", "p3"};
    for (int i = 0; i < 3; ++i) {
        if (!v.Given(names[i])) continue;
        if (i >= r.parameterCount) return std::string(r.utf8Name) + " has no " + names[i];
        const FilterParameter& p = r.parameters[size_t(i)];
        const int value = v.Int(names[i]);
        if (value < p.minimum || value > p.maximum)
            return std::string(names[i]) + " of " + std::string(r.utf8Name) + " is " +
                   std::to_string(p.minimum) + ".." + std::to_string(p.maximum);
    }
    return {};
}

std::string FilterDetails() {
    std::string out;
    for (const FilterRecord& r : FilterTable()) {
        out += "      " + std::string(r.utf8Name) + ":";
        for (int i = 0; i < r.parameterCount; ++i) {
            const FilterParameter& p = r.parameters[size_t(i)];
            out += " p" + std::to_string(i + 1) + "=" + std::to_string(p.minimum) + ".." +
                   std::to_string(p.maximum) + " (default " + std::to_string(p.defaultValue) + ")";
        }
        out += r.parameterCount ? "\n" : " no parameters\n";
    }
    return out;
}

const ApplyParameter kRedEye[] = {
    {"x", -1000000, 1000000, 0, {}, "the pupil's rectangle on the canvas"},
    {"y", -1000000, 1000000, 0},
    {"w", 1, 1000000, 1},
    {"h", 1, 1000000, 1},
    {"strength", 1, 10, 10}};

EditOutcome RedEye(CBrevDoc& doc, const ApplyValues& v) {
    const int slot = doc.CurrentLayer();
    if (!doc.Layers().InList(slot)) return EditOutcome::Refused;
    const Layer& l = doc.Layers().layer(slot);
    const int left = v.Int("x") - l.x, top = v.Int("y") - l.y;
    SelectEllipse(doc, left, top, left + v.Int("w") - 1, top + v.Int("h") - 1);
    return RemoveRedEye(doc, v.Int("strength"));
}

template <AlphaCommand C>
EditOutcome Alpha(CBrevDoc& doc, const ApplyValues&) {
    return RunAlphaCommand(doc, C);
}

const ApplyOperation kOperations[] = {
    {"filter", "필터링설정: a filter of the filter list on the layer", kFilter,
     [](CBrevDoc& d, const ApplyValues& v) {
         const FilterId id = FilterId(v.Int("name"));
         d.Random().Seed(uint32_t(v["seed"]));
         return ApplyFilter(d, id, ValuesOf(id, v));
     },
     CheckFilter, FilterDetails},
    {"red-eye", "적안 제거: red-eye in the ellipse inscribed in the rectangle", kRedEye, RedEye},
    {"alpha-remove-transparency",
     "Remove Transparency: no transparent palette index",
     {},
     Alpha<AlphaCommand::RemoveTransparency>},
    {"alpha-remove-channel",
     "Remove Alpha Channel: the alpha maximum becomes 255",
     {},
     Alpha<AlphaCommand::RemoveAlphaChannel>},
    {"alpha-invert",
     "Invert Alpha Channel: records its step",
     {},
     Alpha<AlphaCommand::InvertAlpha>},
    {"alpha-toggle-palette",
     "Toggle Alpha Palette: the palette's alpha on or off",
     {},
     Alpha<AlphaCommand::ToggleAlphaPalette>},
    {"alpha-strip",
     "Strip Alpha: the transparent colour becomes white",
     {},
     Alpha<AlphaCommand::StripAlpha>},
};

}  // namespace

std::span<const ApplyOperation> FilterOperations() { return kOperations; }

}  // namespace quillet::cli
