#pragma once
// Objects recorded into metafiles: the size cap and the enhanced-metafile recorder used by
// the clipboard copy and the export.

#include <pathkit/BBox.h>

class CDC;
class CMetaFileDC;

// The design's larger side at most 320 units as it is: 1; larger: 320 / side.
float MetafileScaleFactor(const floatBBox* box);

// Opens an enhanced metafile for the box (one unit is 100 frame units, capped as above,
// described "HasClippedContour"), in the file or in memory, and maps its logical units onto
// the frame; the reference (or, without one, the metafile itself) answers the attribute
// queries. Stores the scale the objects are to be drawn with. 0 when the metafile could not
// be created. The caller draws and closes.
int CreateObjectsMetafile(CMetaFileDC* dc, CDC* reference, const char* file, const floatBBox* box,
                          float* scaleOut);
