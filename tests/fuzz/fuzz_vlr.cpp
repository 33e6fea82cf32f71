// VLR documents come from anywhere: the reader must survive every byte string, and whatever it
// accepts must write back to a file that reads back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "document/CBrevDoc.h"
#include "document/vlr/VlrReader.h"
#include "document/vlr/VlrWriter.h"
#include "image/ByteStream.h"
#include "platform/RecordingUserPort.h"

namespace {

// Writing composes the whole canvas; canvases are not bounded by the input's size.
constexpr uint64_t kMaxCanvasForRewrite = uint64_t(1) << 20;

std::vector<uint8_t> rewrite(quillet::CBrevDoc& doc) {
    doc.Layers().header.workingCopySize = 0;
    quillet::MemoryStream out;
    if (!quillet::VlrWriter(doc).Write(out)) __builtin_trap();
    return out.buffer();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        quillet::MemoryStream in(data, size);
        quillet::VlrPreview preview;
        if (quillet::ReadVlrPreview(in, preview) &&
            preview.flat.size() < uint64_t(preview.stride) * uint64_t(preview.height))
            __builtin_trap();
    }
    quillet::RecordingUserPort user;
    quillet::CBrevDoc doc(user);
    quillet::MemoryStream in(data, size);
    if (!quillet::VlrReader(doc).Read(in)) return 0;
    const quillet::PictureHeader& h = doc.Layers().header;
    if (uint64_t(h.canvasWidth) * uint64_t(h.canvasHeight) > kMaxCanvasForRewrite) return 0;

    const std::vector<uint8_t> first = rewrite(doc);
    quillet::CBrevDoc again(user);
    quillet::MemoryStream back(first.data(), first.size());
    if (!quillet::VlrReader(again).Read(back)) __builtin_trap();
    if (rewrite(again) != first) __builtin_trap();
    return 0;
}
