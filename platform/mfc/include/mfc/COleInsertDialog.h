#pragma once
// The insert-object dialog: create a new object of a type that an object server offers, or
// one from a file. No object server is installed on this platform, so the type list is
// always empty. DoModal runs it driven headless by a dialog script for the class name
// "COleInsertDialog".

#include <vector>

#include "mfc/CDialog.h"
#include "mfc/CString.h"

// Control ids of the dialog.
constexpr int SD_INSERT_CREATE_NEW = 2101;
constexpr int SD_INSERT_FROM_FILE = 2102;
constexpr int SD_INSERT_TYPES = 2103;
constexpr int SD_INSERT_FILE = 2104;

// Flags of the constructor.
constexpr DWORD IOF_SELECTCREATENEW = 0x0004;
constexpr DWORD IOF_SELECTCREATEFROMFILE = 0x0008;

class MFC_API COleInsertDialog : public CDialog {
    DECLARE_DYNAMIC(COleInsertDialog)
public:
    enum Selection { createNewItem = 0, insertFromFile = 1, linkToFile = 2 };

    explicit COleInsertDialog(DWORD dwFlags = IOF_SELECTCREATENEW, CWnd* pParentWnd = nullptr);
    ~COleInsertDialog() override;

    INT_PTR DoModal() override;
    // What the user chose on OK.
    UINT GetSelectionType() const { return m_nSelection; }
    // The file of a create-from-file choice.
    CString GetPathName() const { return m_strPathName; }
    // The chosen object type; empty when no server offers one.
    CString GetTypeName() const { return m_strTypeName; }

    DWORD m_dwFlags;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    LPCDLGTEMPLATE FindTemplate(int* templateId) const override;

private:
    std::vector<BYTE> m_template;
    UINT m_nSelection = createNewItem;
    CString m_strPathName;
    CString m_strTypeName;
};
