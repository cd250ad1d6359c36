#pragma once
// What the entries share about toolkit bitmaps.

#include <imaging/KovaKern.h>

#include "Picture.h"

namespace imaging {

// The bitmap's picture becomes `picture` (its former one freed).
int Install(KOVABITMAP* bitmap, Picture& picture);
// True with the descriptor consistent with a readable picture.
bool HasPicture(const KOVABITMAP* bitmap);
// Consumes one injected failure of the point.
bool InjectedFailure(KovaFailPoint point);

} // namespace imaging
