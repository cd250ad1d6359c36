#pragma once
// The program's view: the sheet view of the framework showing the design.

#include <sheet/COleSheetView.h>

class CSignView : public COleSheetView {
    DECLARE_DYNCREATE(CSignView)
public:
    CSignView() = default;
    ~CSignView() override;
};
