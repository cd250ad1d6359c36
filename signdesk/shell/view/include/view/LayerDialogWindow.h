#pragma once
// The layer dialog as the sign view's modeless tool window: the visibility of the layers of
// the view's document, refilled when the document changes.

#include <memory>

#include "view/SignViewHooks.h"

// The hook's factory; the program registers it at start-up.
std::unique_ptr<ViewToolWindow> MakeLayerDialogWindow(CSignView& view);
