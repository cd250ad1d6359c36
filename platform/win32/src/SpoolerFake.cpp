#include "SpoolerFake.h"

#include <fstream>
#include <mutex>

#include "win32/SpoolerTesting.h"

namespace sdspool {

namespace {

struct FakePrinter {
    std::string name;
    DWORD refusals;
};

struct FakeSpooler {
    std::mutex mutex;
    bool installed = false;
    std::string captureFolder;
    std::vector<FakePrinter> printers;
    std::vector<SdSpooledJob> jobs;

    SdSpooledJob* job(DWORD jobId) {
        for (SdSpooledJob& job : jobs)
            if (job.jobId == jobId) return &job;
        return nullptr;
    }
};

FakeSpooler& fake() {
    static FakeSpooler spooler;
    return spooler;
}

} // namespace

bool fakeInstalled() {
    std::lock_guard lock(fake().mutex);
    return fake().installed;
}

std::vector<std::string> fakePrinters() {
    std::lock_guard lock(fake().mutex);
    std::vector<std::string> names;
    for (const FakePrinter& printer : fake().printers)
        names.push_back(printer.name);
    return names;
}

std::optional<DWORD> fakeRefusals(const std::string& printer) {
    std::lock_guard lock(fake().mutex);
    for (const FakePrinter& known : fake().printers)
        if (known.name == printer) return known.refusals;
    return std::nullopt;
}

void startFakeJob(DWORD jobId, const std::string& printer, const std::string& document,
                  const std::string& datatype) {
    std::lock_guard lock(fake().mutex);
    fake().jobs.push_back(SdSpooledJob{jobId, printer, document, datatype, {}, {}, 0, false});
}

void addFakePage(DWORD jobId) {
    std::lock_guard lock(fake().mutex);
    if (SdSpooledJob* job = fake().job(jobId)) ++job->pages;
}

void appendFakeJob(DWORD jobId, const char* data, DWORD size) {
    std::lock_guard lock(fake().mutex);
    if (SdSpooledJob* job = fake().job(jobId)) job->bytes.append(data, size);
}

bool endFakeJob(DWORD jobId) {
    std::lock_guard lock(fake().mutex);
    SdSpooledJob* job = fake().job(jobId);
    if (!job) return true; // the fake was installed afresh meanwhile
    job->ended = true;
    if (fake().captureFolder.empty()) return true;
    std::string file = fake().captureFolder + "/job-" + std::to_string(jobId) + ".prn";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(job->bytes.data(), std::streamsize(job->bytes.size()));
    if (!out.flush()) return false;
    job->file = file;
    return true;
}

} // namespace sdspool

void SdInstallFakeSpooler(LPCSTR captureFolder) {
    auto& spooler = sdspool::fake();
    std::lock_guard lock(spooler.mutex);
    spooler.installed = true;
    spooler.captureFolder = captureFolder ? captureFolder : "";
    spooler.printers.clear();
    spooler.jobs.clear();
}

void SdRemoveFakeSpooler() {
    auto& spooler = sdspool::fake();
    std::lock_guard lock(spooler.mutex);
    spooler.installed = false;
    spooler.captureFolder.clear();
    spooler.printers.clear();
    spooler.jobs.clear();
}

bool SdFakeSpoolerInstalled() {
    return sdspool::fakeInstalled();
}

void SdAddFakePrinter(LPCSTR name, DWORD refusals) {
    if (!name) return;
    auto& spooler = sdspool::fake();
    std::lock_guard lock(spooler.mutex);
    spooler.printers.push_back({name, refusals});
}

std::vector<SdSpooledJob> SdSpooledJobs() {
    auto& spooler = sdspool::fake();
    std::lock_guard lock(spooler.mutex);
    return spooler.jobs;
}
