#pragma once
// A cutter at the far end of a serial line, for tests of ports and drivers. It holds the
// master side of a pseudo-terminal; the port opens the other side (PortPath) as it would
// open /dev/ttyS0, usually through a FakePort entry of the port table. A thread of its own
// reads what the port sends, keeps it, and answers queries with scripted replies.
//
// Flow control as a cutter does it: Hold sends XOFF and stops reading (a port with XON/XOFF
// then takes nothing more), Release reads on and sends XON. An XOFF from the port holds the
// replies back until its XON. All waits of the fake are in real time and bounded.

#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// The line settings the port gave the terminal. A pseudo-terminal always carries eight data
// bits without parity, whatever the port asks, so those two are not reported.
struct FakeLineSettings {
    unsigned baudRate = 0;
    int stopBits = 0;
    bool rtsCts = false;
    bool xonXoff = false; // the port obeys XON/XOFF from the cutter
    bool raw = false;     // no echo, no line editing, no output processing
};

class FakeCutter {
public:
    FakeCutter();
    ~FakeCutter();
    FakeCutter(const FakeCutter&) = delete;
    FakeCutter& operator=(const FakeCutter&) = delete;

    // False when no pseudo-terminal could be made; nothing else then works.
    bool IsOpen() const { return master_ >= 0; }
    // The device file a port opens to reach the cutter.
    const std::string& PortPath() const { return portPath_; }

    // Whenever the bytes received contain `query`, `reply` is sent back, once for each time
    // the query comes (for instance "OH;" → "0,0,40000,24000\r" for the sheet size). Bytes
    // are matched across reads, and each byte received answers at most one query. An empty
    // reply removes the query.
    void SetReply(const std::string& query, const std::string& reply);
    // Sends bytes to the port unasked.
    void Send(const std::string& bytes);
    // A cutter that tells when it is ready for more: `ready` (for instance "E") is sent at
    // once and again after each block the cutter takes (each read from the line). Empty:
    // none.
    void SetReadyByte(const std::string& ready);

    std::string Received() const;
    void ClearReceived();
    // Waits until the bytes received contain `text` (or number at least `count`), at most
    // `milliseconds` of real time.
    bool WaitForReceived(const std::string& text, int milliseconds = 2000) const;
    bool WaitForReceivedCount(std::size_t count, int milliseconds = 2000) const;

    void Hold();
    void Release();
    // Reads at most `bytes` per `milliseconds` (a slow cutter); 0 bytes: as fast as it comes.
    void SetAcceptRate(std::size_t bytes, int milliseconds);
    // Whether the port's last flow byte was XOFF.
    bool HeldByPort() const;

    FakeLineSettings LineSettings() const;

    // Unplugged once `bytes` bytes have come in all (0: now): the cutter's side of the line
    // closes, and the port's reads and writes fail from then on.
    void VanishAfter(std::size_t bytes);
    bool Vanished() const;

private:
    void Run();
    void ReceiveBytes(const char* data, std::size_t size); // with the lock held
    void WriteToPort(const std::string& bytes);
    void Wake();
    void Vanish();

    int master_ = -1;
    int keepOpen_ = -1; // the port side, so the line never hangs up between sessions
    int wake_[2] = {-1, -1};
    std::string portPath_;

    mutable std::mutex mutex_;
    mutable std::condition_variable received_;
    std::mutex writeMutex_;
    std::string bytes_;
    std::string unmatched_;
    std::map<std::string, std::string> replies_;
    std::string heldReplies_;
    std::string ready_;
    bool held_ = false;
    bool heldByPort_ = false;
    std::size_t rateBytes_ = 0;
    int rateMilliseconds_ = 0;
    bool stop_ = false;
    std::size_t vanishAt_ = std::size_t(-1);
    bool vanished_ = false;
    std::thread reader_;
};
