#pragma once
// The bitmap sheet as the sign view's modeless tool window: the sheet of the bitmap objects'
// effects, colour depth and size, hosted by the view's document.

#include <memory>

#include "view/SignViewHooks.h"

// The hook's factory; the program registers it at start-up.
std::unique_ptr<ViewToolWindow> MakeBitmapSheetWindow(CSignView& view);
