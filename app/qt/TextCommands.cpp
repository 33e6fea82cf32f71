#include "app/qt/TextCommands.h"

#include "app/CBrevApp.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "document/CBrevDoc.h"
#include "view/LayerGrowth.h"
#include "view/ToolChoice.h"
#include "view/ToolTable.h"
#include "view/qt/CDlg_Text.h"

namespace quillet {

namespace {
// The settings file keeps colours as 0x00BBGGRR; text layers as 0x00RRGGBB.
uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

QString toQString(std::u16string_view s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}
}  // namespace

TextCommands::TextCommands(CBrevAppShell& shell) : shell_(shell) {
    const FrameSettings& f = shell_.app().settings();
    last_.face = f.fontName;
    last_.size = StoredTextSize(f.fontSize);
    last_.strikeOut = f.fontStrikeOut;
    last_.underline = f.fontUnderline;
    last_.colour = SwapRedBlue(f.textColour);
}

void TextCommands::install(CMainFrame& frame) {
    frame.setCommandHandler(
        CommandOf(ToolId::Text),
        [this, &frame] {
            CBrevDoc* doc = shell_.activeDocument();
            if (ChooseTool(shell_.tools(), ToolId::Text, doc) == ToolChoice::Refused) {
                frame.setPressedButton(CommandOf(shell_.tools().currentTool));
                return;
            }
            frame.setCurrentTool(shell_.tools().currentTool);
            frame.setPreviousTool(shell_.tools().previousTool);
        },
        [this] { return shell_.activeDocument() != nullptr; });
    shell_.toolRegistry().add(ToolId::Text, *this);
}

void TextCommands::down(ToolEvent& event) {
    CBrevDoc& doc = event.doc;
    const LayerTable& t = doc.Layers();
    if (!t.InList(doc.CurrentLayer())) return;
    const LayerPoint p = ToLayer(t.layer(doc.CurrentLayer()), CanvasOf(event.zoomed, doc.Zoom()));
    newText(doc, p.x, p.y);
}

std::optional<std::pair<TextSettings, std::u16string>> TextCommands::ask(
    const TextSettings& settings, const QString& text) {
    CDlg_Text dialog(settings, text, toQString(last_.face), &shell_.frame());
    const bool ok = run_ ? run_(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok) return std::nullopt;
    return std::pair(dialog.settings(), dialog.text().toStdU16String());
}

void TextCommands::remember(const TextSettings& s) {
    last_ = s;
    FrameSettings& f = shell_.app().settings();
    f.fontName = s.face.substr(0, FrameSettings::kMaxNameLength);
    f.fontSize = std::max(2, s.size / 2);
    f.fontStrikeOut = s.strikeOut;
    f.fontUnderline = s.underline;
    f.textColour = SwapRedBlue(s.colour);
}

void TextCommands::newText(CBrevDoc& doc, int x, int y) {
    const auto answer = ask(last_, QString());
    // OK with an empty text changes nothing.
    if (!answer || answer->second.empty()) return;
    remember(answer->first);
    AddTextLayer(doc, rasterizer_, answer->second, answer->first, x, y);
    shell_.frame().updateCommandStates();
}

void TextCommands::editText(CBrevDoc& doc, int slot) {
    const LayerTable& t = doc.Layers();
    if (!t.InList(slot) || !t.layer(slot).IsText()) return;
    const auto answer =
        ask(TextSettingsOf(t.layer(slot)), toQString(TextOf(t.layer(slot), t.planesOf(slot))));
    if (!answer || answer->second.empty()) return;
    remember(answer->first);
    EditTextLayer(doc, rasterizer_, slot, answer->second, answer->first);
    shell_.frame().updateCommandStates();
}

}  // namespace quillet
