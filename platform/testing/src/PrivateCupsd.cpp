#include "testing/PrivateCupsd.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <cups/cups.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* cupsdProgram = "/usr/sbin/cupsd";
constexpr const char* cupsExec = "/usr/lib/cups/daemon/cups-exec";

// A port nobody listens on now.
int freePort() {
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

bool answers(int port) {
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(std::uint16_t(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

void write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// Points: A6 is 297.64 x 419.53, A4 595.28 x 841.89; 1 mm is 2.8346.
const char* const ppd = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "SIGNPDF.PPD"
*Manufacturer: "signdesk"
*Product: "(PDF file)"
*ModelName: "signdesk PDF file"
*ShortNickName: "PDF file"
*NickName: "signdesk PDF file"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter: "application/pdf 0 pdfcopy"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A6
*PageSize A6/A6: "<</PageSize[297.64 419.53]>>setpagedevice"
*PageSize A4/A4: "<</PageSize[595.28 841.89]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A6
*PageRegion A6/A6: "<</PageSize[297.64 419.53]>>setpagedevice"
*PageRegion A4/A4: "<</PageSize[595.28 841.89]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A6
*ImageableArea A6/A6: "14.17 17.01 289.14 408.19"
*ImageableArea A4/A4: "14.17 14.17 581.11 827.72"
*DefaultPaperDimension: A6
*PaperDimension A6/A6: "297.64 419.53"
*PaperDimension A4/A4: "595.28 841.89"
*OpenUI *Resolution/Resolution: PickOne
*OrderDependency: 10 AnySetup *Resolution
*DefaultResolution: 100dpi
*Resolution 100dpi/100 dpi: "<</HWResolution[100 100]>>setpagedevice"
*Resolution 300dpi/300 dpi: "<</HWResolution[300 300]>>setpagedevice"
*CloseUI: *Resolution
)PPD";

} // namespace

PrivateCupsd::~PrivateCupsd() {
    Stop();
    Cleanup();
}

std::string PrivateCupsd::Start() {
    if (pid_ > 0) return "";
    Cleanup(); // a service started again gets a fresh folder and port
    if (::access(cupsdProgram, X_OK) != 0)
        return std::string("no ") + cupsdProgram + " (package cups-daemon)";
    if (::access(cupsExec, X_OK) != 0) return std::string("no ") + cupsExec;
    std::error_code ec;
    char pattern[] = "/tmp/sd-cupsd-XXXXXX";
    if (!::mkdtemp(pattern)) return std::string("no temporary folder: ") + std::strerror(errno);
    folder_ = pattern;
    // Filters run as the service's own user, which must reach the folder.
    fs::permissions(folder_,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    ec);
    for (const char* sub : {"ppd", "spool", "cache", "state", "log", "tmp", "bin/filter",
                            "bin/daemon", "bin/backend"})
        fs::create_directories(folder_ / sub, ec);
    port_ = freePort();
    if (port_ == 0) return "no free port on 127.0.0.1";

    const std::string root = folder_.string();
    write(folder_ / "cupsd.conf", "Listen 127.0.0.1:" + std::to_string(port_) +
                                      "\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                                      "DefaultAuthType None\n<Location />\nOrder allow,deny\n"
                                      "Allow all\n</Location>\n");
    write(folder_ / "cups-files.conf",
          "FileDevice Yes\nServerRoot " + root + "\nServerBin " + root + "/bin\nRequestRoot " +
              root + "/spool\nCacheDir " + root + "/cache\nStateDir " + root + "/state\nTempDir " +
              root + "/tmp\nErrorLog " + root + "/log/error_log\nAccessLog " + root +
              "/log/access_log\nPageLog " + root + "/log/page_log\n");
    write(folder_ / "ppd" / (std::string(Queue) + ".ppd"), ppd);
    write(folder_ / "printers.conf",
          std::string("<DefaultPrinter ") + Queue + ">\nInfo signdesk PDF file\nDeviceURI file://" +
              Output().string() +
              "\nState Idle\nAccepting Yes\nShared No\n</DefaultPrinter>\n"
              "<Printer " +
              RawQueue + ">\nInfo signdesk raw file\nDeviceURI sdcopy:" + RawOutput().string() +
              "\nState Idle\nAccepting Yes\nShared No\n</Printer>\n");
    // The queue's filter copies the PDF as it is.
    const fs::path filter = folder_ / "bin/filter/pdfcopy";
    write(filter, "#!/bin/sh\nif [ -n \"$6\" ]; then exec cat \"$6\"; fi\nexec cat\n");
    fs::permissions(filter,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    ec);
    fs::create_symlink(cupsExec, folder_ / "bin/daemon/cups-exec", ec);
    // Raw jobs pass no filter, and the service copies nothing into a file: device by
    // itself; the raw queue's device is this backend, run as the service's own user (0700).
    const fs::path backend = folder_ / "bin/backend/sdcopy";
    write(backend, "#!/bin/sh\n[ $# -eq 0 ] && exit 0\nout=\"${DEVICE_URI#sdcopy:}\"\n"
                   "if [ -n \"$6\" ]; then exec cat \"$6\" > \"$out\"; fi\nexec cat > \"$out\"\n");
    fs::permissions(backend, fs::perms::owner_all, ec);

    const std::string conf = (folder_ / "cupsd.conf").string();
    const std::string files = (folder_ / "cups-files.conf").string();
    std::vector<std::string> args = {cupsdProgram, "-f", "-c", conf, "-s", files};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, cupsdProgram, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return std::string("cupsd does not start: ") + std::strerror(spawned);
    pid_ = pid;

    // cupsd takes a moment to read its configuration: wait for it to listen, or to end.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!answers(port_)) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            std::ifstream log(folder_ / "log/error_log");
            std::string line, last;
            while (std::getline(log, line))
                last = line;
            return "cupsd ended at start" + (last.empty() ? std::string() : ": " + last);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            Stop();
            return "cupsd does not answer on port " + std::to_string(port_);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (const char* old = std::getenv("CUPS_SERVER")) hadServer_ = true, savedServer_ = old;
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(port_)).c_str(), 1);
    serverSet_ = true;
    return "";
}

void PrivateCupsd::Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

void PrivateCupsd::Cleanup() {
    if (serverSet_) {
        if (hadServer_)
            setenv("CUPS_SERVER", savedServer_.c_str(), 1);
        else
            unsetenv("CUPS_SERVER");
        serverSet_ = false;
    }
    if (!folder_.empty()) {
        std::error_code ec;
        fs::remove_all(folder_, ec);
        folder_.clear();
    }
}

std::vector<std::string> PrivateCupsd::CompletedJobs() const {
    std::vector<std::string> titles;
    if (pid_ <= 0) return titles;
    http_t* http = httpConnect2("127.0.0.1", port_, nullptr, AF_INET, HTTP_ENCRYPTION_IF_REQUESTED,
                                1, 2000, nullptr);
    if (!http) return titles;
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(http, &jobs, nullptr, 0, CUPS_WHICHJOBS_COMPLETED);
    for (int i = 0; i < n; ++i)
        titles.push_back(jobs[i].title ? jobs[i].title : "");
    cupsFreeJobs(n > 0 ? n : 0, jobs);
    httpClose(http);
    return titles;
}

int PrivateCupsd::WaitIdle(int milliseconds) const {
    if (pid_ <= 0) return -1;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    const std::string server = "127.0.0.1";
    for (;;) {
        http_t* http = httpConnect2(server.c_str(), port_, nullptr, AF_INET,
                                    HTTP_ENCRYPTION_IF_REQUESTED, 1, 2000, nullptr);
        if (http) {
            cups_job_t* jobs = nullptr;
            const int active = cupsGetJobs2(http, &jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
            cupsFreeJobs(active > 0 ? active : 0, jobs);
            int completed = -1;
            if (active == 0) {
                jobs = nullptr;
                completed = cupsGetJobs2(http, &jobs, nullptr, 0, CUPS_WHICHJOBS_COMPLETED);
                cupsFreeJobs(completed > 0 ? completed : 0, jobs);
            }
            httpClose(http);
            if (active == 0) return completed;
        }
        if (std::chrono::steady_clock::now() > deadline) return -1;
        // The service works on its own: there is no event to wait for from here.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
