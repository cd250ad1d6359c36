#pragma once
// The modeless list of the document's layers that hold objects, each with a check box for
// its visibility. Checks take effect on Apply (or Show All, or a double click); each layer
// whose visibility changed is redrawn.

#include <mfc/CCheckListBox.h>
#include <mfc/CDialog.h>

class CSignDoc;

class CLayerDialog : public CDialog {
public:
    explicit CLayerDialog(CWnd* pParent = nullptr);
    ~CLayerDialog() override;

    BOOL CreateFor(CSignDoc* pDoc, CWnd* pParent);
    // One entry "Layer: %d" per layer from -127 to 127 that holds objects.
    void Fill();
    // Each entry's check becomes its layer's visibility.
    void Apply();

    BOOL IsOpen() const { return m_bOpen; }
    CSignDoc* GetDocument() const { return m_pDoc; }
    CCheckListBox& GetList() { return m_list; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnShowAll();
    void OnListDblClk();
    void OnDestroy();
    void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bOpen = FALSE;
    CSignDoc* m_pDoc = nullptr;
    CCheckListBox m_list;
};
