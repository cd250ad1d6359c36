#pragma once
// The start-up picture: the program's name plus ".bmp", beside it, shown in a borderless
// pop-up centred over the main frame for five seconds or until a key or mouse press.

#include <mfc/CWnd.h>
#include <rasterkit/CDib.h>

class CSplashWnd : public CWnd {
public:
    CSplashWnd() = default;
    ~CSplashWnd() override;

    CDib dib;

protected:
    // Reads the picture and makes the window; FALSE when the picture cannot be read.
    BOOL Create(CWnd* parent);
    int OnCreate(CREATESTRUCT* cs);
    void OnPaint();
    void OnTimer(UINT_PTR id);
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

    friend void ShowSplash(CWnd* parent);
};

// The start-up passes the command line's show-splash flag before the shell command, 0 after.
void SetSplashEnabled(BOOL enabled);
// From the main frame's creation: shows the picture when enabled and none is up.
void ShowSplash(CWnd* parent);
// First in the application's message pre-translation: with the picture up, a key or mouse
// press closes it and is swallowed (TRUE).
BOOL PreTranslateSplashMessage(MSG* msg);
// The picture shown now, or null.
CSplashWnd* CurrentSplash();
