#pragma once
// Results recorded as compact fixtures: one line per case with the sub-path and member counts,
// the operation's return code and a digest of every member's flags and points (bitwise), as
// "subPaths/members/code/digest". With SIGNDESK_RECORD_IDENTITY set in the environment the
// results are recorded instead of checked.
//
// Where the optimised and the unoptimised build round some intermediate differently (the
// Bezier halving of the outline engine does), a case holds one result per build: record once
// in each build, and a result must equal one of them exactly.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pathkit/Path.h"

namespace pathtest {

struct Identity {
    std::uint64_t digest = 1469598103934665603ull;
    unsigned subPaths = 0, members = 0;
    int code = 0;

    void Mix(const void* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            digest ^= static_cast<const unsigned char*>(p)[i];
            digest *= 1099511628211ull;
        }
    }
    void Add(const Path& path) {
        for (const SubPath& sp : path.subPaths) {
            ++subPaths;
            std::uint16_t n = sp.members.Filled();
            Mix(&n, sizeof n);
            for (const PathMember& m : sp.members) {
                ++members;
                std::uint32_t flags = m.flags;
                Mix(&flags, sizeof flags);
                float v[8] = {m.start.x, m.start.y, m.ctrl1.x, m.ctrl1.y,
                              m.ctrl2.x, m.ctrl2.y, m.end.x,   m.end.y};
                Mix(v, sizeof v);
            }
        }
    }
    std::string Line() const {
        std::ostringstream s;
        s << subPaths << '/' << members << '/' << code << '/' << std::hex << digest;
        return s.str();
    }
};

class IdentityTable {
public:
    explicit IdentityTable(std::string file) : file_(std::move(file)) {
        record_ = std::getenv("SIGNDESK_RECORD_IDENTITY") != nullptr;
        std::ifstream in(file_);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream s(line);
            std::string name, result;
            if (!(s >> name)) continue;
            while (s >> result)
                table_[name].push_back(result);
        }
    }
    ~IdentityTable() {
        if (!record_) return;
        std::ofstream out(file_);
        for (const auto& [name, results] : table_) {
            out << name;
            for (const std::string& r : results)
                out << ' ' << r;
            out << '\n';
        }
    }
    void Check(const std::string& name, const Identity& id) {
        std::vector<std::string>& results = table_[name];
        bool known = std::find(results.begin(), results.end(), id.Line()) != results.end();
        if (record_) {
            if (!known) results.push_back(id.Line());
            return;
        }
        EXPECT_TRUE(known) << name << ": " << id.Line() << " was not recorded";
    }

private:
    std::string file_;
    bool record_ = false;
    std::map<std::string, std::vector<std::string>> table_;
};

} // namespace pathtest
