#pragma once
// Tests that draw on the fake PostScript printer "PS": a document is started on a printer
// context before each test, and the bytes spooled for it are read back.

#include <string>

#include "mfc/CDC.h"
#include "testing/PlatformTest.h"

class PostScriptPrinterTest : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Ends the document and answers the bytes of the last job spooled.
    std::string Captured();

    CDC dc;
};
