// The program's document template shows designs in the sign view. Compiled into the program
// itself, so that the setting is made before the application starts.

#include <app/CSignApp.h>

#include "view/BitmapSheetWindow.h"
#include "view/CSignView.h"
#include "view/LayerDialogWindow.h"
#include "view/SignViewHooks.h"
#include "view/SignViewOutput.h"

namespace {
const bool viewClassSet = (CSignApp::ViewClass = RUNTIME_CLASS(CSignView), true);
// The parts of the program that the view's hooks bind.
const bool hooksSet = (ViewHooks().bitmapSheet = MakeBitmapSheetWindow,
                       ViewHooks().layerDialog = MakeLayerDialogWindow, BindOutputHooks(), true);
} // namespace
