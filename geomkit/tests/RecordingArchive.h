#pragma once
// A KArchive for tests: storing appends typed values to a log, loading replays a log in order
// and fails the test on a kind mismatch.

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "geomkit/KArchive.h"

class RecordingArchive : public KArchive {
public:
    enum Kind { Count, Double, Float, Version, Byte };
    struct Value {
        Kind kind;
        double value;
        bool operator==(const Value& v) const { return kind == v.kind && value == v.value; }
    };

    RecordingArchive() : m_storing(true) {}
    // A loading archive that replays values.
    explicit RecordingArchive(std::vector<Value> values)
        : m_storing(false), m_values(std::move(values)) {}

    int IsStoring() const override { return m_storing; }
    KArchive& StoreCount(int c) override { return Put(Count, c); }
    KArchive& StoreDouble(double v) override { return Put(Double, v); }
    KArchive& StoreFloat(float v) override { return Put(Float, v); }
    void StoreVersion(int v) override { Put(Version, v); }
    void StoreByte(BYTE v) override { Put(Byte, v); }

    KArchive& LoadCount(int& c) override {
        c = int(Take(Count));
        return *this;
    }
    KArchive& LoadDouble(double& v) override {
        v = Take(Double);
        return *this;
    }
    KArchive& LoadFloat(float& v) override {
        v = float(Take(Float));
        return *this;
    }
    void LoadVersion(int& v) override { v = int(Take(Version)); }
    void LoadByte(BYTE& v) override { v = BYTE(Take(Byte)); }

    const std::vector<Value>& Values() const { return m_values; }
    bool AllRead() const { return m_next == m_values.size(); }

private:
    KArchive& Put(Kind k, double v) {
        m_values.push_back({k, v});
        return *this;
    }
    double Take(Kind k) {
        if (m_next >= m_values.size()) {
            ADD_FAILURE() << "read past the end of the archive";
            return 0;
        }
        const Value& v = m_values[m_next++];
        EXPECT_EQ(v.kind, k) << "value " << (m_next - 1) << " read as the wrong kind";
        return v.value;
    }

    bool m_storing;
    std::vector<Value> m_values;
    std::size_t m_next = 0;
};
