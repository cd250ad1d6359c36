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

// Checks a whole EMF: header, every record's size and its counts and offsets
// (SdEnhMetaRecordFits).
bool validEnhanced(const BYTE* data, std::size_t size);
// The size of the EMF record at `at` of the data: at least its type and size, whole words,
// inside the data; 0 when it is none of these.
DWORD enhRecordAt(const BYTE* data, std::size_t size, std::size_t at);
// Checks a whole WMF (no placeable header).
bool validWindows(const BYTE* data, std::size_t size);
bool validWindowsRecord(const BYTE* record, DWORD bytes);

// Bytes of a DIB's header with its colour table (and bit-field masks), as the header
// describes them.
std::uint64_t dibHeaderBytes(const BITMAPINFOHEADER& h, UINT usage);
// Bytes of `rows` scans of the DIB the header describes; its image size when compressed.
std::uint64_t dibBitsBytes(const BITMAPINFOHEADER& h, std::uint64_t rows);

// A DIB held in a record, copied so that header and bits are aligned whatever the offsets.
struct RecordDib {
    std::vector<DWORD> info, bits;
    const BITMAPINFO* bmi() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};
// Copies the DIB of a checked record: cbBmi bytes of header and colour table, cbBits of bits
// holding the whole picture, or with scans ≥ 0 the scans from `start` on. False when the
// header is short, its size is not positive, or it claims more than the record holds: a
// longer header or colour table than cbBmi, more bits than cbBits.
bool recordDib(const BYTE* record, DWORD offBmi, DWORD cbBmi, DWORD offBits, DWORD cbBits,
               UINT usage, RecordDib& out, UINT start = 0, std::int64_t scans = -1);
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
