#include "app/ChannelDocuments.h"

#include "app/CBrevApp.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/FilterCommands.h"

namespace quillet {

std::array<CBrevDoc*, 3> OpenChannelDocuments(CBrevApp& app, CBrevDoc& source, ChannelSpace space) {
    std::array<CBrevDoc*, 3> out{};
    auto pictures = ChannelPictures(source, space);
    if (!pictures[0]) return out;
    const int number = app.counters().takeChannelNumber();
    for (size_t k = 0; k < 3; ++k) {
        const std::u16string title = ChannelDocumentTitle(space, int(k), number, source.FileName());
        CBrevDoc& doc = app.createDocument();
        if (!BuildDocumentFromImage(doc, *pictures[k], title, 255)) {
            app.closeDocument(doc);
            continue;
        }
        doc.SetFileName(title);
        out[k] = &doc;
    }
    return out;
}

}  // namespace quillet
