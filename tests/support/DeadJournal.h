#pragma once
// A journal folder as a program that died leaves it: "4242-77" below a tmp folder, its lock
// free, holding the files and manifests of documents edited through a few steps (opened, a layer
// added and painted, moved). The documents are made in a live folder and their files linked into
// the dead one, so they outlive the documents; each document's last state is also saved as VLR.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "document/journal/JournalFolder.h"
#include "document/vlr/VlrWriter.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"
#include "tests/support/TempDir.h"

namespace quillet::testsupport {

// Gives the dead folder (ending in '/'); `expectDir/<stem>.vlr` holds each document's state.
inline std::string MakeDeadJournal(const std::string& tmpRoot,
                                   const std::vector<std::u16string>& fileNames,
                                   const std::string& expectDir) {
    namespace fs = std::filesystem;
    const std::string dead = tmpRoot + "/4242-77/";
    fs::create_directories(dead);
    std::ofstream(dead + JournalFolder::kLockName).put('\0');
    TempDir live("quillet-live");
    RecordingUserPort user;
    int number = 3;
    for (const std::u16string& name : fileNames) {
        CBrevDoc doc(user, number++);
        doc.Journal().SetFolder(live.path().string() + "/");
        doc.SetFileName(name);
        CreateLayerArgs a;
        a.slot = 0;
        a.width = 48 + number;
        a.height = 36;
        a.initialAlpha = 255;
        a.background = true;
        a.kind = LayerKind::Picture;
        if (AddLayer(doc, a, -1) != 0) return {};
        LayerPlanes& p = doc.Layers().planesOf(0);
        for (size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = uint8_t(i * 7 + number);
        doc.SetCurrentLayerIndex(0);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
        const int slot = AddLayer(doc, LayerArgs(doc.Layers(), 1, 5, 4, 20, 12), 0);
        if (slot != 1) return {};
        LayerPlanes& q = doc.Layers().planesOf(1);
        for (size_t i = 0; i < q.alpha.size(); ++i) q.alpha[i] = uint8_t(i * 3);
        doc.SetCurrentLayerIndex(1);
        doc.RecordStep(u"레이어추가", StepKind::AddLayer, 1);
        doc.Layers().layer(1).x += 3;
        doc.RecordStep(u"선택영역 위치이동", StepKind::PixelEdit, 1);
        if (!doc.Journal().FinishWrites()) return {};
        const std::string stem = fs::path(utf16ToUtf8(name)).stem().string();
        if (!VlrWriter(doc).Save(expectDir + "/" + stem + ".vlr")) return {};
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(live.path()))
            fs::create_hard_link(e.path(), dead + e.path().filename().string(), ec);
    }
    return dead;
}

}  // namespace quillet::testsupport
