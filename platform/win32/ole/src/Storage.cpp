// Compound files read through libgsf's reader; this layer maps its failures to storage codes
// and keeps every stream within the file's length.

#include "win32/storage.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>

namespace {

constexpr unsigned char Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// The reader warns about the damage it finds (chain loops, directory loops, sizes past the
// file) and reads on; here any such warning fails the call that met it.
thread_local bool damageSeen = false;

void NoteDamage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {
    damageSeen = true;
}

// Watches the reader's warnings for the life of a call.
struct DamageWatch {
    DamageWatch() {
        static std::once_flag once;
        std::call_once(once, [] {
            g_log_set_handler("libgsf:msole",
                              GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
                              NoteDamage, nullptr);
        });
        damageSeen = false;
    }
    bool Damaged() const { return damageSeen; }
};

std::string ToUtf8(LPCOLESTR name) {
    std::string out;
    if (name == nullptr) return out;
    for (std::size_t n = 0; name[n] != 0; ++n) {
        const char16_t c = name[n];
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            // Surrogates are not paired: names of compound files are short and plain.
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// 1 for the signature, 0 for another file, -1 for none.
int HasSignature(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return -1;
    unsigned char head[8] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    return in.gcount() == sizeof head && std::memcmp(head, Signature, sizeof head) == 0;
}

class Stream final : public IStream {
public:
    // Takes the reference of input.
    explicit Stream(GsfInput* input) : input_(input), size_(std::uint64_t(gsf_input_size(input))) {}

    HRESULT Read(void* data, ULONG count, ULONG* read) override {
        if (read) *read = 0;
        if (data == nullptr && count) return STG_E_INVALIDPOINTER;
        const std::uint64_t left = position_ < size_ ? size_ - position_ : 0;
        const auto n = std::size_t(std::min<std::uint64_t>(count, left));
        if (n == 0) return S_OK;
        DamageWatch watch;
        if (gsf_input_seek(input_, gsf_off_t(position_), G_SEEK_SET)) return STG_E_READFAULT;
        if (gsf_input_read(input_, n, static_cast<guint8*>(data)) == nullptr || watch.Damaged())
            return STG_E_READFAULT;
        position_ += n;
        if (read) *read = ULONG(n);
        return S_OK;
    }

    HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* position) override {
        std::int64_t base = 0;
        if (origin == STREAM_SEEK_CUR)
            base = std::int64_t(position_);
        else if (origin == STREAM_SEEK_END)
            base = std::int64_t(size_);
        else if (origin != STREAM_SEEK_SET)
            return STG_E_INVALIDFUNCTION;
        if (move < 0 ? base + move < 0 : base > INT64_MAX - move) return STG_E_INVALIDFUNCTION;
        position_ = std::uint64_t(base + move);
        if (position) *position = position_;
        return S_OK;
    }

    std::uint64_t Size() const override { return size_; }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    ~Stream() override { g_object_unref(input_); }

    GsfInput* input_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
    std::atomic<ULONG> refs_{1};
};

class Storage final : public IStorage {
public:
    // Takes the references of file (the whole file) and infile (null for a plain file
    // presented as "Contents").
    Storage(GsfInput* file, GsfInfile* infile) : file_(file), infile_(infile) {}

    HRESULT OpenStream(LPCOLESTR name, void*, DWORD mode, DWORD, IStream** stream) override {
        if (stream == nullptr) return STG_E_INVALIDPOINTER;
        *stream = nullptr;
        if (name == nullptr) return STG_E_INVALIDPOINTER;
        if (mode & (STGM_WRITE | STGM_READWRITE)) return STG_E_ACCESSDENIED;
        const std::string wanted = ToUtf8(name);
        const gsf_off_t fileSize = gsf_input_size(file_);
        if (infile_ == nullptr) {
            if (g_ascii_strcasecmp(wanted.c_str(), "Contents") != 0) return STG_E_FILENOTFOUND;
            GsfInput* dup = gsf_input_dup(file_, nullptr);
            if (dup == nullptr) return STG_E_READFAULT;
            *stream = new Stream(dup);
            return S_OK;
        }
        // Names compare without case; a listed stream that does not open is damage.
        int index = -1;
        const int count = gsf_infile_num_children(infile_);
        for (int i = 0; i < count && index < 0; ++i) {
            const char* n = gsf_infile_name_by_index(infile_, i);
            if (n != nullptr && g_ascii_strcasecmp(n, wanted.c_str()) == 0) index = i;
        }
        if (index < 0) return STG_E_FILENOTFOUND;
        DamageWatch watch;
        GsfInput* child = gsf_infile_child_by_index(infile_, index);
        if (child == nullptr) return STG_E_DOCFILECORRUPT;
        if (watch.Damaged()) {
            g_object_unref(child);
            return STG_E_DOCFILECORRUPT;
        }
        // Storages list their children; streams answer -1.
        const bool storage =
            GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0;
        if (storage || gsf_input_size(child) < 0 || gsf_input_size(child) > fileSize) {
            g_object_unref(child);
            return STG_E_DOCFILECORRUPT;
        }
        *stream = new Stream(child);
        return S_OK;
    }

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    ~Storage() override {
        if (infile_) g_object_unref(infile_);
        g_object_unref(file_);
    }

    GsfInput* file_;
    GsfInfile* infile_;
    std::atomic<ULONG> refs_{1};
};

} // namespace

HRESULT StgIsStorageFile(LPCOLESTR name) {
    if (name == nullptr) return STG_E_INVALIDPOINTER;
    const int sig = HasSignature(ToUtf8(name));
    return sig < 0 ? STG_E_FILENOTFOUND : sig ? S_OK : S_FALSE;
}

HRESULT StgOpenStorage(LPCOLESTR name, IStorage* priority, DWORD mode, void* exclude,
                       DWORD reserved, IStorage** storage) {
    if (storage == nullptr) return STG_E_INVALIDPOINTER;
    *storage = nullptr;
    if (name == nullptr) return STG_E_INVALIDPOINTER;
    if (priority != nullptr || exclude != nullptr || reserved != 0) return STG_E_INVALIDFUNCTION;
    if (mode & (STGM_WRITE | STGM_READWRITE)) return STG_E_ACCESSDENIED;
    const std::string path = ToUtf8(name);
    const int sig = HasSignature(path);
    if (sig < 0) return STG_E_FILENOTFOUND;
    GsfInput* file = gsf_input_stdio_new(path.c_str(), nullptr);
    if (file == nullptr) return STG_E_FILENOTFOUND;
    if (!sig) {
        if (!(mode & STGM_CONVERT)) {
            g_object_unref(file);
            return STG_E_FILEALREADYEXISTS;
        }
        *storage = new Storage(file, nullptr);
        return S_OK;
    }
    DamageWatch watch;
    GsfInfile* infile = gsf_infile_msole_new(file, nullptr);
    if (infile == nullptr || watch.Damaged()) {
        if (infile) g_object_unref(infile);
        g_object_unref(file);
        return STG_E_DOCFILECORRUPT;
    }
    *storage = new Storage(file, infile);
    return S_OK;
}
