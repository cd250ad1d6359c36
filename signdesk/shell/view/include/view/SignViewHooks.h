#pragma once
// What the sign view takes from parts of the program built above it: its modeless tool
// windows, the OLE container pieces, the outline print of foreign objects and the output
// front end. Each is registered once at start-up; an empty hook disables the command that
// needs it.

#include <functional>
#include <memory>
#include <vector>

#include <win32/base.h>

class CObject;
class CSignObj;
class CSignDoc;
class CSignView;
class CWnd;
class COleInsertDialog;
class COleOperatingMode;

// A modeless window the view owns and creates on demand: the layer dialog, the clean-up sheet,
// the bitmap sheet.
class ViewToolWindow {
public:
    virtual ~ViewToolWindow() = default;
    // Creates the window modeless, owned by the view; FALSE when it could not be made.
    virtual BOOL Create(CSignView* view) = 0;
    // The window exists (the layer dialog and clean-up sheet: the user has not closed it).
    virtual BOOL IsOpen() const = 0;
    virtual void Destroy() = 0;
    // Brings the window up to date after the document changed.
    virtual void Refresh() {}
    // The bitmap sheet: shows the document's single selected bitmap object.
    virtual void UpdateFromSelection() {}
    // The same once the change under way is done (posted, at most once at a time).
    virtual void FollowSelectionLater() {}
    // The clean-up sheet: TRUE while its alignment page is active, with the reference line at
    // y = value (horizontal) or x = value.
    virtual BOOL GetAlignmentLine(BOOL& horizontal, float& value) const {
        (void)horizontal;
        (void)value;
        return FALSE;
    }
};

// An OLE item active in place in a view.
class InPlaceItem {
public:
    virtual ~InPlaceItem() = default;
    virtual BOOL IsUIActive() const = 0;
    // The item's own window, or null.
    virtual CWnd* GetInPlaceWindow() = 0;
    // Takes the item rectangles again after the view changed size.
    virtual void SetItemRects() = 0;
    // Ends in-place editing, saving the item first when it changed.
    virtual void Close() = 0;
};

// Temporary objects that the outline print prints in place of one object.
using OutlineObjects = std::vector<std::unique_ptr<CSignObj>>;

struct SignViewHooks {
    using MakeToolWindow = std::function<std::unique_ptr<ViewToolWindow>(CSignView& view)>;
    MakeToolWindow layerDialog;
    MakeToolWindow cleanupSheet;
    MakeToolWindow bitmapSheet;

    // ---- OLE container ----
    // The container item of an OLE object (a COleObj), null for any other object.
    std::function<CObject*(CSignObj* obj)> containerItem;
    // The item of the document active in place in the view, or null.
    std::function<InPlaceItem*(CSignDoc& doc, CSignView& view)> inPlaceActiveItem;
    // The OLE editing tool (OLEMode).
    std::function<COleOperatingMode*()> oleMode;
    // Runs a verb of a container item (OLEIVERB_OPEN -2 opens it).
    std::function<void(CObject* item, int verb, CSignView& view)> doVerb;
    // Makes the container item that the insert dialog chose (set in item, which the caller
    // deletes on failure) and the object around it; throws on failure.
    std::function<CSignObj*(CSignDoc& doc, COleInsertDialog& dlg, CObject*& item)> insertObject;
    // Deletes a container item that was never handed to an object the document took.
    std::function<void(CObject* item)> deleteItem;

    // ---- outline print of foreign objects ----
    // Each answers FALSE when the object is not of its kind; otherwise it fills out with the
    // objects to print in its place. They never change obj.
    using OutlineBranch = std::function<BOOL(CSignObj* obj, OutlineObjects& out)>;
    OutlineBranch oleOutline;
    OutlineBranch metafileOutline;
    OutlineBranch illustratorOutline;
    OutlineBranch bitmapOutline;

    // ---- output front end ----
    // The output sheet with parent as its parent, for commands 32940 and 33140.
    std::function<void(CWnd* parent, CSignView& view)> runPrintSheet;
    std::function<void(CSignView& view)> cutJob;
    std::function<void(CSignView& view)> plotJob;
};

// The hooks of the program; the view reads them when it needs them.
SignViewHooks& ViewHooks();
