#include "compressor/ArchiveCompressor.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <mfc/CArchiveException.h>

namespace {

constexpr unsigned kWindow = 4096;
constexpr unsigned kMaxMatch = 18;
constexpr unsigned kMinMatch = 3;
constexpr unsigned kStart = kWindow - kMaxMatch; // where the first byte lands
constexpr unsigned kHashSize = 1 << 14;
constexpr unsigned kChainSteps = 128;

unsigned Hash(const BYTE* p) {
    return ((unsigned(p[0]) << 6) ^ (unsigned(p[1]) << 3) ^ p[2]) & (kHashSize - 1);
}

// Collects output and writes it to the archive in blocks.
class Sink {
public:
    explicit Sink(CArchive& ar) : m_ar(ar) {}
    void Put(BYTE b) {
        m_buffer.push_back(b);
        if (m_buffer.size() >= 65536) Flush();
    }
    void Flush() {
        if (!m_buffer.empty()) m_ar.Write(m_buffer.data(), UINT(m_buffer.size()));
        m_written += m_buffer.size();
        m_buffer.clear();
    }
    unsigned long Written() const { return static_cast<unsigned long>(m_written); }

private:
    CArchive& m_ar;
    std::vector<BYTE> m_buffer;
    std::uint64_t m_written = 0;
};

} // namespace

unsigned long ArchiveCompressor::Compress(const void* data, unsigned long size, CArchive& ar) {
    const BYTE* in = static_cast<const BYTE*>(data);
    Sink sink(ar);
    std::vector<long> head(kHashSize, -1), prev(kWindow, -1);
    BYTE group[1 + 2 * 8];
    unsigned groupLength = 1, bit = 0;
    group[0] = 0;
    auto closeGroup = [&]() {
        for (unsigned k = 0; k < groupLength; ++k)
            sink.Put(group[k]);
        group[0] = 0;
        groupLength = 1;
        bit = 0;
    };
    auto insert = [&](unsigned long i) {
        if (i + kMinMatch > size) return;
        const unsigned h = Hash(in + i);
        prev[i % kWindow] = head[h];
        head[h] = long(i);
    };
    unsigned long i = 0;
    while (i < size) {
        unsigned bestLength = 0;
        unsigned long bestFrom = 0;
        if (i + kMinMatch <= size) {
            const unsigned long most = std::min<unsigned long>(kMaxMatch, size - i);
            long j = head[Hash(in + i)];
            for (unsigned steps = 0; j >= 0 && steps < kChainSteps; ++steps) {
                // Only the last 4095 bytes are still in the window.
                if (i - static_cast<unsigned long>(j) >= kWindow) break;
                unsigned n = 0;
                while (n < most && in[static_cast<unsigned long>(j) + n] == in[i + n])
                    ++n;
                if (n > bestLength) {
                    bestLength = n;
                    bestFrom = static_cast<unsigned long>(j);
                    if (n == most) break;
                }
                const long next = prev[static_cast<unsigned long>(j) % kWindow];
                if (next >= j) break;
                j = next;
            }
        }
        if (bestLength >= kMinMatch) {
            const unsigned pos = unsigned((bestFrom + kStart) % kWindow);
            group[groupLength++] = BYTE(pos & 0xFF);
            group[groupLength++] = BYTE(((pos >> 4) & 0xF0) | (bestLength - kMinMatch));
            for (unsigned k = 0; k < bestLength; ++k)
                insert(i + k);
            i += bestLength;
        } else {
            group[0] = BYTE(group[0] | (1u << bit));
            group[groupLength++] = in[i];
            insert(i);
            ++i;
        }
        if (++bit == 8) closeGroup();
    }
    if (bit != 0) closeGroup();
    sink.Flush();
    return sink.Written();
}

unsigned long ArchiveCompressor::Decompress(CArchive& ar, unsigned long compressedSize, void* dest,
                                            unsigned long destSize) {
    BYTE* out = static_cast<BYTE*>(dest);
    unsigned long written = 0;
    BYTE window[kWindow];
    std::memset(window, ' ', sizeof window);
    unsigned r = kStart;
    // Input in blocks; every byte of compressedSize is read even after the output is full.
    BYTE block[65536];
    unsigned long left = compressedSize, have = 0, at = 0;
    auto next = [&](BYTE& b) {
        if (at == have) {
            if (left == 0) return false;
            const UINT want = UINT(std::min<unsigned long>(left, sizeof block));
            if (ar.Read(block, want) != want)
                AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
            left -= want;
            have = want;
            at = 0;
        }
        b = block[at++];
        return true;
    };
    auto emit = [&](BYTE b) {
        window[r] = b;
        r = (r + 1) % kWindow;
        if (written < destSize && out != nullptr) out[written] = b;
        if (written < destSize) ++written;
    };
    BYTE flags = 0;
    for (;;) {
        if (!next(flags)) break;
        bool done = false;
        for (int k = 0; k < 8 && !done; ++k) {
            BYTE a;
            if (!next(a)) {
                done = true;
                break;
            }
            if (flags & (1u << k)) {
                emit(a);
                continue;
            }
            BYTE b;
            if (!next(b)) {
                done = true;
                break;
            }
            const unsigned pos = a | ((b & 0xF0u) << 4);
            const unsigned length = (b & 0x0Fu) + kMinMatch;
            for (unsigned n = 0; n < length; ++n)
                emit(window[(pos + n) % kWindow]);
        }
        if (done) break;
    }
    // The rest of the stored bytes, when the stream ended early.
    while (left > 0 || at < have) {
        BYTE skip;
        if (!next(skip)) break;
    }
    return written;
}
