#pragma once
// The fake spooler of win32/SpoolerTesting.h for the life of the object: printers that the
// test adds, and every job sent to them kept for the test to read.

#include <string>
#include <vector>

#include "win32/SpoolerTesting.h"

class FakeSpooler {
public:
    // With a capture folder each ended job is also written there as "job-<id>.prn".
    explicit FakeSpooler(const std::string& captureFolder = {});
    ~FakeSpooler();
    FakeSpooler(const FakeSpooler&) = delete;
    FakeSpooler& operator=(const FakeSpooler&) = delete;

    void AddPrinter(const std::string& name, DWORD refusals = 0);
    std::vector<SdSpooledJob> Jobs() const;
};
