#pragma once
// The document the program's template makes: the sheet document of the framework.

#include <sheet/COleSheetDoc.h>

class SignDocument : public COleSheetDoc {
    DECLARE_DYNCREATE(SignDocument)
public:
    SignDocument() = default;
    ~SignDocument() override;
};
