#pragma once
// The layer window "      레이어창": a panel of the main window that docks or floats. It shows
// the active document's canvas size, its layers (LayerRowList), the current layer's
// transparency and blend mode, and the journal's history list; choosing a history row undoes or
// redoes to it. Every change goes through the document's layer operations.
#include <QDockWidget>
#include <QTimer>
#include <functional>

#include "document/DocumentObserver.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSlider;
class QToolButton;

namespace quillet {

class CBrevDoc;
class LayerRowList;

class CDlg_Layer : public QDockWidget, public DocumentObserver {
    Q_OBJECT
public:
    explicit CDlg_Layer(QWidget* parent = nullptr);
    ~CDlg_Layer() override;

    // The document shown (nullptr: none). The panel watches it until another is set.
    void setDocument(CBrevDoc* doc);
    CBrevDoc* document() const { return doc_; }
    // The layer list's right-button menu, and what a double click on a text layer opens.
    void setContextMenuFactory(std::function<QMenu*(QWidget*)> factory);
    void setTextEditor(std::function<void(CBrevDoc&, int)> editor);

    // Brings everything up to date now (changes are otherwise gathered and shown once the
    // event loop runs). Returns how many layer pictures were made again.
    int refreshNow();
    bool isCollapsed() const { return collapsed_; }
    void setCollapsed(bool collapsed);

    LayerRowList* rowList() const { return rows_; }
    QSlider* transparencySlider() const { return slider_; }
    QLineEdit* transparencyEdit() const { return edit_; }
    QComboBox* blendList() const { return blend_; }
    QListWidget* historyList() const { return history_; }
    QToolButton* collapseButton() const { return collapse_; }
    QLabel* canvasLabel() const { return canvas_; }

    // DocumentObserver.
    void onViewsUpdate(CBrevDoc&) override { scheduleRefresh(); }
    void onLayerListChanged(CBrevDoc&) override { scheduleRefresh(); }
    void onCurrentLayerChanged(CBrevDoc&, int) override { scheduleRefresh(); }

private:
    void scheduleRefresh();
    void refreshControls();
    void refreshHistory();
    void transparencyChosen(int value);
    void blendChosen(int index);
    void historyChosen(int row);

    CBrevDoc* doc_ = nullptr;
    QTimer refreshTimer_;
    QLabel* canvas_ = nullptr;
    LayerRowList* rows_ = nullptr;
    QSlider* slider_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QComboBox* blend_ = nullptr;
    QListWidget* history_ = nullptr;
    QWidget* historyBox_ = nullptr;
    QToolButton* collapse_ = nullptr;
    bool collapsed_ = false;
};

}  // namespace quillet
