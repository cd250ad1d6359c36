#pragma once
// Windows metafiles into paths. The records are interpreted, not played: a small context
// stack and object table track the mapping, pen and brush.

#include <vector>

#include "pathkit/Path.h"
#include "pathkit/TMatrix.h"
#include "pathkit/export.h"
#include "win32/wingdi_meta.h"

struct WMFContext {
    float windowOrg[2] = {0, 0};
    float viewportOrg[2] = {0, 0};
    float windowExt[2] = {1, 1};
    float viewportExt[2] = {1, 1};
    unsigned long brushColour = 0xFFFFFFFFul; // -1: none
    unsigned long penColour = 0xFFFFFFFFul;
    float penWidth = 0;
};

struct WMFRes {
    unsigned long colour = 0xFFFFFFFFul;
    int kind = 0; // 0 free, 1 other object, 2 pen, 3 brush
    int penWidth = 0;
};

class PATHKIT_API WMFReader {
public:
    static constexpr int ContextLevels = 20;

    WMFReader(HMETAFILE metafile, float extX, float extY, float smooth);
    virtual ~WMFReader();
    WMFReader(const WMFReader&) = delete;
    WMFReader& operator=(const WMFReader&) = delete;

    virtual void Output(floatTMatrix& m, Path& path, unsigned long brushColour,
                        unsigned long penColour, float penWidth);

    // True when every record was read; malformed records are skipped and counted.
    bool Process();
    // The first free object-table entry, or -1 when the table is full.
    int FindEmpty() const;

    unsigned Unhandled() const { return unhandled; }
    unsigned Malformed() const { return malformed; }

protected:
    HMETAFILE metafile;
    Path figure;
    WMFContext context[ContextLevels];
    int level = 0;
    std::vector<WMFRes> objects;
    bool tableMade = false;
    float smooth;
    unsigned unhandled = 0;
    unsigned malformed = 0;

    void Flush(bool noBrush = false);
    void Convert(const METARECORD* record, int objectCount);

private:
    static int CALLBACK_Record(HDC dc, HANDLETABLE* table, METARECORD* record, int objects,
                               LPARAM self);
};
