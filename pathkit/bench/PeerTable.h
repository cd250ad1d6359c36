#pragma once
// Rows of a benchmark beside the outside library a user would otherwise reach for: the least
// of five timed runs of each side and their ratio. Shared by the benchmarks of several folders.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace peertable {

// Seconds of the fastest of `runs` calls.
inline double LeastOf(const std::function<void()>& run, int runs = 5) {
    double best = 0;
    for (int i = 0; i < runs; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        run();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        best = i == 0 ? s : std::min(best, s);
    }
    return best;
}

struct Row {
    std::string work;
    double ours = 0, peer = 0; // seconds
    std::string peerName;
    std::string note;
};

class Table {
public:
    explicit Table(std::string title) : title_(std::move(title)) {}
    void Add(Row row) { rows_.push_back(std::move(row)); }
    void Print() const {
        std::printf("\n%s (least of five)\n| work | signdesk | peer | ratio | |\n|---|---|---|---|---|\n",
                    title_.c_str());
        for (const Row& r : rows_)
            std::printf("| %s | %s | %s %s | %.2fx | %s |\n", r.work.c_str(), Time(r.ours).c_str(),
                        r.peerName.c_str(), Time(r.peer).c_str(), r.peer > 0 ? r.ours / r.peer : 0.0,
                        r.note.c_str());
        std::fflush(stdout);
    }

private:
    static std::string Time(double s) {
        char b[32];
        if (s < 1e-3)
            std::snprintf(b, sizeof b, "%.1f us", s * 1e6);
        else if (s < 1)
            std::snprintf(b, sizeof b, "%.2f ms", s * 1e3);
        else
            std::snprintf(b, sizeof b, "%.3f s", s);
        return b;
    }
    std::string title_;
    std::vector<Row> rows_;
};

} // namespace peertable
