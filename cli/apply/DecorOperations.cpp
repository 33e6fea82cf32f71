// Decorations for quillet-cli apply: the layer shadow, line patterns, photo frames and month
// calendars, with the parameters of their dialogs.
#include <memory>

#include "cli/apply/ApplyOperation.h"
#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "platform/SystemTextRasterizer.h"
#include "platform/UserPort.h"
#include "view/tools/Calendar.h"
#include "view/tools/LayerShadow.h"
#include "view/tools/LinePattern.h"
#include "view/tools/PhotoFrame.h"

namespace quillet::cli {

namespace {

constexpr int64_t kWhite = 0xFFFFFF;

constexpr ApplyParameter kShadow[] = {
    {"distance", 0, kMaxShadowDistance, 7, {}, "pixels; 0 takes the shadow away"},
    {"angle", -359, 360, 0, {}, "degrees; 0 casts it to the left, 90 downwards"},
    {"opacity", 5, 100, 70},
    {"softness", 0, 99, 50},
    {.name = "colour", .maximum = kWhite, .kind = ApplyValueKind::Colour}};

EditOutcome shadow(CBrevDoc& doc, const ApplyValues& v) {
    ShadowSettings s;
    s.distance = v.Int("distance");
    s.angle = v.Int("angle");
    s.opacity = v.Int("opacity");
    s.softness = v.Int("softness");
    s.colour = uint32_t(v["colour"]);
    return ApplyShadow(doc, s);
}

constexpr std::string_view kPatternTypes[] = {"rows", "columns", "diagonal", "antidiagonal"};
constexpr ApplyParameter kLinePattern[] = {
    {"type", kFirstLinePattern, kLastLinePattern, kFirstLinePattern, kPatternTypes,
     "패턴0 .. 패턴3"},
    {"spacing", kMinPatternSpacing, 100000, 6, {}, "pixels between lines"},
    {.name = "colour", .maximum = kWhite, .kind = ApplyValueKind::Colour}};

EditOutcome linePattern(CBrevDoc& doc, const ApplyValues& v) {
    return PutLinePattern(doc, {v.Int("type"), v.Int("spacing"), uint32_t(v["colour"])});
}

constexpr ApplyParameter kFrame[] = {
    {"style", 0, kPhotoFrameStyles - 1, 0, {}, "0 graded, 1 bevelled, 2 mat, 3 striped"},
    {"width", 1, 100000, 20, {}, "pixels from the canvas edge"},
    {.name = "colour", .maximum = kWhite, .defaultValue = 0x8B5A2B, .kind = ApplyValueKind::Colour},
    {.name = "second",
     .maximum = kWhite,
     .defaultValue = 0xF0E6D2,
     .help = "styles 2 and 3",
     .kind = ApplyValueKind::Colour}};

EditOutcome frame(CBrevDoc& doc, const ApplyValues& v) {
    return PutPhotoFrame(
        doc, {v.Int("style"), uint32_t(v["colour"]), uint32_t(v["second"]), v.Int("width")});
}

constexpr ApplyParameter kCalendar[] = {
    {"year", 1, 9999, 0, {}, {}, true},
    {"month", 1, 12, 0, {}, {}, true},
    {"x", -100000, 100000, 10, {}, "canvas position of the title"},
    {"y", -100000, 100000, 10},
    {"size", 2, 500, 12, {}, "points"},
    {.name = "colour",
     .maximum = kWhite,
     .help = "title and weekdays",
     .kind = ApplyValueKind::Colour},
    {.name = "sunday", .maximum = kWhite, .defaultValue = 0xFF0000, .kind = ApplyValueKind::Colour},
    {.name = "saturday",
     .maximum = kWhite,
     .defaultValue = 0x0000FF,
     .kind = ApplyValueKind::Colour}};

EditOutcome calendar(CBrevDoc& doc, const ApplyValues& v) {
    // One font engine for the run; the editor's own fonts when the machine has them.
    static const std::unique_ptr<TextRasterizer> rasterizer = MakeSystemTextRasterizer();
    if (!rasterizer) {
        doc.User().showMessage("no font engine could be started: text cannot be drawn");
        return EditOutcome::Refused;
    }
    CalendarRequest q = CalendarRequestFor(v.Int("year"), v.Int("month"));
    q.x = v.Int("x");
    q.y = v.Int("y");
    q.font.size = StoredTextSize(v.Int("size"));
    q.font.colour = uint32_t(v["colour"]);
    q.titleColour = q.font.colour;
    q.sundayColour = uint32_t(v["sunday"]);
    q.saturdayColour = uint32_t(v["saturday"]);
    return AddCalendarLayer(doc, *rasterizer, q) >= 0 ? EditOutcome::Done : EditOutcome::Refused;
}

constexpr ApplyOperation kOperations[] = {
    {"shadow", "그림자 효과: a soft drop shadow of the layer's shape", kShadow, shadow, nullptr,
     nullptr, ApplyTarget::Layers},
    {"line-pattern", "빗살무뉘넣기: evenly spaced lines on the \"[LinePattern]\" layer",
     kLinePattern, linePattern, nullptr, nullptr, ApplyTarget::Canvas},
    {"frame", "사진틀 넣기: a border on the \"[ImgFrame]\" layer", kFrame, frame, nullptr, nullptr,
     ApplyTarget::Canvas},
    {"calendar", "달력 넣기: the month's calendar on a layer of its own", kCalendar, calendar,
     nullptr, nullptr, ApplyTarget::Canvas},
};

}  // namespace

std::span<const ApplyOperation> DecorOperations() { return kOperations; }

}  // namespace quillet::cli
