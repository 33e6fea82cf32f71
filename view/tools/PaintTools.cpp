// The painting tools' mouse handlers. A stroke starts from the snapshot, writes each step into
// the layer and the snapshot (only the area the step touched), shows that area, and records
// its journal step on button up. Previews (line, circle) put back the area of the last preview
// before drawing the next and never touch the snapshot.
#include "view/tools/PaintTools.h"

#include <algorithm>
#include <cmath>

#include "document/CBrevDoc.h"
#include "image/effects/RadialWarp.h"
#include "platform/UserPort.h"
#include "view/FrameSettings.h"
#include "view/LayerGrowth.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"
#include "view/tools/PaintRoutines.h"

namespace quillet {

namespace {

uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

std::u16string_view LabelOf(ToolId id) {
    const ToolInfo* t = FindTool(id);
    return t ? t->undoLabel : std::u16string_view{};
}

ViewPoint Zoomed(const AnchorPoint& a) { return {a.x, a.y}; }

// The common part of every painting tool: the layer it writes and the step primitives.
class PaintTool : public ToolOperation {
public:
    PaintTool(PaintTools& owner, ToolId id) : owner_(owner), id_(id) {}

protected:
    // Takes the current layer for a new stroke (the text-layer message when refused) and puts
    // it back to the snapshot, so the stroke starts from the state before it.
    bool Begin(ToolEvent& e) {
        active_ = false;
        preview_ = {};
        if (layer_.Open(e.doc) < 0) return false;
        e.doc.RestoreFromSnapshot(layer_.Slot());
        return active_ = layer_.Reopen(e.doc);
    }
    // The point in layer coordinates; a point outside the layer grows it first.
    LayerPoint Grow(ToolEvent& e, ViewPoint zoomed) {
        const LayerPoint p = CurrentLayerPoint(e.doc, zoomed, LabelOf(id_));
        if (!layer_.Reopen(e.doc)) active_ = false;
        return p;
    }
    LayerPoint At(const CBrevDoc& doc, ViewPoint zoomed) const {
        return ToLayer(doc.Layers().layer(layer_.Slot()), CanvasOf(zoomed, doc.Zoom()));
    }
    // A stored step: the layer and the snapshot agree again over `area`.
    void Keep(CBrevDoc& doc, const PixelArea& area) {
        StoreArea(doc, layer_.Slot(), area);
        ShowArea(doc, layer_.Slot(), area);
    }
    // A preview: the last one goes, the new one shows.
    void UndoPreview(CBrevDoc& doc) {
        if (preview_.Empty()) return;
        RestoreArea(doc, layer_.Slot(), preview_);
        ShowArea(doc, layer_.Slot(), preview_);
        preview_ = {};
    }
    void Record(CBrevDoc& doc) {
        doc.RecordStep(LabelOf(id_), StepKind::PixelEdit, layer_.Slot());
        doc.NotifyViewsUpdate();
    }

    PaintTools& owner_;
    ToolId id_;
    PaintLayer layer_;
    bool active_ = false;
    PixelArea preview_;
};

// Brush (1347) and eraser (1355): a stamp at the press, then the line from the last point to
// each new one.
class BrushTool final : public PaintTool {
public:
    BrushTool(PaintTools& owner, ToolId id) : PaintTool(owner, id) {}
    void down(ToolEvent& e) override {
        if (!Begin(e)) return;
        const LayerPoint p = Grow(e, e.zoomed);
        if (active_) Stroke(e, p, p);
    }
    void drag(ToolEvent& e) override {
        if (!active_) return;
        const LayerPoint p = Grow(e, e.zoomed);
        if (active_) Stroke(e, At(e.doc, Zoomed(Last(e.doc))), p);
    }
    void up(ToolEvent& e) override {
        if (!active_) return;
        active_ = false;
        Record(e.doc);
    }

private:
    bool Erasing() const { return id_ == ToolId::Eraser; }
    AnchorPoint& Last(CBrevDoc& doc) {
        ToolAnchors& a = doc.ViewShared().anchors;
        return Erasing() ? a.eraserLast : a.drag;
    }
    void Stroke(ToolEvent& e, const LayerPoint& from, const LayerPoint& to) {
        const BrushStamp& stamp = owner_.Stamp();
        const PixelArea area =
            Erasing() ? EraseLine(layer_.Pixels(), stamp, from.x, from.row, to.x, to.row)
                      : PaintLine(layer_.Target(), stamp, from.x, from.row, to.x, to.row,
                                  owner_.Colour());
        Keep(e.doc, area);
        Last(e.doc) = {e.zoomed.x, e.zoomed.y};
    }
};

// Line (1356) and circle (1380): previews while dragging, the final shape on button up.
class ShapeTool final : public PaintTool {
public:
    ShapeTool(PaintTools& owner, ToolId id) : PaintTool(owner, id) {}
    void down(ToolEvent& e) override {
        if (!Begin(e)) return;
        Grow(e, e.zoomed);
        if (id_ == ToolId::Line) e.doc.ViewShared().anchors.drag = {e.zoomed.x, e.zoomed.y};
    }
    void drag(ToolEvent& e) override {
        if (!active_) return;
        UndoPreview(e.doc);
        preview_ = Draw(e);
        ShowArea(e.doc, layer_.Slot(), preview_);
    }
    void up(ToolEvent& e) override {
        if (!active_) return;
        UndoPreview(e.doc);
        const PixelArea area = Draw(e);
        if (!active_) return;
        active_ = false;
        Keep(e.doc, area);
        Record(e.doc);
    }

private:
    PixelArea Draw(ToolEvent& e) {
        const LayerPoint p = Grow(e, e.zoomed);
        if (!active_) return {};
        const ToolAnchors& anchors = e.doc.ViewShared().anchors;
        if (id_ == ToolId::Line) {
            const LayerPoint a = At(e.doc, Zoomed(anchors.drag));
            return PaintLine(layer_.Target(), owner_.Stamp(), a.x, a.row, p.x, p.row,
                             owner_.Colour());
        }
        // The press lies on the circle, the pointer is its centre.
        return Circle(At(e.doc, Zoomed(anchors.circlePress)), p);
    }

public:
    // The circle through a canvas point about another as one stroke: grows the layer to both
    // points as a press and a release there would, draws, keeps and records.
    bool PutCircle(CBrevDoc& doc, ToolState& tools, ViewPoint rim, ViewPoint centre) {
        ToolEvent e{doc, tools, {}};
        if (!Begin(e)) return false;
        for (ViewPoint p : {rim, centre}) GrowLayerToPoint(doc, layer_.Slot(), p, LabelOf(id_));
        active_ = false;
        if (!layer_.Reopen(doc)) return false;
        const Layer& l = doc.Layers().layer(layer_.Slot());
        Keep(doc, Circle(ToLayer(l, rim), ToLayer(l, centre)));
        Record(doc);
        return true;
    }

private:
    PixelArea Circle(const LayerPoint& rim, const LayerPoint& centre) {
        const double dx = rim.x - centre.x, dy = rim.y - centre.y;
        const int r = int(std::sqrt(dx * dx + dy * dy));
        return PaintCircle(layer_.Target(), BrushStamp(owner_.Size(), true), centre.x, centre.row,
                           r, owner_.Colour());
    }
};

// Polyline (1357): each click after the first draws the edge from the previous click and
// records it.
class PolylineTool final : public PaintTool {
public:
    using PaintTool::PaintTool;
    void down(ToolEvent& e) override {
        if (!Begin(e)) return;
        const LayerPoint p = Grow(e, e.zoomed);
        if (!active_) return;
        AnchorPoint& anchor = e.doc.ViewShared().anchors.drag;
        if (anchor.IsSet()) {
            const LayerPoint a = At(e.doc, Zoomed(anchor));
            Keep(e.doc, PaintLine(layer_.Target(), owner_.Stamp(), a.x, a.row, p.x, p.row,
                                  owner_.Colour()));
            Record(e.doc);
        }
        anchor = {e.zoomed.x, e.zoomed.y};
        active_ = false;
    }
};

// Dot (1350): one square at the click, recorded at once.
class DotTool final : public PaintTool {
public:
    using PaintTool::PaintTool;
    void down(ToolEvent& e) override {
        if (!Begin(e)) return;
        const LayerPoint p = Grow(e, {e.zoomed.x - 2, e.zoomed.y + 1});
        if (!active_) return;
        Keep(e.doc, PaintDot(layer_.Target(), p.x, p.row, owner_.Size(), owner_.Colour()));
        Record(e.doc);
        active_ = false;
    }
};

// Spray (1346) and water drop (1354): one disc or drop at every press and drag step.
class DabTool final : public PaintTool {
public:
    using PaintTool::PaintTool;
    void down(ToolEvent& e) override {
        if (Begin(e)) Dab(e);
    }
    void drag(ToolEvent& e) override {
        if (active_) Dab(e);
    }
    void up(ToolEvent& e) override {
        if (!active_) return;
        active_ = false;
        Record(e.doc);
    }

private:
    void Dab(ToolEvent& e) {
        if (id_ == ToolId::Spray) {
            const LayerPoint p = Grow(e, e.zoomed);
            if (active_)
                Keep(e.doc, Spray(layer_.Target(), p.x, p.row, owner_.Colour(), e.doc.Random()));
            return;
        }
        // A drop lands only on a visible pixel: outside the layer there is nothing to smear.
        const LayerPoint p = At(e.doc, e.zoomed);
        Keep(e.doc, WaterDrop(layer_.Target(), p.x, p.row, owner_.Size()));
    }
};

// Touch deform (3340): on button up the area around the point is warped.
class TouchDeformTool final : public PaintTool {
public:
    using PaintTool::PaintTool;
    void up(ToolEvent& e) override {
        if (!Begin(e)) return;
        active_ = false;
        const LayerPixels& l = layer_.Pixels();
        if (l.bytesPerPixel < 3) return;  // palette indices do not blend
        const TouchDeformSettings& s = owner_.TouchDeform();
        const int w = s.panelOpen ? s.width : TouchDeformSettings::kClosedWidth;
        const int h = s.panelOpen ? s.height : TouchDeformSettings::kClosedHeight;
        if (w < 1 || h < 1) return;
        const LayerPoint p = At(e.doc, e.zoomed);
        WarpRequest q;
        q.mode = WarpMode(std::clamp(s.mode, 0, 2));
        q.falloff = s.mode == 1;
        q.strength = float(s.panelOpen ? s.strength : 1.0);
        q.left = p.x - w / 2;
        q.right = q.left + w;
        q.top = p.row - h / 2;
        q.bottom = q.top + h;
        q.background = packBgr(e.doc.Image().transparentColour);
        e.doc.User().waitCursor(true);
        RadialWarp(l, q);
        e.doc.User().waitCursor(false);
        Keep(e.doc, {q.left, q.top, q.right, q.bottom});
        Record(e.doc);
    }
};

// Colour pick (2097): the colour under the click becomes the foreground colour.
class ColourPickTool final : public PaintTool {
public:
    using PaintTool::PaintTool;
    void down(ToolEvent& e) override {
        if (layer_.Open(e.doc) < 0) return;
        const LayerPoint p = At(e.doc, e.zoomed);
        if (!p.inside) return;
        owner_.PickColour(SwapRedBlue(e.doc.Layers().ColorAt(layer_.Slot(), p.x, p.row)));
    }
};

}  // namespace

struct PaintTools::Tools {
    explicit Tools(PaintTools& o)
        : brush(o, ToolId::Brush),
          eraser(o, ToolId::Eraser),
          line(o, ToolId::Line),
          circle(o, ToolId::Circle),
          polyline(o, ToolId::Polyline),
          dot(o, ToolId::Dot),
          spray(o, ToolId::Spray),
          drop(o, ToolId::WaterDrop),
          touch(o, ToolId::TouchDeform),
          pick(o, ToolId::ColourPick) {}
    BrushTool brush, eraser;
    ShapeTool line, circle;
    PolylineTool polyline;
    DotTool dot;
    DabTool spray, drop;
    TouchDeformTool touch;
    ColourPickTool pick;

    ToolOperation* Find(ToolId id) {
        switch (id) {
            case ToolId::Brush:
                return &brush;
            case ToolId::Eraser:
                return &eraser;
            case ToolId::Line:
                return &line;
            case ToolId::Circle:
                return &circle;
            case ToolId::Polyline:
                return &polyline;
            case ToolId::Dot:
                return &dot;
            case ToolId::Spray:
                return &spray;
            case ToolId::WaterDrop:
                return &drop;
            case ToolId::TouchDeform:
                return &touch;
            case ToolId::ColourPick:
                return &pick;
            default:
                return nullptr;
        }
    }
};

PaintTools::PaintTools(FrameSettings& settings)
    : settings_(settings), tools_(std::make_unique<Tools>(*this)) {}

PaintTools::~PaintTools() = default;

constexpr ToolId kPaintTools[] = {
    ToolId::Brush, ToolId::Eraser, ToolId::Line,      ToolId::Circle,      ToolId::Polyline,
    ToolId::Dot,   ToolId::Spray,  ToolId::WaterDrop, ToolId::TouchDeform, ToolId::ColourPick};

void PaintTools::Register(ToolRegistry& registry) {
    for (ToolId id : kPaintTools) registry.add(id, *tools_->Find(id));
}

bool PaintTools::PutSpeechBalloon(CBrevDoc& doc) {
    ToolState tools;
    const int height = doc.Layers().header.canvasHeight;
    return tools_->circle.PutCircle(doc, tools, {300, height - 200}, {300, height - 150});
}

ToolOperation& PaintTools::Operation(ToolId id) {
    ToolOperation* op = tools_->Find(id);
    return op ? *op : tools_->brush;
}

uint32_t PaintTools::Colour() const { return SwapRedBlue(settings_.foreground) & 0xFFFFFF; }

int PaintTools::Size() const {
    return std::clamp(settings_.brushThickness, 1, BrushStamp::kMaxSize);
}

bool PaintTools::Soft() const { return settings_.brushKind == FrameSettings::Brush; }

const BrushStamp& PaintTools::Stamp() {
    if (stamp_.Size() != Size() || stamp_.Soft() != Soft()) stamp_ = BrushStamp(Size(), Soft());
    return stamp_;
}

void PaintTools::PickColour(uint32_t bbggrr) {
    settings_.foreground = bbggrr & 0xFFFFFF;
    if (picked_) picked_(settings_.foreground);
}

}  // namespace quillet
