#pragma once
// The program's private window messages, one table for all of them.
//
// The control drag: a control the user drags from (drag buttons, drag sliders, rulers, the
// palette bar) sends WM_CTRLDRAGOVER while the pointer moves outside it and WM_CTRLDROP on
// release to its target, usually the main frame, which forwards them to the drop target
// under the cursor with WM_CTRLDRAGENTER and WM_CTRLDRAGLEAVE when the target changes.
// wParam: the key flags with MK_LBUTTON or MK_RBUTTON; lParam: the source's window handle
// (receivers look its object up, e.g. CWnd::FromHandlePermanent).
//
// 0x4FF is the allocator's retry request WM_ALLOCFAILED (guardalloc/Guardalloc.h).

#include <win32/base.h>

constexpr UINT WM_CTRLDROP = 0x4F9;
constexpr UINT WM_CTRLDRAGOVER = 0x4FA;
constexpr UINT WM_CTRLDRAGLEAVE = 0x4FB;
constexpr UINT WM_CTRLDRAGENTER = 0x4FC;
// Posted by a document to each of its views after it changed; no parameters.
constexpr UINT WM_DOCCHANGED = 0x4FD;
// The same news given at once, as the lHint of UpdateAllViews (no pHint): windows that hold
// pointers into the design let go of them before anything else can use them. It asks for no
// redraw; the document has invalidated what changed.
constexpr LPARAM HINT_DOCCHANGED = WM_DOCCHANGED;
// Posted by a sheet view to itself after every scroll and change of its matrix.
constexpr UINT WM_VIEWPORTCHANGED = 0x4FE;
// Answered by the application's view by opening the selected OLE object.
constexpr UINT WM_EDITOLEOBJECT = 0x501;
// Answered by the application's view by installing a new selection tool.
constexpr UINT WM_SELECTMODE = 0x502;
constexpr UINT WM_SELECTTOOL = WM_SELECTMODE;
// Posted by the bitmap sheet to itself when the view redraws objects, at most one pending: the
// sheet follows the selection once the change under way is done.
constexpr UINT WM_SHEETFOLLOWSELECTION = 0x503;
