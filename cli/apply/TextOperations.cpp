// Text layers for quillet-cli apply: a new text layer ("글자입력") and an edit of one ("글자수정"),
// drawn with the editor's own font engine.
#include <memory>

#include "base/Utf.h"
#include "cli/apply/ApplyOperation.h"
#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "platform/SystemTextRasterizer.h"
#include "platform/UserPort.h"
#include "view/tools/TextLayer.h"

namespace quillet::cli {

namespace {

constexpr std::string_view kOnOff[] = {"0", "1"};
constexpr std::string_view kAlign[] = {"left", "centre", "right"};

// The settings every text operation takes; x and y only for a new text.
#define QUILLET_TEXT_SETTINGS                                                                   \
    {.name = "face", .help = "font family (default 굴림)", .kind = ApplyValueKind::Text},       \
        {"size", 2, kMaxTextSize / 2, 12, {}, "points, as the text dialog shows them"},         \
        {"bold", 0, 1, 0, kOnOff}, {"italic", 0, 1, 0, kOnOff}, {"underline", 0, 1, 0, kOnOff}, \
        {"strikeout", 0, 1, 0, kOnOff},                                                         \
        {"spacing", 0, 100, 10, {}, "line spacing in tenths (10: single)"},                     \
        {"width", 1, 100, 100, {}, "width ratio in percent"}, {"align", 0, 2, 0, kAlign}, {     \
        .name = "colour", .defaultValue = 0, .kind = ApplyValueKind::Colour                     \
    }

constexpr ApplyParameter kNewText[] = {
    {.name = "text",
     .help = "the lines, split at line feeds",
     .required = true,
     .kind = ApplyValueKind::Text},
    {"x", -kMaxTextSize * 64, kMaxTextSize * 64, 0, {}, "canvas column of the text's top left"},
    {"y", -kMaxTextSize * 64, kMaxTextSize * 64, 0, {}, "canvas row of the text's top left"},
    QUILLET_TEXT_SETTINGS};

constexpr ApplyParameter kEditText[] = {{.name = "text",
                                         .help = "the new lines (default: the layer's own)",
                                         .kind = ApplyValueKind::Text},
                                        QUILLET_TEXT_SETTINGS};

#undef QUILLET_TEXT_SETTINGS

// The settings a run asks for: those given replace `base`'s.
TextSettings SettingsOf(const ApplyValues& v, TextSettings s) {
    if (v.Given("face")) s.face = utf8ToUtf16(v.Text("face"));
    if (v.Given("size")) s.size = StoredTextSize(v.Int("size"));
    if (v.Given("bold")) s.bold = v.Int("bold") != 0;
    if (v.Given("italic")) s.italic = v.Int("italic") != 0;
    if (v.Given("underline")) s.underline = v.Int("underline") != 0;
    if (v.Given("strikeout")) s.strikeOut = v.Int("strikeout") != 0;
    if (v.Given("spacing")) s.lineSpacing = v.Int("spacing") / 10.0;
    if (v.Given("width")) s.widthRatio = v.Int("width");
    if (v.Given("align")) s.align = TextAlign(v.Int("align"));
    if (v.Given("colour")) s.colour = uint32_t(v["colour"]);
    return s;
}

// A new text starts from the dialog's first settings: the size the settings file gives a fresh
// home (12 points) in black.
TextSettings NewTextSettings() {
    TextSettings s;
    s.size = StoredTextSize(12);
    return s;
}

std::unique_ptr<TextRasterizer> Rasterizer(CBrevDoc& doc) {
    std::unique_ptr<TextRasterizer> r = MakeSystemTextRasterizer();
    if (!r) doc.User().showMessage("no font engine could be started: text cannot be drawn");
    return r;
}

EditOutcome NewText(CBrevDoc& doc, const ApplyValues& v) {
    const int current = doc.CurrentLayer();
    if (!doc.Layers().InList(current)) return EditOutcome::Refused;
    const auto rasterizer = Rasterizer(doc);
    if (!rasterizer) return EditOutcome::Refused;
    const Layer& here = doc.Layers().layer(current);
    // Canvas coordinates given; the text command takes the current layer's.
    const int x = v.Int("x") - here.x, y = v.Int("y") - here.y;
    const int slot = AddTextLayer(doc, *rasterizer, utf8ToUtf16(v.Text("text")),
                                  SettingsOf(v, NewTextSettings()), x, y);
    return slot >= 0 ? EditOutcome::Done : EditOutcome::Refused;
}

EditOutcome EditText(CBrevDoc& doc, const ApplyValues& v) {
    const LayerTable& t = doc.Layers();
    const int slot = v.layer;
    if (!t.InList(slot) || !t.layer(slot).IsText()) {
        doc.User().showMessage("the layer in slot " + std::to_string(slot) + " is no text layer");
        return EditOutcome::Refused;
    }
    const auto rasterizer = Rasterizer(doc);
    if (!rasterizer) return EditOutcome::Refused;
    const std::u16string text =
        v.Given("text") ? utf8ToUtf16(v.Text("text")) : TextOf(t.layer(slot), t.planesOf(slot));
    return EditTextLayer(doc, *rasterizer, slot, text, SettingsOf(v, TextSettingsOf(t.layer(slot))))
               ? EditOutcome::Done
               : EditOutcome::Refused;
}

std::string CheckNewText(const ApplyValues& v) {
    return v.Text("text").empty() ? "the text is empty" : "";
}

std::string CheckEditText(const ApplyValues& v) {
    if (v.layer < 0) return "name the text layer with --layer SLOT";
    return v.Given("text") && v.Text("text").empty() ? "the text is empty" : "";
}

constexpr ApplyOperation kOperations[] = {
    {"text", "글자입력: a text layer above the current layer, its top left at (x, y)", kNewText,
     NewText, CheckNewText},
    {"text-edit", "글자수정: the text layer --layer names drawn again with the values given",
     kEditText, EditText, CheckEditText},
};

}  // namespace

std::span<const ApplyOperation> TextOperations() { return kOperations; }

}  // namespace quillet::cli
