#pragma once
// A print service of the test's own: cupsd listening on 127.0.0.1 at a free port,
// configured in a temporary folder, with two queues: the default one, a file: queue that
// takes PDF (our own small PPD) and writes each job's file unchanged into a file, and a raw
// queue writing each job's bytes into another. While it is set up CUPS_SERVER points at it.
//
// The queue's PPD: default media A6 (105 x 148 mm) with the margins left 5, right 3, top 4,
// bottom 6 mm, also A4 with 5 mm all round; resolution 100 dpi by default (300 offered).

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

class PrivateCupsd {
public:
    PrivateCupsd() = default;
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;
    ~PrivateCupsd(); // Stop, then the folder is removed and CUPS_SERVER restored

    // Starts cupsd (again after Stop, in a fresh folder) and waits until it answers; "" when it
    // runs, else why it cannot (no cupsd installed, it does not start, it does not answer): the
    // test then skips.
    std::string Start();
    // Stops cupsd (SIGTERM, then waits for it); CUPS_SERVER keeps pointing at the port.
    void Stop();
    bool Running() const { return pid_ > 0; }

    static constexpr const char* Queue = "SignPdf";
    static constexpr const char* RawQueue = "SignRaw";
    // The files the queues write each job into (the last job's).
    std::filesystem::path Output() const { return folder_ / "out.pdf"; }
    std::filesystem::path RawOutput() const { return folder_ / "raw.out"; }
    const std::filesystem::path& Folder() const { return folder_; }
    int Port() const { return port_; }

    // Waits until no queue holds a pending job; the number of jobs completed so far, or
    // -1 after `milliseconds` or when the service does not answer.
    int WaitIdle(int milliseconds = 10000) const;
    // The titles of the completed jobs, in the service's order.
    std::vector<std::string> CompletedJobs() const;

private:
    void Cleanup();

    std::filesystem::path folder_;
    pid_t pid_ = -1;
    int port_ = 0;
    bool hadServer_ = false;
    std::string savedServer_;
    bool serverSet_ = false;
};
