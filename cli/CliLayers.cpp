// quillet-cli layers: the layer list of a document, one line per layer from the bottom up.
#include <ostream>

#include "base/Utf.h"
#include "cli/CliCommands.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "platform/RecordingUserPort.h"

namespace quillet::cli {

namespace {

const char* KindName(uint8_t kind) {
    switch (kind) {
        case LayerKind::Raster:
            return "raster";
        case LayerKind::Picture:
            return "picture";
        case LayerKind::Text:
            return "text";
        case LayerKind::Floating:
            return "floating";
    }
    return "unknown";
}

const char* BlendName(BlendMode mode) {
    switch (mode) {
        case BlendMode::Normal:
            return "normal";
        case BlendMode::Multiply:
            return "multiply";
        case BlendMode::Screen:
            return "screen";
        case BlendMode::Darken:
            return "darken";
        case BlendMode::Lighten:
            return "lighten";
        case BlendMode::Difference:
            return "difference";
        case BlendMode::Negation:
            return "negation";
        case BlendMode::Exclusion:
            return "exclusion";
        case BlendMode::Overlay:
            return "overlay";
    }
    return "normal";
}

}  // namespace

int Layers(const std::string& path, std::ostream& out, std::ostream& err) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    if (const Status opened = OpenDocument(doc, path); !opened) {
        err << path << ": " << opened.message() << '\n';
        return 1;
    }
    const LayerTable& t = doc.Layers();
    for (int slot : t.Order()) {
        const Layer& l = t.layer(slot);
        // Tabs keep names with spaces in one field.
        out << slot << '\t' << utf16ToUtf8(l.Name()) << '\t' << KindName(l.kind) << '\t' << l.x
            << '\t' << l.y << '\t' << l.width << '\t' << l.height << '\t' << (l.IsVisible() ? 1 : 0)
            << '\t' << int(l.transparency) << '\t' << BlendName(l.Blend()) << '\n';
    }
    return 0;
}

}  // namespace quillet::cli
