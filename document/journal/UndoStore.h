#pragma once
// The document's undo/redo history: 20 step entries in memory, and the changed layers' planes in
// temporary files named after the document number, the step and the slot.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/Layer.h"
#include "document/LayerTable.h"
#include "document/journal/JournalWriter.h"
#include "image/BitmapInfo.h"

namespace quillet {

class CBrevDoc;

// Step kinds: what undo and redo rebuild. The tools of the view record theirs here too.
enum class StepKind : int32_t {
    PixelEdit = 0,    // one layer's pixels, and moves of one layer
    DeleteLayer = 1,  // "레이어삭제"
    AddLayer = 2,    // "레이어추가", "패턴 레이어 넣기", "[달력]", "사진틀 넣기"
    PasteLayer = 3,  // "복사물 붙이기"
    TextEdit = 4,    // "글자수정"
    TextLayer = 5,   // "글자입력"
    MoveInStack = 6,   // "레이어 위치 이동"
    CanvasResize = 7,  // every layer saved
    Flatten = 8,       // "떡이미지"
    Merge = 9,         // "레이어병합"
    Rotate = 10,       // every layer saved, with the angle
};

struct JournalRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const JournalRect&) const = default;
};

// Tool and view state kept with each step: the main frame and the views hand it over as plain
// values before a step is recorded, and read it back after an undo or redo.
struct JournalViewState {
    int32_t toolCommand = 0;  // the main frame's current tool
    JournalRect pictureRect;  // the document's picture rectangle
    double zoom = 1.0;
    std::array<int32_t, 28> scroll{};  // scroll sizes and positions of the view
    JournalRect frameRect;             // the document frame window; empty when unknown
    bool operator==(const JournalViewState&) const = default;
};

// Values only some kinds carry.
struct StepExtras {
    std::array<int32_t, 2> frameValues{};  // canvas resize: two placement values of the frame
    double rotationDegrees = 0;            // rotations
};

// One slot as saved in a step: the fields rebuild needs, the mask geometry its layer file was
// written with, and the whole stored record for the remaining fields (name, visibility, blend).
struct StepSlotFields {
    bool stored = false;  // this step wrote the slot's layer file
    int32_t width = 0, height = 0;
    uint32_t planeSize = 0, pixelSize = 0, stride = 0;
    uint8_t kind = 0;
    int32_t textLength = 0;
    uint32_t textColour = 0;
    int32_t textX = 0, textY = 0;
    int32_t maskX = 0, maskY = 0, maskWidth = 0, maskHeight = 0;
    Layer record{};
    // What the file holds, to know a later step's file of the slot would be the same bytes.
    PlaneStamp pixelsStamp, alphaStamp, effectStamp;
    uint64_t maskHash = 0;
    uint64_t inode = 0;  // of the file, which keeps it through renames
};

struct StepPictureValues {
    int32_t paletteSize = 0, bitsPerPixel = 0;
    int32_t canvasWidth = 0, canvasHeight = 0;
    uint32_t canvasImageSize = 0, canvasPixelCount = 0;
    int32_t originX = 0, originY = 0;
    bool selectionActive = false;
    int32_t maskX = 0, maskY = 0, maskWidth = 0, maskHeight = 0;
};

struct StepEntry {
    std::u16string label;  // first 100 characters
    StepKind kind = StepKind::PixelEdit;
    int layer = -1;
    // List structure.
    int bottom = -1;
    std::array<int32_t, kLayerSlots> used{};
    std::array<int16_t, kLayerSlots> previous{};
    std::array<int16_t, kLayerSlots> next{};
    // Positions of all slots; geometry of the saved ones.
    std::array<int32_t, kLayerSlots> x{};
    std::array<int32_t, kLayerSlots> y{};
    std::array<StepSlotFields, kLayerSlots> slotFields{};
    // The step layer's appearance.
    uint8_t transparency = 0, effectValue1 = 0, effectValue2 = 0, effectValue3 = 0;
    uint32_t effectColour = 0;
    int32_t effectParameter = 0;
    StepPictureValues picture;
    std::vector<Rgbquad> palette;
    JournalViewState view;
    BitmapInfoHeader imageDescription{};
    StepExtras extras;
};

// One row of the history list in the layer window.
struct HistoryRow {
    std::u16string text;
    int step = 0;                         // -1 for the row of a picture without history
    StepKind kind = StepKind::PixelEdit;  // the layer window picks the row's icon from it
};

// A 64-bit hash of the selection mask's bytes, kept with each layer file.
uint64_t MaskHash(const std::vector<uint8_t>& bytes);

class UndoStore {
public:
    static constexpr int kSteps = 20;

    explicit UndoStore(CBrevDoc& doc);
    // Deletes this document's journal files: nobody can undo into a closed document.
    ~UndoStore();
    UndoStore(const UndoStore&) = delete;
    UndoStore& operator=(const UndoStore&) = delete;

    // The folder the files go to, ending in '/'. Without one nothing is written.
    void SetFolder(std::string folder);
    const std::string& Folder() const { return folder_; }

    // Called by every operation after its change; layer -1 means the current layer.
    bool RecordStep(std::u16string_view label, StepKind kind, int layer = -1,
                    const StepExtras& extras = {});
    bool Undo();
    bool Redo();
    // Rebuilds a listed slot from the entry and layer file of `step`.
    bool RebuildLayer(int slot, int step) { return Rebuild(slot, step, step); }

    int StepIndex() const { return stepIndex_; }
    int RedoLimit() const { return redoLimit_; }
    bool CanUndo() const { return stepIndex_ > 0; }
    bool CanRedo() const { return redoLimit_ >= stepIndex_ + 1 && stepIndex_ >= 0; }
    const StepEntry& Entry(int step) const { return entries_[size_t(step)]; }

    // Tool and view state: set before recording, read back after an undo or redo.
    void SetViewState(const JournalViewState& state) { viewState_ = state; }
    const JournalViewState& ViewState() const { return viewState_; }

    // History list rows, from the current step down to 0.
    std::vector<HistoryRow> HistoryRows() const;
    static HistoryRow InitialStateRow();
    // "REDO : 언두리스트(Top n)" with every step's label up to the current one.
    std::u16string HistoryText() const;
    // The history text of the last successful redo, for the user to see.
    const std::u16string& LastRedoText() const { return lastRedoText_; }

    const std::string& LastError() const { return lastError_; }

    // The pixel buffer of a listed `slot` as the history holds it at `step`: from the latest
    // layer file at or before that step. `fields` describe it (size, stride) and `x`, `y` give
    // the slot's place at the step. False when the step did not have the layer or no file
    // holds its pixels (a text layer, no journal folder, a missing or damaged file).
    bool ReadLayerPixels(int slot, int step, StepSlotFields& fields, int& x, int& y,
                         std::vector<uint8_t>& pixels) const;
    // Large files are written in the background (see JournalWriter); this waits until every
    // recorded step's files are on disk. False when some could not be written (LastError).
    bool FinishWrites();
    JournalWriter& Writer() { return writer_; }

    std::string LayerFileName(int step, int slot) const;
    std::string ManifestPath() const;
    // Steps recorded, undone or redone since the document opened: the manifest's serial.
    uint64_t Serial() const { return serial_; }
    std::string InitialListFileName() const;
    std::string RedoListFileName() const;

    // List files: the whole layer list. Reading starts at `bottomSlot` (the bottom index when
    // the file was written) and leaves the document unchanged when the file is missing or bad.
    bool WriteListFile(const std::string& path);
    bool ReadListFile(const std::string& path, int bottomSlot);

private:
    // Record.
    void StoreStructure(StepEntry& e) const;
    void StoreSlot(StepEntry& e, int step, int slot);
    void StorePictureValues(StepEntry& e, int layer);
    void ShiftOut();
    // Files.
    bool WriteLayerFile(int step, int slot);
    bool LinkUnchangedLayerFile(int step, int slot);
    bool ReadLayerFile(int step, int slot, const StepSlotFields& f);
    void DeleteStepFiles(int step);
    void DeleteAllFiles();
    // Removes a file that a manifest still waiting in the writer's queue may name: it is renamed
    // out of the way at once and removed once that manifest is on disk.
    void RetireFile(const std::string& path);
    void RemoveRetiredFiles();
    // The recovery manifest of the state the document is at: written by the writer after the
    // files it names, or (`now`) after waiting for them, here.
    void WriteManifest(bool now);
    // Undo and redo.
    bool Rebuild(int slot, int fileStep, int stateStep);
    int SourceStep(int slot, int atOrBelow) const;
    void RestoreStructure(const StepEntry& e);
    bool RebuildUnsizedLayers(int stateStep);
    void KeepCurrentLayerListed(int preferred);
    void FinishReplay();
    void EndReplay();

    CBrevDoc& doc_;
    std::string folder_;
    std::vector<StepEntry> entries_;  // kSteps entries, on the heap (each ~40 KB)
    int stepIndex_ = -1;
    int redoLimit_ = -1;
    int redoListBottom_ = -1;
    bool replaying_ = false;  // inside undo or redo
    JournalViewState viewState_;
    std::u16string lastRedoText_;
    std::string lastError_;
    uint64_t serial_ = 0;
    uint64_t retired_ = 0;
    // Last: the files it is still writing are dropped before the store deletes them.
    JournalWriter writer_;
};

}  // namespace quillet
