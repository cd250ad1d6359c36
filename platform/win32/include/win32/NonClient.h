#pragma once
// Where the non-client parts of a window lie (the model in user.h), in window coordinates
// (the window's top left is 0, 0). One layout for the hit test, the default WM_NCCALCSIZE
// and the painting of frames, captions, menu bars, scroll bars and the size box.

#include "win32/user.h"

struct SdNonClientLayout {
    RECT window{}; // 0, 0, width, height
    int frame = 0; // thickness of the frame (a child's border, dialog or sizing frame)
    bool sizing = false;
    bool toolWindow = false;
    RECT caption{}; // empty: none
    RECT closeButton{}, maxButton{}, minButton{};
    RECT menuBar{};     // a top-level window's menu bar
    RECT edges{};       // inside frame, caption and menu bar: where the edges begin
    int clientEdge = 0; // 2 for WS_EX_CLIENTEDGE
    int staticEdge = 0; // 1 for WS_EX_STATICEDGE
    RECT client{};
    RECT hscroll{}, vscroll{}, sizeBox{};
};

// Null window: an empty layout.
WIN32_API SdNonClientLayout SdGetNonClientLayout(HWND hwnd);
