#include <climits>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include <win32/KernelTesting.h>
#include <win32/UserTesting.h>
#include <win32/kernel.h>

#include "FrameTest.h"

namespace {

using namespace std::string_literals;

class PortTransportTest : public FrameTest {
protected:
    // A driver bound to section [Cutter] with the given keys.
    TestDriver& Driver(const std::string& keys, bool portLibrary = true) {
        ini_ = WriteFile("Devices.ini", "[Cutter]\n" + keys);
        TestDriver& d = MakeDriver(portLibrary);
        d.Bind("Cutter", ini_.c_str());
        return d;
    }

    // Runs in the data folder, where a device without a folder becomes a file.
    struct InDataFolder {
        explicit InDataFolder(const std::filesystem::path& folder)
            : previous(std::filesystem::current_path()) {
            std::filesystem::current_path(folder);
        }
        ~InDataFolder() { std::filesystem::current_path(previous); }
        std::filesystem::path previous;
    };

    static SYSTEMTIME Noon() {
        SYSTEMTIME t{};
        t.wYear = 2024;
        t.wMonth = 1;
        t.wDay = 1;
        t.wHour = 12;
        return t;
    }

    std::string ini_;
};

TEST_F(PortTransportTest, FileReceivesTheBytesAsWritten) {
    std::string out = Path("job.plt");
    TestDriver& d = Driver("Device=" + out + "\n");
    d.Init();
    EXPECT_EQ(d.port_.GetKind(), PortTransport::Kind::File);
    d.Write("IN;", -1);
    d.Write("A\0B", 3);
    d.Write("ignored", 0);
    d.Exit();
    EXPECT_FALSE(d.port_.IsOpen());
    EXPECT_EQ(ReadFile(out), "IN;A\0B"s);
    EXPECT_EQ(d.WriteWithTimeout(10, "x", 1), 0); // closed
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(PortTransportTest, DeviceIsReadAgainAtEachOpening) {
    std::string first = Path("first.plt"), second = Path("second.plt");
    TestDriver& d = Driver("Device=" + first + "\n");
    WritePrivateProfileStringA("Cutter", "Device", second.c_str(), ini_.c_str());
    d.Init();
    d.Write("X", -1);
    d.Exit();
    EXPECT_EQ(ReadFile(second), "X");
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_EQ(std::string(d.GetDeviceName()), first); // the section as loaded
}

TEST_F(PortTransportTest, FileThatCannotBeCreatedAbortsTheJob) {
    std::string out = Path("no/such/folder/job.plt");
    TestDriver& d = Driver("Device=" + out + "\n");
    PushMessageBoxAnswer(IDOK);
    d.Init();
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "cannot open " + out + ": No such file or directory");
    EXPECT_EQ(plotter_.aborted, 1);
    d.Write("PU0,0;", -1); // dropped without a second message
    d.Exit();
    EXPECT_EQ(MessageBoxLog().size(), 1u);
}

TEST_F(PortTransportTest, FileWriteFailureAbortsTheJob) {
    // A file size limit fails the writes as a full disk would.
    std::string out = Path("job.plt");
    TestDriver& d = Driver("Device=" + out + "\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{4096, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    PushMessageBoxAnswer(IDOK);
    d.Init();
    for (int i = 0; i < 1000; ++i)
        d.Write("PD100,100;", -1);
    d.Exit();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "write failed on " + out);
    EXPECT_EQ(plotter_.aborted, 1);
}

TEST_F(PortTransportTest, DeviceFilesGoToThePortLibrary) {
    struct Case {
        std::string device;
        bool port;
    };
    const std::string link = Path("cutter-link");
    std::filesystem::create_symlink("/dev/null", link);
    const Case cases[] = {
        {"/dev/ttyUSB0", true}, {"/dev/usb/lp0", true}, {"/dev/ttyUSB9", true},
        {"\\dev\\ttyS1", true}, {link, true},           {Path("cut.plt"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        reset_();
        TestDriver& d = Driver("Device=" + c.device + "\n");
        d.Init();
        EXPECT_EQ(d.port_.GetKind(),
                  c.port ? PortTransport::Kind::PortLibrary : PortTransport::Kind::File);
        EXPECT_EQ(openCount_(), c.port ? 1 : 0);
        d.Exit();
    }
    EXPECT_FALSE(std::filesystem::exists("/dev/ttyUSB9"));
}

TEST_F(PortTransportTest, APortThatCannotBeOpenedIsReportedWithTheLibrarysReason) {
    struct Case {
        const char* reason; // what the port library says; null: it says nothing
        std::string message;
    };
    const Case cases[] = {
        {"COM1 (/dev/ttyS0): Permission denied; the device belongs to the group dialout",
         "cannot open COM1 (/dev/ttyS0): Permission denied; the device belongs to the group "
         "dialout"},
        {"", "cannot open COM1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        reset_();
        configure_(INT_MAX, 0, 1);
        setError_(c.reason);
        TestDriver& d = Driver("Device=COM1\n");
        PushMessageBoxAnswer(IDOK);
        d.Init();
        EXPECT_FALSE(d.port_.IsOpen());
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_EQ(MessageBoxLog().back().text, c.message);
        EXPECT_EQ(plotter_.aborted, 1);
        SdClearMessageBoxes();
        plotter_.aborted = 0;
    }
}

TEST_F(PortTransportTest, PrinterGetsARawJobNamedAfterTheJob) {
    SdAddFakePrinter("Vinyl Cutter");
    TestDriver& d = Driver("Device=Vinyl Cutter\n");
    d.jobName = "Shop sign";
    d.Init();
    EXPECT_EQ(d.port_.GetKind(), PortTransport::Kind::Printer);
    d.Write("IN;PU0,0;", -1);
    d.Exit();
    auto jobs = SdSpooledJobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].printer, "Vinyl Cutter");
    EXPECT_EQ(jobs[0].document, "Shop sign");
    EXPECT_EQ(jobs[0].datatype, "RAW");
    EXPECT_EQ(jobs[0].bytes, "IN;PU0,0;");
    EXPECT_EQ(jobs[0].pages, 1);
    EXPECT_TRUE(jobs[0].ended);
    EXPECT_EQ(SdOpenPrinterCount(), 0);
}

TEST_F(PortTransportTest, PrinterFailuresAbortTheJob) {
    struct Case {
        DWORD refusal;
        const char* message;
    } cases[] = {
        {SD_REFUSE_OPEN, "cannot open Refusing"},
        {SD_REFUSE_START_DOC, "cannot open Refusing"},
        {SD_REFUSE_START_PAGE, "cannot open Refusing"},
        {SD_REFUSE_WRITE, "write failed on Refusing"},
    };
    for (const Case& c : cases) {
        SdInstallFakeSpooler();
        SdAddFakePrinter("Refusing", c.refusal);
        SdClearMessageBoxes();
        plotter_.aborted = 0;
        TestDriver& d = Driver("Device=Refusing\n");
        PushMessageBoxAnswer(IDOK);
        d.Init();
        d.Write("IN;", -1);
        d.Write("IN;", -1);
        d.Exit();
        ASSERT_EQ(MessageBoxLog().size(), 1u) << c.refusal;
        EXPECT_EQ(MessageBoxLog()[0].text, c.message);
        EXPECT_EQ(plotter_.aborted, 1);
        EXPECT_EQ(SdOpenPrinterCount(), 0);
    }
}

TEST_F(PortTransportTest, DeviceTextChoosesThePort) {
    SdAddFakePrinter("USB");
    SdAddFakePrinter("Cutter Queue");
    struct Case {
        std::string device;
        std::string usbId;
        PortTransport::Kind kind;
    } cases[] = {
        {"com3", "", PortTransport::Kind::PortLibrary},
        {"COM3:", "", PortTransport::Kind::PortLibrary},
        {"lpt4", "", PortTransport::Kind::PortLibrary},
        {"COM8", "", PortTransport::Kind::PortLibrary},
        {"COM9", "", PortTransport::Kind::File},
        {"LPT1.DOS", "", PortTransport::Kind::File},
        {"Cutter Queue", "", PortTransport::Kind::Printer},
        {"cutter queue", "", PortTransport::Kind::File},            // printer names match with case
        {"USB", "vid_1234&pid_5678", PortTransport::Kind::Printer}, // a printer wins
    };
    InDataFolder here(DataFolder());
    for (const Case& c : cases) {
        TestDriver& d = Driver("Device=" + c.device + "\nWindowsUSBID=" + c.usbId + "\n");
        d.Init();
        EXPECT_TRUE(d.port_.IsOpen()) << c.device;
        EXPECT_EQ(d.port_.GetKind(), c.kind) << c.device;
        d.Exit();
        if (c.kind == PortTransport::Kind::File) {
            EXPECT_TRUE(std::filesystem::exists(DataFolder() / c.device)) << c.device;
        }
    }
    EXPECT_EQ(openCount_(), 4);
    EXPECT_STREQ(lastSection_(), "Cutter");

    SdInstallFakeSpooler(); // no printers
    struct UsbCase {
        std::string device;
        std::string usbId;
        PortTransport::Kind kind;
    } usbCases[] = {
        {"USB", "vid_1234&pid_5678", PortTransport::Kind::PortLibrary},
        {"usb", "vid_1234&pid_5678", PortTransport::Kind::File}, // USB only as written
        {"USB", "", PortTransport::Kind::File},
    };
    for (const UsbCase& c : usbCases) {
        TestDriver& d = Driver("Device=" + c.device + "\nWindowsUSBID=" + c.usbId + "\n");
        d.Init();
        EXPECT_EQ(d.port_.GetKind(), c.kind) << c.device << " " << c.usbId;
        d.Exit();
    }
    EXPECT_FALSE(isOpen_());
}

TEST_F(PortTransportTest, PortLibraryTakesTheDataInPieces) {
    configure_(3, 0, 0);
    TestDriver& d = Driver("Device=COM1\n");
    d.Init();
    EXPECT_EQ(d.port_.GetTransmitMode(), 1);
    d.Write("PU100,200;PD300,400;", -1);
    EXPECT_EQ(lastMode_(), 1);
    d.port_.SetTransmitMode(0);
    d.Write("SP0;", -1);
    EXPECT_EQ(lastMode_(), 0);
    d.Exit();
    EXPECT_EQ(FakeWritten(), "PU100,200;PD300,400;SP0;");
    EXPECT_FALSE(isOpen_());
    EXPECT_GT(plotter_.polls, 0);
}

TEST_F(PortTransportTest, TimeOutQuestionWaitsAFullTimeOutAfterYes) {
    SdInstallFakeClock(1000, Noon());
    configure_(0, 0, 0);
    TestDriver& d = Driver("Device=COM1\nTimeOut=1\n");
    d.Init();
    PushMessageBoxAnswer(IDYES);
    PushMessageBoxAnswer(IDNO);
    DWORD start = GetTickCount();
    d.Write("PU0,0;", -1);
    DWORD waited = GetTickCount() - start;
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(MessageBoxLog()[0].text, "timeout on COM1");
    EXPECT_EQ(MessageBoxLog()[0].style & MB_TYPEMASK, UINT(MB_YESNO));
    // The second question comes only after a second full time-out.
    EXPECT_GE(waited, 2000u);
    EXPECT_LT(waited, 2500u);
    EXPECT_EQ(plotter_.aborted, 1);
    d.Write("PU0,0;", -1); // the job is over: no further question
    d.Exit();
    EXPECT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(FakeWritten(), "");
}

TEST_F(PortTransportTest, ATimeOutThatIsNoTimeTakesSixtySeconds) {
    for (const char* value : {"0", "x", "-5"}) {
        SCOPED_TRACE(value);
        SdInstallFakeClock(1000, Noon());
        reset_();
        configure_(0, 0, 0);
        TestDriver& d = Driver(std::string("Device=COM1\nTimeOut=") + value + "\n");
        EXPECT_EQ(d.Section().timeOut, 60);
        d.Init();
        PushMessageBoxAnswer(IDNO);
        DWORD start = GetTickCount();
        d.Write("PU0,0;", -1);
        DWORD waited = GetTickCount() - start;
        d.Exit();
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_GE(waited, 60000u);
        EXPECT_LT(waited, 60500u);
        SdClearMessageBoxes();
        plotter_.aborted = 0;
        SdRemoveFakeClock();
    }
}

TEST_F(PortTransportTest, AbortWhileWaitingEndsTheWrite) {
    SdInstallFakeClock(0, Noon());
    configure_(0, 0, 0);
    TestDriver& d = Driver("Device=COM1\nTimeOut=60\n");
    d.Init();
    plotter_.abortAtPoll = 5;
    d.Write("PU0,0;", -1);
    EXPECT_EQ(plotter_.polls, 5);
    EXPECT_TRUE(MessageBoxLog().empty());
    d.Exit();
}

TEST_F(PortTransportTest, AnAbortTakesEffectBetweenCommands) {
    // Three bytes a call: the abort comes while the first command is half sent.
    configure_(3, 0, 0);
    TestDriver& d = Driver("Device=COM1\n");
    d.Init();
    plotter_.polls = 0;
    plotter_.abortAtPoll = 3; // the entry's poll, the first piece's, then mid-command
    d.Write("PU100,200;", -1);
    EXPECT_EQ(plotter_.aborted, 1);
    d.Write("PD300,400;", -1);
    EXPECT_EQ(FakeWritten(), "PU100,200;");
    EXPECT_TRUE(d.port_.UserAborted());
    // Finishing writes past the abort; a port failure is no user's abort.
    d.port_.SetFinishing(true);
    d.Write("SP0;", -1);
    d.port_.SetFinishing(false);
    EXPECT_EQ(FakeWritten(), "PU100,200;SP0;");
    d.Exit();
    EXPECT_FALSE(d.port_.UserAborted());
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(PortTransportTest, TransmissionErrorAbortsTheJob) {
    configure_(-1, 0, 0);
    TestDriver& d = Driver("Device=COM1\n");
    d.Init();
    PushMessageBoxAnswer(IDOK);
    d.Write("PU0,0;", -1);
    d.Write("PU0,0;", -1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "write failed on COM1");
    EXPECT_EQ(plotter_.aborted, 1);
    d.Exit();
}

TEST_F(PortTransportTest, PortThatCannotBeOpenedAbortsTheJob) {
    configure_(100, 0, 1);
    TestDriver& d = Driver("Device=COM2\n");
    PushMessageBoxAnswer(IDOK);
    d.Init();
    EXPECT_FALSE(d.port_.IsOpen());
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "cannot open COM2");
    EXPECT_EQ(plotter_.aborted, 1);
}

TEST_F(PortTransportTest, WithoutThePortLibraryOnlyPortsFail) {
    TestDriver& d = Driver("Device=COM1\n", false);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "no port library");
    EXPECT_EQ(MessageBoxLog()[0].style & MB_ICONMASK, UINT(MB_ICONEXCLAMATION));
    PushMessageBoxAnswer(IDOK);
    d.Init();
    d.Write("IN;", -1);
    d.Exit();
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(MessageBoxLog()[1].text, "port COM1 unavailable");
    EXPECT_EQ(plotter_.aborted, 1);
    EXPECT_EQ(openCount_(), 0);

    plotter_.aborted = 0;
    std::string out = Path("still.plt");
    WritePrivateProfileStringA("Cutter", "Device", out.c_str(), ini_.c_str());
    d.Init();
    d.Write("IN;", -1);
    d.Exit();
    EXPECT_EQ(ReadFile(out), "IN;");
}

TEST_F(PortTransportTest, ReadStopsAtATerminatorOrAfterTheTimeOut) {
    struct Case {
        std::string reply;
        int chunk;
        const char* terminators;
        int size;
        int expected;
    } cases[] = {
        {"1,2\r", 0, "\r\n;", 79, 3},
        {"1,2\r", 1, "\r\n;", 79, 3}, // the reply may come byte by byte
        {"10,20;30\n", 2, "\r\n;", 79, 5},
        {"12\0"s + "34", 0, "\r", 79, 2}, // a zero byte ends the reply too
        {"1,2\r", 0, nullptr, 3, 3},      // full buffer
        {"1,2", 0, "\r", 79, 3},          // time-out with what came
        {"", 0, "\r", 79, 0},
    };
    SdInstallFakeClock(0, Noon());
    TestDriver& d = Driver("Device=COM1\n");
    d.Init();
    for (const Case& c : cases) {
        setReply_(c.reply.data(), int(c.reply.size()), c.chunk);
        char buffer[80];
        DWORD start = GetTickCount();
        EXPECT_EQ(d.ReadWithTimeout(buffer, c.size, 500, c.terminators), c.expected) << c.reply;
        if (c.expected == int(c.reply.size()) && c.terminators) {
            EXPECT_GE(GetTickCount() - start, 500u) << c.reply; // no terminator came
        }
    }
    d.Exit();

    std::string out = Path("reply.plt");
    WritePrivateProfileStringA("Cutter", "Device", out.c_str(), ini_.c_str());
    d.Init();
    char buffer[8];
    EXPECT_EQ(d.ReadWithTimeout(buffer, 8, 500, "\r"), -1); // files do not answer
    d.Exit();
}

TEST_F(PortTransportTest, WriteWithTimeoutGivesUp) {
    SdInstallFakeClock(0, Noon());
    TestDriver& d = Driver("Device=COM1\n");
    d.Init();
    EXPECT_EQ(d.WriteWithTimeout(200, "OH;", -1), 1);
    configure_(0, 0, 0);
    DWORD start = GetTickCount();
    EXPECT_EQ(d.WriteWithTimeout(200, "OA;", -1), 0);
    EXPECT_GE(GetTickCount() - start, 200u);
    configure_(-1, 0, 0);
    EXPECT_EQ(d.WriteWithTimeout(200, "OA;", -1), 0);
    d.Exit();
    EXPECT_EQ(FakeWritten(), "OH;");
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(PortTransportTest, DrainingAsksAfterTheTimeOut) {
    SdInstallFakeClock(0, Noon());
    configure_(100, 3, 0);
    TestDriver& d = Driver("Device=COM1\nTimeOut=1\n");
    d.Init();
    d.port_.WaitUntilSent(); // ready at the fourth poll
    EXPECT_TRUE(MessageBoxLog().empty());
    d.Exit();

    configure_(100, -1, 0);
    d.Init();
    PushMessageBoxAnswer(IDNO);
    d.port_.WaitUntilSent();
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(plotter_.aborted, 1);
    d.Exit();
}

TEST_F(PortTransportTest, OverlongCommandIsRefusedAndReportedOnce) {
    std::string out = Path("long.plt");
    TestDriver& d =
        Driver("Device=" + out + "\nMoveRel=PU#,#;" + std::string(260, 'x') + "\nLineRel=PD#,#;\n");
    d.Init();
    PushMessageBoxAnswer(IDOK);
    EXPECT_FALSE(d.Send(Cmd::MoveRel, {1, 2}));
    EXPECT_FALSE(d.Send(Cmd::MoveRel, {1, 2}));
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "command too long in Cutter");
    EXPECT_EQ(plotter_.aborted, 1);
    d.Exit();
    EXPECT_EQ(ReadFile(out), "");
}

} // namespace
