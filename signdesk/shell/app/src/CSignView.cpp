#include "app/CSignView.h"

IMPLEMENT_DYNCREATE(CSignView, COleSheetView)

CSignView::~CSignView() = default;
