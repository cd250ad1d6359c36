#include "view/BitmapSheetWindow.h"

#include <content/CBmpSheet.h>
#include <doc/CSignDoc.h>

#include "view/CSignView.h"

namespace {

class BitmapSheetWindow : public ViewToolWindow, public BmpSheetHost {
public:
    explicit BitmapSheetWindow(CSignView& view) : view_(view), sheet_(this, &view) {}
    ~BitmapSheetWindow() override { Destroy(); }

    BOOL Create(CSignView* parent) override {
        if (IsOpen()) return TRUE;
        return sheet_.Create(parent);
    }
    BOOL IsOpen() const override { return sheet_.m_hWnd != nullptr && ::IsWindow(sheet_.m_hWnd); }
    void Destroy() override {
        if (IsOpen()) sheet_.DestroyWindow();
    }
    void Refresh() override {
        if (IsOpen()) sheet_.ReloadFromSelection();
    }
    void UpdateFromSelection() override {
        if (IsOpen()) sheet_.UpdateFromSelection();
    }
    void FollowSelectionLater() override {
        if (IsOpen()) sheet_.FollowSelectionLater();
    }

    // ---- BmpSheetHost ----
    CSign& GetSheetSign() override {
        CSignDoc* doc = view_.GetSignDoc();
        return doc != nullptr ? doc->m_sheet : empty_;
    }
    UndoList& GetSheetUndo() override {
        CSignDoc* doc = view_.GetSignDoc();
        return doc != nullptr ? static_cast<UndoList&>(*doc) : noUndo_;
    }
    void UpdateSelectedObjects() override {
        if (CSignDoc* doc = view_.GetSignDoc()) doc->UpdateSelectedObjects();
    }

private:
    // What a view without the program's document hands the sheet: nothing to change.
    class NoUndo : public UndoList {
    public:
        CSign& GetUndoSign() override { return sign; }
        void SerializeUndoSettings(CArchive&) override {}
        DWORD GetUndoStateHash() override { return 0; }
        void InvalidateUndoBox(const floatBBox*) override {}
        void SetUndoModified() override {}
        CSign sign;
    };

    CSignView& view_;
    CBmpSheet sheet_;
    CSign empty_;
    NoUndo noUndo_;
};

} // namespace

std::unique_ptr<ViewToolWindow> MakeBitmapSheetWindow(CSignView& view) {
    return std::make_unique<BitmapSheetWindow>(view);
}
