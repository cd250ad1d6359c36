#pragma once
// The preview block stored after a design's version word: a 16-byte identifier, a u32
// length and that many bytes of PNG.

#include <cstdint>
#include <vector>

#include <pathkit/BBox.h>

class CArchive;
class CDIBSection;
class CFile;
class CSign;

constexpr int PreviewSide = 150;
// A stored preview larger than this on a side is not decoded.
constexpr int PreviewMaxSide = 4096;
extern const std::uint8_t PreviewIdentifier[16];

// The design drawn into box scaled so its larger side is 150 pixels, as an 8-bit PNG;
// empty when the box has no area or the picture cannot be made. whiteFill fills the bitmap
// instead of clearing it.
std::vector<std::uint8_t> MakePreviewPng(CSign& sheet, const floatBBox& box, bool whiteFill);

// After the version word: checks the identifier (badSchema otherwise) and returns the
// picture; a length past the end of the file raises end of file before anything is
// allocated.
std::vector<std::uint8_t> ReadPreviewBlock(CArchive& ar);

// Searches the file from its current position for the identifier, in blocks; the position
// of its first byte, or -1. The file is left just after the identifier when found.
long long FindMarker(CFile& file);
// The file dialog's preview: the picture after the marker, decoded into picture. FALSE when
// there is no marker; a stored length past the end of the file or a picture larger than
// PreviewMaxSide on a side raises the archive exception (badSchema) with the file name;
// undecodable bytes leave picture empty.
bool ReadDocumentPreview(CFile& file, CDIBSection& picture);
