#pragma once
// Metafile objects: the bytes of a finished metafile behind a handle of the object table.

#include <memory>
#include <vector>

#include "GdiObjects.h"
#include "win32/wingdi_meta.h"

namespace sdgdi {

class MetaFileObject : public GdiObject {
public:
    MetaFileObject(DWORD type, std::vector<BYTE> bytes)
        : GdiObject(type), bytes(std::move(bytes)) {}
    std::vector<BYTE> bytes;
};

std::shared_ptr<MetaFileObject> findMeta(const void* handle, DWORD type);

// Checks a whole EMF: header, every record's size and its counts and offsets.
bool validEnhanced(const BYTE* data, std::size_t size);
// Checks one EMF record's contents against its size (the record lies inside the data).
bool validEnhancedRecord(const BYTE* record, DWORD size);
// Checks a whole WMF (no placeable header).
bool validWindows(const BYTE* data, std::size_t size);
bool validWindowsRecord(const BYTE* record, DWORD bytes);

// A DIB held in a record, copied so that header and bits are aligned whatever the offsets
// (a colour table shorter than the header says is padded with zeros).
struct RecordDib {
    std::vector<DWORD> info, bits;
    const BITMAPINFO* bmi() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};
// Copies the DIB of a checked record; false when the header is short, the size is not
// positive or the bits hold fewer rows than the header describes.
bool recordDib(const BYTE* record, DWORD offBmi, DWORD cbBmi, DWORD offBits, DWORD cbBits,
               RecordDib& out);
// Bytes of a packed DIB's header with its colour table (0 when they do not fit `size`).
DWORD packedDibHeaderBytes(const BYTE* dib, std::uint64_t size, UINT usage);
// A pattern brush of the DIB; monochrome ones (mono) as a device-dependent bitmap, so that
// they paint in the text and background colours.
HBRUSH patternBrush(HDC dc, const RecordDib& dib, UINT usage, bool mono);

// Reads a whole file; false when it cannot be read.
bool readWholeFile(const char* name, std::vector<BYTE>& out);
bool writeWholeFile(const char* name, const std::vector<BYTE>& bytes);

// Ends recording on a metafile context of the given kind: the context is deleted and the
// finished bytes land in `bytes` (and in the recorder's file, if it has one). False with the
// last error set when the handle is no such context or the file cannot be written.
bool closeMetaContext(HDC dc, bool enhanced, std::vector<BYTE>& bytes);

} // namespace sdgdi
