#pragma once
// A drawing device for tests that records every call.

#include <string>
#include <vector>

#include "geomkit/WAbsPrimDrawingDevice.h"

class RecordingDevice : public WAbsPrimDrawingDevice {
public:
    struct Call {
        std::string name;
        double x = 0, y = 0;
    };

    explicit RecordingDevice(double tolerance = 0.01) : m_tolerance(tolerance) {}

    double ConvertLength(double length) override {
        m_calls.push_back({"ConvertLength", length, 0});
        return m_tolerance;
    }
    void MoveTo(double x, double y) override { m_calls.push_back({"MoveTo", x, y}); }
    void LineTo(double x, double y) override { m_calls.push_back({"LineTo", x, y}); }
    void DrawBox(double x, double y, COLORREF, int) override {
        m_calls.push_back({"DrawBox", x, y});
    }
    void EndOutline() override { m_calls.push_back({"EndOutline"}); }
    void EndCurve() override { m_calls.push_back({"EndCurve"}); }
    void CurveDone(int state) override { m_calls.push_back({"CurveDone", double(state), 0}); }

    using WAbsPrimDrawingDevice::LineTo;
    using WAbsPrimDrawingDevice::MoveTo;

    const std::vector<Call>& Calls() const { return m_calls; }
    int Count(const std::string& name) const {
        int n = 0;
        for (const Call& c : m_calls)
            n += c.name == name;
        return n;
    }
    // The call names in order, joined with spaces, runs of LineTo folded to "LineTo*".
    std::string Shape() const {
        std::string s;
        for (std::size_t i = 0; i < m_calls.size(); ++i) {
            if (m_calls[i].name == "LineTo" && i > 0 && m_calls[i - 1].name == "LineTo") continue;
            bool run = m_calls[i].name == "LineTo" && i + 1 < m_calls.size() &&
                       m_calls[i + 1].name == "LineTo";
            s += (s.empty() ? "" : " ") + m_calls[i].name + (run ? "*" : "");
        }
        return s;
    }
    void Clear() { m_calls.clear(); }

private:
    double m_tolerance;
    std::vector<Call> m_calls;
};
