#pragma once
// The paste-special dialog: the framework's own, listing the formats the caller offers that
// the clipboard holds, in the order they were added. Each entry's texts come from a string
// resource "name\nresult text"; the list shows the name, the static below it the result text
// of the selected entry. DoModal runs it driven headless by a dialog script for the class
// name "COlePasteSpecialDialog"; OK with an entry selected ends it with IDOK.

#include <string>
#include <vector>

#include "mfc/CDialog.h"
#include "mfc/COleDataObject.h"

// Storage media of an entry.
constexpr DWORD TYMED_HGLOBAL = 1;
constexpr DWORD TYMED_GDI = 16;
constexpr DWORD TYMED_MFPICT = 32;
constexpr DWORD TYMED_ENHMF = 64;
// Dialog flags.
constexpr DWORD PSF_SELECTPASTE = 0x00000002;

// Control ids of the dialog.
constexpr int SD_PS_LIST = 709;
constexpr int SD_PS_RESULT = 710;

class MFC_API COlePasteSpecialDialog : public CDialog {
    DECLARE_DYNAMIC(COlePasteSpecialDialog)
public:
    struct Entry {
        CLIPFORMAT cfFormat;
        DWORD tymed;
        std::string name;
        std::string result;
        BOOL bLink;
    };

    explicit COlePasteSpecialDialog(DWORD dwFlags = PSF_SELECTPASTE,
                                    COleDataObject* pDataObject = nullptr,
                                    CWnd* pParentWnd = nullptr);
    ~COlePasteSpecialDialog() override;

    // nFormatID: the string "name\nresult text"; without it the format's registered name.
    void AddFormat(UINT cf, DWORD tymed, UINT nFormatID, BOOL bEnableIcon, BOOL bLink);
    // The metafile picture, the packed and the plain bitmap.
    void AddStandardFormats(BOOL bEnableLink = TRUE);

    INT_PTR DoModal() override;
    // The chosen entry's format after IDOK; 0 before.
    CLIPFORMAT GetSelectedFormat() const { return m_cfSelected; }
    // The entries the list shows (those the clipboard holds).
    const std::vector<Entry>& GetShownEntries() const { return m_shown; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnSelChange();
    DECLARE_MESSAGE_MAP()
    LPCDLGTEMPLATE FindTemplate(int* templateId) const override;

private:
    DWORD m_dwFlags;
    COleDataObject* m_pDataObject;
    std::vector<Entry> m_entries;
    std::vector<Entry> m_shown;
    CLIPFORMAT m_cfSelected = 0;
    std::vector<BYTE> m_template;
};
