#pragma once
// Switches the process to another ANSI code page for one scope (1252 or 932).

#include "win32/CodePageTesting.h"

class ScopedCodePage {
public:
    explicit ScopedCodePage(UINT ansiCodePage) : before_(SdSetCodePage(ansiCodePage)) {}
    ~ScopedCodePage() {
        if (before_ != 0) SdSetCodePage(before_);
    }
    ScopedCodePage(const ScopedCodePage&) = delete;
    ScopedCodePage& operator=(const ScopedCodePage&) = delete;

private:
    UINT before_;
};
