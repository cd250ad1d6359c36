// Every stream of generated compound files read through the storage layer and through libgsf
// alone: 1,000 small files of three streams each, and one file with a 50 MB stream. After
// the benchmarks the overhead ratio of the layer (layer time / libgsf time) is printed.

#include <benchmark/benchmark.h>
#include <gsf/gsf.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "win32/storage.h"

namespace {

namespace fs = std::filesystem;

const char* const kStreams[] = {"Contents", "Preview", "Extra"};

struct Corpus {
    std::vector<std::string> small;
    std::string large;
    fs::path dir;
};

void WriteCompound(const std::string& path,
                   const std::vector<std::pair<const char*, std::size_t>>& streams) {
    GError* error = nullptr;
    GsfOutput* out = gsf_output_stdio_new(path.c_str(), &error);
    if (out == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    GsfOutfile* ole = gsf_outfile_msole_new(out);
    std::vector<guint8> bytes;
    for (const auto& [name, size] : streams) {
        bytes.resize(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = guint8(i * 7 + i / 251);
        GsfOutput* child = gsf_outfile_new_child(ole, name, FALSE);
        gsf_output_write(child, bytes.size(), bytes.data());
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    g_object_unref(out);
}

const Corpus& TheCorpus() {
    static const Corpus corpus = [] {
        gsf_init();
        Corpus c;
        c.dir = fs::temp_directory_path() / "sdole-bench";
        fs::create_directories(c.dir);
        for (int i = 0; i < 1000; ++i) {
            const std::string path = (c.dir / ("small" + std::to_string(i) + ".wmp")).string();
            WriteCompound(path,
                          {{"Contents", 2000 + std::size_t(i)}, {"Preview", 6000}, {"Extra", 300}});
            c.small.push_back(path);
        }
        c.large = (c.dir / "large.wmp").string();
        WriteCompound(c.large, {{"Contents", 50u << 20}});
        return c;
    }();
    return corpus;
}

std::u16string Wide(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

std::size_t ReadLayer(const std::string& path, int streams) {
    std::size_t total = 0;
    IStorage* storage = nullptr;
    if (StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READ, nullptr, 0, &storage) != S_OK)
        return 0;
    static std::vector<std::uint8_t> buffer(1 << 16);
    for (int i = 0; i < streams; ++i) {
        IStream* stream = nullptr;
        if (storage->OpenStream(Wide(kStreams[i]).c_str(), nullptr, STGM_READ, 0, &stream) != S_OK)
            continue;
        ULONG got = 0;
        while (stream->Read(buffer.data(), ULONG(buffer.size()), &got) == S_OK && got)
            total += got;
        stream->Release();
    }
    storage->Release();
    return total;
}

std::size_t ReadGsf(const std::string& path, int streams) {
    std::size_t total = 0;
    GError* error = nullptr;
    GsfInput* in = gsf_input_stdio_new(path.c_str(), &error);
    if (in == nullptr) return 0;
    GsfInfile* ole = gsf_infile_msole_new(in, &error);
    if (ole == nullptr) {
        g_object_unref(in);
        return 0;
    }
    static std::vector<guint8> buffer(1 << 16);
    for (int i = 0; i < streams; ++i) {
        GsfInput* child = gsf_infile_child_by_name(ole, kStreams[i]);
        if (child == nullptr) continue;
        for (gsf_off_t left; (left = gsf_input_remaining(child)) > 0;) {
            const std::size_t n = std::size_t(std::min<gsf_off_t>(left, gsf_off_t(buffer.size())));
            if (gsf_input_read(child, n, buffer.data()) == nullptr) break;
            total += n;
        }
        g_object_unref(child);
    }
    g_object_unref(ole);
    g_object_unref(in);
    return total;
}

template <std::size_t (*Read)(const std::string&, int)> void Small(benchmark::State& state) {
    const Corpus& c = TheCorpus();
    std::size_t bytes = 0;
    for (auto _ : state)
        for (const std::string& path : c.small)
            bytes += Read(path, 3);
    state.SetBytesProcessed(std::int64_t(bytes));
}

template <std::size_t (*Read)(const std::string&, int)> void Large(benchmark::State& state) {
    const Corpus& c = TheCorpus();
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes += Read(c.large, 1);
    state.SetBytesProcessed(std::int64_t(bytes));
}

BENCHMARK(Small<ReadLayer>)->Name("SmallFiles/layer")->Unit(benchmark::kMillisecond);
BENCHMARK(Small<ReadGsf>)->Name("SmallFiles/libgsf")->Unit(benchmark::kMillisecond);
BENCHMARK(Large<ReadLayer>)->Name("LargeFile/layer")->Unit(benchmark::kMillisecond);
BENCHMARK(Large<ReadGsf>)->Name("LargeFile/libgsf")->Unit(benchmark::kMillisecond);

template <class F> double Seconds(F&& f, int rounds) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const Corpus& c = TheCorpus();
    auto smallWith = [&](auto read) {
        return [&c, read] {
            for (const std::string& path : c.small)
                benchmark::DoNotOptimize(read(path, 3));
        };
    };
    const double smallLayer = Seconds(smallWith(ReadLayer), 3);
    const double smallGsf = Seconds(smallWith(ReadGsf), 3);
    const double largeLayer = Seconds([&] { benchmark::DoNotOptimize(ReadLayer(c.large, 1)); }, 3);
    const double largeGsf = Seconds([&] { benchmark::DoNotOptimize(ReadGsf(c.large, 1)); }, 3);
    std::printf("overhead ratio (layer / libgsf): 1,000 small files %.2f, 50 MB stream %.2f\n",
                smallLayer / smallGsf, largeLayer / largeGsf);
    fs::remove_all(c.dir);
    benchmark::Shutdown();
    return 0;
}
