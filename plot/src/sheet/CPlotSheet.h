#pragma once
// The plot sheet: its own buttons hidden; Enter steps to the next page, after the last to the
// first, and never closes the sheet.

#include <mfc/CPropertySheet.h>

namespace plotsheet {

class CPlotSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CPlotSheet)

public:
    CPlotSheet(LPCSTR caption, CWnd* parent = nullptr, UINT firstPage = 0);
    BOOL OnInitDialog() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

} // namespace plotsheet
