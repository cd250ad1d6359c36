#pragma once
// Copy, Cut, Paste and Paste Special of the selected objects, for the sign view to bind. The
// program's two formats are registered once, when the program starts.

#include <functional>

#include <pathkit/BBox.h>
#include <win32/base.h>

#include "doc/ObjectsMetafile.h"

class CSignDoc;
class CSignObj;
class CWnd;

// Makes the object of a pasted picture (CF_DIB or CF_BITMAP), or null after telling the user;
// the object kinds of pictures live above the document.
using PictureFromClipboard = std::function<CSignObj*(UINT format)>;

struct SignClipboardFormats {
    // "Tarvel MERIDO data": the objects as an archived object list.
    static UINT Native();
    // "WPF": the text path format, ended by a zero byte.
    static UINT Wpf();
};

// The copied bitmap's size in pixels: dpi over the box, the larger side at most 3000 pixels
// and each side at least one pixel.
void CopyBitmapSize(const floatBBox& box, int dpi, int& width, int& height);

// Bits per pixel of the copied bitmap for the "ColourDepth" choice (0..3: 1, 4, 8, 24); any
// other value keeps all colours.
int ClipboardBitmapDepth(int index);

// The selection in the own format and, as switched on, as text paths, a Windows metafile, an
// enhanced metafile and a bitmap. FALSE when the clipboard cannot be opened.
BOOL CopySelection(CSignDoc& doc, HWND owner);
// Copy, then the selection deleted as the step "Cut".
void CutSelection(CSignDoc& doc, HWND owner);
// Whether Paste has something to take; with pictures, also a CF_DIB or CF_BITMAP.
BOOL CanPaste(bool pictures = false);
// Pastes the given format (0: the richest offered) as the step "Paste"; pasted objects are
// selected, keep their places and draw new serial numbers. With picture, a CF_DIB or
// CF_BITMAP (chosen, or the richest offered when neither own format is) becomes one new object
// it makes. FALSE when nothing was added.
BOOL PasteFormat(CSignDoc& doc, UINT format, const PictureFromClipboard& picture = {});
// The paste-special dialog lists the offered formats (the own format, text paths, the standard
// pictures, enhanced metafiles); the chosen one is pasted as PasteFormat does. FALSE when
// cancelled or nothing was added.
BOOL PasteSpecial(CSignDoc& doc, CWnd* pParent = nullptr);
