#pragma once
// The picture of a save request as a module reads it: its packed bitmap stays locked for as
// long as the object lives.

#include <cstring>

#include "imaging/KovaFilter.h"

class SavedPicture {
public:
    explicit SavedPicture(const KOVAFLTSAVEREQUEST* request) {
        if (request == nullptr || request->bitmap == nullptr || request->bitmap->dib == nullptr)
            return;
        base_ = static_cast<const BYTE*>(GlobalLock(request->bitmap->dib));
        if (base_ == nullptr) return;
        dib_ = request->bitmap->dib;
        std::memcpy(&header, base_, sizeof header);
        bits = header.biBitCount;
        width = int(header.biWidth);
        height = int(header.biHeight < 0 ? -header.biHeight : header.biHeight);
    }
    ~SavedPicture() {
        if (dib_ != nullptr) GlobalUnlock(dib_);
    }
    SavedPicture(const SavedPicture&) = delete;
    SavedPicture& operator=(const SavedPicture&) = delete;

    bool Locked() const { return base_ != nullptr; }
    const RGBQUAD* Table() const { return reinterpret_cast<const RGBQUAD*>(base_ + header.biSize); }
    // The rows, after the colour table of a palette depth.
    const BYTE* Pixels() const {
        const int entries = bits <= 8 ? 1 << bits : 0;
        return base_ + header.biSize + entries * sizeof(RGBQUAD);
    }

    BITMAPINFOHEADER header{};
    int bits = 0, width = 0, height = 0;

private:
    const BYTE* base_ = nullptr;
    HGLOBAL dib_ = nullptr;
};
