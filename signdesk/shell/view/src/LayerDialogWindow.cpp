#include "view/LayerDialogWindow.h"

#include <doc/CLayerDialog.h>
#include <doc/CSignDoc.h>

#include "view/CSignView.h"

namespace {

class LayerDialogWindow : public ViewToolWindow {
public:
    explicit LayerDialogWindow(CSignView& view) : view_(view) {}
    ~LayerDialogWindow() override { Destroy(); }

    BOOL Create(CSignView* parent) override {
        if (IsOpen()) return TRUE;
        CSignDoc* doc = view_.GetSignDoc();
        if (doc == nullptr) return FALSE;
        if (!dialog_.CreateFor(doc, parent != nullptr ? parent : &view_)) return FALSE;
        // The template is not visible by itself.
        dialog_.ShowWindow(SW_SHOW);
        return TRUE;
    }
    BOOL IsOpen() const override {
        return dialog_.m_hWnd != nullptr && ::IsWindow(dialog_.m_hWnd) && dialog_.IsOpen();
    }
    void Destroy() override {
        if (dialog_.m_hWnd != nullptr) dialog_.DestroyWindow();
    }
    // Layers that gained or lost their last object appear or go.
    void Refresh() override {
        if (IsOpen()) dialog_.Fill();
    }

private:
    CSignView& view_;
    CLayerDialog dialog_;
};

} // namespace

std::unique_ptr<ViewToolWindow> MakeLayerDialogWindow(CSignView& view) {
    return std::make_unique<LayerDialogWindow>(view);
}
