#pragma once
// The raster save options dialog (template 165): the file format and its variant, the colour
// depth, a quality factor where the format takes one, and the image size in pixels or as a
// resolution. The caller fills the members, runs it, and after OK reads the extension, the
// toolkit's format code, the depth, the quality and the pixel size. Sizes are millimetres.

#include <mfc/CDialog.h>
#include <mfc/CString.h>
#include <win32/base.h>

#include "content/BitmapDialogIds.h"

// The format table as the fixed records it is kept in.
struct RasterFormatVariant {
    DWORD code;
    char name[32];
    DWORD flags; // 0x01 .. 0x20: 1, 4, 8, 16, 24, 32 bits allowed; 0x80 a quality factor
};
struct RasterFormat {
    char name[32];
    char extension[4];
    DWORD variantCount;
    RasterFormatVariant variants[10];
};
static_assert(sizeof(RasterFormatVariant) == 40 && sizeof(RasterFormat) == 440);
constexpr int RasterFormatCount = 20;
extern const RasterFormat RasterFormats[RasterFormatCount];

class CBitmapSaveOptionsDlg : public CDialog {
public:
    explicit CBitmapSaveOptionsDlg(CWnd* pParent = nullptr);

    CString extension = "jpg";
    float width = 50.0f;  // mm
    float height = 30.0f; // mm
    int sizeFollowsResolution = 1;
    int formatIndex = 0;
    int variantIndex = 0;
    int bitsPerPixel = 1;
    int quality = 2;
    int presetIndex = 0;
    int formatCode = 0; // out
    int pixelWidth = 0;
    int pixelHeight = 0;
    CString resolution;
    int editing = 0; // the size field being typed in, 0 for none

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnFormatChosen();
    void OnVariantChosen();
    void OnDepth(UINT id);
    void OnPresetChosen();
    void OnQualityTyped();
    void OnHScroll(UINT code, UINT pos, CScrollBar* pBar);
    void OnResolutionTyped();
    void OnResolutionChosen();
    void OnPixelWidth();
    void OnPixelHeight();
    DECLARE_MESSAGE_MAP()

private:
    const RasterFormatVariant& Variant() const;
    void FillVariants();
    void UpdateDepths();
    void UpdatePresets();
    void UpdateQuality();
    void SizesFromResolution();
    void ShowSizes(int except);
    bool m_ready = false; // controls filled: changes made by the dialog itself are not typing
};
