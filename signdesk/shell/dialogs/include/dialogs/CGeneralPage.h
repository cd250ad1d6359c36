#pragma once
// The general page of the object properties: position and size of the selection (optionally
// keeping its proportions through a scale), and the layer, outline width, fixed-width flag,
// two attribute flags and transparency of the selected objects. An attribute the objects do
// not share is written to all of them only when its apply box is ticked.

#include <mfc/CPropertySheet.h>
#include <pathkit/BBox.h>

class CSignDoc;

class CGeneralPage : public CPropertyPage {
    DECLARE_DYNAMIC(CGeneralPage)
public:
    explicit CGeneralPage(CSignDoc* doc);

    CSignDoc* doc;
    // The edit control being typed into, left out of the next exchange into the controls.
    int skipControl = 0;
    // Selected objects that are not groups.
    int objectCount = 0;
    float posX = 0, posY = 0, sizeX = 0, sizeY = 0;
    BOOL keepProportions = 1;
    float scale = 1.0f;
    int layer = 0;
    BOOL applyLayer = 0;
    BOOL fixedWidth = 0;
    BOOL applyWidth = 0;
    float outlineWidth = 0;
    BOOL flagB = 0, flagC = 0;
    BOOL applyFlags = 0;
    float transparency = 0;
    BOOL applyTransparency = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    void OnScaleChange();
    void OnSizeXChange();
    void OnSizeYChange();
    void OnSnap();
    void OnApplyLayer();
    void OnReadAndShow();
    DECLARE_MESSAGE_MAP()

private:
    // The controls shown again from the fields, without the edit control `skip`.
    void Show(int skip);
    // The controls read into the fields; FALSE when one was refused.
    BOOL Read();
    // The position, size and scale fields and the proportions box, without validation.
    void ReadBoxFields();
    void ApplyBox();
    const floatBBox& SelectionBox() const;
    bool m_showing = false;
};
