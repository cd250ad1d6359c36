#pragma once
// Command, message, string and cursor ids of the sign view.

#include <win32/base.h>

namespace SignViewIds {
// Framework and in-place editing commands.
constexpr UINT InsertObject = 57856;
constexpr UINT CancelInPlace = 32768;
constexpr UINT ZoomToSelection = 40003;
constexpr UINT EditCopy = 57634;
constexpr UINT EditCut = 57635;
constexpr UINT EditPaste = 57637;
constexpr UINT EditPasteSpecial = 57639;
constexpr UINT FilePrint = 57607;
constexpr UINT FilePrintDirect = 57608;
constexpr UINT FilePrintPreview = 57609;

// Tool commands.
constexpr UINT TransformTool = 32787;
constexpr UINT SelectTool = 32788;
constexpr UINT RegShapeTool = 32791;
constexpr UINT FreehandTool = 32796;
constexpr UINT NodeEditTool = 32802;
constexpr UINT TextTool = 32918;
constexpr UINT ColoringTool = 32927;
constexpr UINT DistortionTool = 32948;
constexpr UINT PerspectiveTool = 32950;
constexpr UINT EnvelopeTool = 32951;
constexpr UINT SphereTool = 32955;
constexpr UINT FontEditTool = 32964;
constexpr UINT AlignTool = 32989;
constexpr UINT EnvSphereTool = 32998;
constexpr UINT FillTool = 33002;
constexpr UINT ShadowTool = 33012;
constexpr UINT StripeTool = 33020;
constexpr UINT TransparencyTool = 33028;
constexpr UINT MeasureTool = 33058;
constexpr UINT DimLineTool = 33078;

// The view's other commands.
constexpr UINT LayerDialog = 32781;
constexpr UINT CleanupSheet = 32846;
constexpr UINT PageColor = 32914;
constexpr UINT OutputSheet = 32940;
constexpr UINT BitmapSheet = 33044;
constexpr UINT DisplayDither = 33054;
constexpr UINT MarkedBox = 33057;
constexpr UINT GuideLines = 33062;
constexpr UINT GuideLineLock = 33067;
constexpr UINT Redraw = 33086;
constexpr UINT ZoomIn = 33104;
constexpr UINT ZoomOut = 33105;
constexpr UINT AlwaysDisabled = 33125;
constexpr UINT CutJob = 33138;
constexpr UINT PlotJob = 33139;
constexpr UINT OutputSheetPrint = 33140;

// Strings: insertion failed; the captions of the clean-up and bitmap sheets; the question
// whether a PostScript printer gets the design as images.
constexpr UINT InsertFailed = 102;
constexpr UINT CleanupSheetCaption = 185;
constexpr UINT BitmapSheetCaption = 332;
constexpr UINT PrintAsImageQuestion = 368;
// The printer reports no usable page size or resolution.
constexpr UINT PrinterUnusable = 369;

// Cursors of palette-colour drags: over the sheet, over an object, over an object with
// Shift held.
constexpr UINT DropCursor = 188;
constexpr UINT DropOnObjectCursor = 190;
constexpr UINT DropOnObjectShiftCursor = 349;
} // namespace SignViewIds
