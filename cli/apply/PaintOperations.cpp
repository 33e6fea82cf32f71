// The painting tools for quillet-cli apply: a stroke is played through a document window's
// dispatch at zoom 1 as the mouse would play it, so it records the editor's own step.
#include <charconv>
#include <vector>

#include "cli/apply/ApplyOperation.h"
#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "view/FrameSettings.h"
#include "view/ToolChoice.h"
#include "view/ToolState.h"
#include "view/ViewState.h"
#include "view/tools/PaintTools.h"

namespace quillet::cli {

namespace {

constexpr std::string_view kTools[] = {"brush", "eraser",     "line", "polyline", "circle",
                                       "spray", "water-drop", "dot",  "touch"};
constexpr ToolId kToolIds[] = {ToolId::Brush,     ToolId::Eraser, ToolId::Line,
                               ToolId::Polyline,  ToolId::Circle, ToolId::Spray,
                               ToolId::WaterDrop, ToolId::Dot,    ToolId::TouchDeform};
constexpr int kMaxPoints = 100000;

// The settings keep colours as 0x00BBGGRR.
uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

bool Number(std::string_view text, int64_t& v) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "X,Y,X,Y,...": canvas points, x from the left and y from the top.
bool ParsePoints(std::string_view text, std::vector<ViewPoint>& points) {
    std::vector<int64_t> n;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        int64_t v = 0;
        if (!Number(text.substr(0, comma), v) || v < -1000000 || v > 1000000) return false;
        n.push_back(v);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
        if (text.empty()) return false;
    }
    if (n.empty() || n.size() % 2 || n.size() / 2 > size_t(kMaxPoints)) return false;
    for (size_t i = 0; i < n.size(); i += 2) points.push_back({int(n[i]), int(n[i + 1])});
    return true;
}

bool ParseStrength(std::string_view text, double& v) {
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && ptr == text.data() + text.size() && v >= -10 && v <= 10;
}

constexpr ApplyParameter kStroke[] = {
    {"points",
     0,
     0,
     0,
     {},
     "X,Y,X,Y,... on the canvas: press, drag steps, release",
     true,
     ApplyValueKind::Text},
    {"tool", 0, 8, 0, kTools, "polyline and dot click at every point"},
    {"size", 1, 30, 5, {}, "brush size"},
    {"soft", 0, 1, 1, {}, "1 soft (붓), 0 hard (연필)"},
    {"colour", 0, 0xFFFFFF, 0, {}, "foreground colour", false, ApplyValueKind::Colour},
    {"seed", 0, 2147483647, 1, {}, "the spray's random numbers"},
    {"mode", 0, 2, 0, {}, "touch: 0 볼록, 1 오목, 2 회오리"},
    {"strength",
     0,
     0,
     0,
     {},
     "touch: real number -10..10 (default 1.0)",
     false,
     ApplyValueKind::Text},
};

std::string CheckStroke(const ApplyValues& v) {
    std::vector<ViewPoint> points;
    if (!ParsePoints(v.Text("points"), points)) return "points takes X,Y pairs separated by commas";
    double s = 0;
    if (v.Given("strength") && !ParseStrength(v.Text("strength"), s))
        return "strength takes a number from -10 to 10";
    return {};
}

EditOutcome Stroke(CBrevDoc& doc, const ApplyValues& v) {
    std::vector<ViewPoint> points;
    const uint32_t rgb = uint32_t(v["colour"]) & 0xFFFFFF;
    double strength = 1.0;
    ParsePoints(v.Text("points"), points);
    if (v.Given("strength")) ParseStrength(v.Text("strength"), strength);
    if (EditableCurrentLayer(doc, TextLayerRule::Refuse) < 0) return EditOutcome::Refused;

    FrameSettings settings;
    settings.foreground = SwapRedBlue(rgb);
    settings.brushThickness = v.Int("size");
    settings.brushKind = v.Int("soft") ? FrameSettings::Brush : FrameSettings::Pencil;
    PaintTools paint(settings);
    TouchDeformSettings& touch = paint.TouchDeform();
    touch.panelOpen = v.Given("mode") || v.Given("strength");
    touch.mode = v.Int("mode");
    touch.strength = strength;
    doc.Random().Seed(uint32_t(v["seed"]));

    ToolState tools;
    ToolRegistry registry;
    paint.Register(registry);
    const ToolId id = kToolIds[v.Int("tool")];
    if (ChooseTool(tools, id, &doc) != ToolChoice::Chosen) return EditOutcome::Refused;
    doc.SetZoom(1.0);
    // A window exactly the canvas's size: window points are canvas points.
    ViewState view(doc, ViewContext{tools, nullptr, &registry});
    view.SetClientSize({doc.Layers().header.canvasWidth, doc.Layers().header.canvasHeight});
    view.UpdateOther();

    doc.SetModified(false);  // a recorded step sets it again
    if (id == ToolId::Polyline || id == ToolId::Dot) {
        for (ViewPoint p : points) {
            view.ButtonDown(p);
            view.ButtonUp(p);
        }
    } else {
        view.ButtonDown(points.front());
        for (size_t i = 1; i < points.size(); ++i) view.MouseMove(points[i], true);
        view.ButtonUp(points.back());
    }
    return doc.Modified() ? EditOutcome::Done : EditOutcome::Unchanged;
}

constexpr ApplyParameter kBalloon[] = {
    {"size", 1, 30, 5, {}, "brush size"},
    {"colour", 0, 0xFFFFFF, 0, {}, "foreground colour", false, ApplyValueKind::Colour},
};

EditOutcome Balloon(CBrevDoc& doc, const ApplyValues& v) {
    FrameSettings settings;
    settings.foreground = SwapRedBlue(uint32_t(v["colour"]) & 0xFFFFFF);
    settings.brushThickness = v.Int("size");
    PaintTools paint(settings);
    return paint.PutSpeechBalloon(doc) ? EditOutcome::Done : EditOutcome::Refused;
}

constexpr ApplyOperation kOperations[] = {
    {"stroke", "붓그리기 and the other painting tools: one stroke through the points", kStroke,
     Stroke, CheckStroke},
    {"balloon", "말풍선 넣기: a circle of radius 50 about (300, height − 150)", kBalloon, Balloon},
};

}  // namespace

std::span<const ApplyOperation> PaintOperations() { return kOperations; }

}  // namespace quillet::cli
