#pragma once
// How views and panels learn what changed in a document. Every method does nothing by default,
// so an observer overrides only what it shows.
namespace quillet {

class CBrevDoc;

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    // Layer content or placement changed: views recompose.
    virtual void onViewsUpdate(CBrevDoc&) {}
    // Only the pixels of canvas columns left..right−1 and rows top..bottom−1 (rows from the
    // canvas top) changed: views recompose that area alone. A painting stroke sends one per
    // mouse event and ends with onViewsUpdate.
    virtual void onAreaChanged(CBrevDoc&, int left, int top, int right, int bottom) {
        (void)left, (void)top, (void)right, (void)bottom;
    }
    // The list of layers, their names or the current layer changed: the layer list refreshes.
    virtual void onLayerListChanged(CBrevDoc&) {}
    virtual void onCurrentLayerChanged(CBrevDoc&, int slot) { (void)slot; }
    // The selection outline animation is (re)started with this period.
    virtual void onSelectionOutlineTimer(CBrevDoc&, int milliseconds) { (void)milliseconds; }
    virtual void onZoomChanged(CBrevDoc&, double zoom) { (void)zoom; }
    virtual void onModifiedChanged(CBrevDoc&, bool modified) { (void)modified; }
};

}  // namespace quillet
