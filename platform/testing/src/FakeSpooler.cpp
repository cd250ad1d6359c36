#include "testing/FakeSpooler.h"

FakeSpooler::FakeSpooler(const std::string& captureFolder) {
    SdInstallFakeSpooler(captureFolder.empty() ? nullptr : captureFolder.c_str());
}

FakeSpooler::~FakeSpooler() {
    SdRemoveFakeSpooler();
}

void FakeSpooler::AddPrinter(const std::string& name, DWORD refusals) {
    SdAddFakePrinter(name.c_str(), refusals);
}

std::vector<SdSpooledJob> FakeSpooler::Jobs() const {
    return SdSpooledJobs();
}
