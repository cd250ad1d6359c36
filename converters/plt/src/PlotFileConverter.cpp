#include "PlotFileConverter.h"

#include <cmath>
#include <string>
#include <vector>

#include "converters/ConverterProgress.h"
#include "pathkit/InStream.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/OutStream.h"

#include "PenTable.h"

namespace plt {
namespace {

constexpr double Unit = 0.025; // mm per plotter unit
constexpr double Tolerance = 0.01;
constexpr double SmallestStep = 1.1920928955078125e-07;
constexpr std::size_t LongestNumber = 30; // a number this long or longer is skipped
constexpr int Etx = 0x03;
constexpr int Esc = 0x1B;

struct Pt {
    double x, y;
};
Pt operator+(Pt a, Pt b) {
    return {a.x + b.x, a.y + b.y};
}
Pt operator-(Pt a, Pt b) {
    return {a.x - b.x, a.y - b.y};
}
Pt operator*(double f, Pt a) {
    return {f * a.x, f * a.y};
}
double Length(Pt a) {
    return std::hypot(a.x, a.y);
}

bool IsLetter(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsUpper(int c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// The records in text path form, one pending at a time so that consecutive moves collapse.
class OutputQueue {
public:
    OutputQueue(OutStream& out, std::string colour) : out_(out), lastWritten_(colour) {}

    void SetColour(const std::string& colour) { colour_ = colour; }

    void Queue(int cmd, Pt p) {
        if (!pending_) {
            pending_ = true;
            record_ = {cmd, p};
            return;
        }
        if (cmd == 1 && moveFlag_) {
            record_ = {cmd, p};
            return;
        }
        Write(record_);
        record_ = {cmd, p};
        moveFlag_ = cmd == 1;
    }

    void Finish() {
        if (pending_ && record_.cmd != 1) Write(record_);
        pending_ = false;
        out_ << "EndSubPath" << EndLine() << "EndPath" << EndLine();
    }

private:
    struct Record {
        int cmd;
        Pt p;
    };

    void Write(const Record& r) {
        switch (r.cmd) {
        case 1:
            if (subPathWritten_) out_ << "EndSubPath" << EndLine();
            if (colour_ != lastWritten_) {
                out_ << "EndPath" << EndLine() << "Path Color=" << colour_.c_str() << EndLine();
                lastWritten_ = colour_;
            }
            out_ << "SubPath " << r.p.x << " " << r.p.y << EndLine();
            subPathWritten_ = true;
            break;
        case 2:
            out_ << " L " << r.p.x << " " << r.p.y << EndLine();
            break;
        case 3:
            out_ << " C " << r.p.x << " " << r.p.y << " ";
            secondPoint_ = false;
            break;
        default:
            out_ << r.p.x << " " << r.p.y;
            if (secondPoint_)
                out_ << EndLine();
            else
                out_ << " ";
            secondPoint_ = !secondPoint_;
            break;
        }
    }

    OutStream& out_;
    std::string colour_ = "R0G0B0";
    std::string lastWritten_;
    bool pending_ = false;
    bool moveFlag_ = false;
    bool subPathWritten_ = false;
    bool secondPoint_ = false;
    Record record_{};
};

// Fits cubic curves through the points of a run (step 9 of the plot-file rules).
class RunFitter {
public:
    explicit RunFitter(OutputQueue& queue) : queue_(queue) {}

    void Fit(const std::vector<Pt>& r) {
        std::size_t m = r.size() - 1;
        std::size_t s = 0;
        while (s < m) {
            std::size_t k = m - s;
            for (;;) {
                if (k == 1) {
                    Emit(r[s] + (1.0 / 3) * (r[s + 1] - r[s]), r[s] + (2.0 / 3) * (r[s + 1] - r[s]),
                         r[s + 1]);
                    break;
                }
                if (k == 2) {
                    Quadratic(r[s], r[s + 1], r[s + 2]);
                    break;
                }
                Pt c1, c2;
                if (Cubic(r, s, k, c1, c2)) {
                    Emit(c1, c2, r[s + k]);
                    break;
                }
                k /= 2;
            }
            s += k;
        }
    }

private:
    void Emit(Pt c1, Pt c2, Pt end) {
        queue_.Queue(3, c1);
        queue_.Queue(0, c2);
        queue_.Queue(0, end);
    }

    // The quadratic through b at its chord-length parameter, written as a cubic.
    void Quadratic(Pt a, Pt b, Pt c) {
        double l1 = Length(b - a), l2 = Length(c - b);
        double t = l1 + l2 > 0 ? l1 / (l1 + l2) : 0.5;
        Pt q;
        if (t > 0 && t < 1)
            q = (1 / (2 * t * (1 - t))) * (b - (1 - t) * (1 - t) * a - t * t * c);
        else
            q = 0.5 * (a + c);
        Emit((1.0 / 3) * a + (2.0 / 3) * q, (1.0 / 3) * c + (2.0 / 3) * q, c);
    }

    // The least-squares cubic with fixed ends over r[s..s+k]; false when it strays too far.
    bool Cubic(const std::vector<Pt>& r, std::size_t s, std::size_t k, Pt& c1, Pt& c2) {
        std::vector<double> u(k + 1, 0.0);
        for (std::size_t i = 1; i <= k; ++i)
            u[i] = u[i - 1] + Length(r[s + i] - r[s + i - 1]);
        double total = u[k];
        if (!(total > 0)) return false;
        for (double& v : u)
            v /= total;
        samples_.clear();
        for (std::size_t i = 1; i < k; ++i)
            samples_.push_back({u[i], r[s + i]});
        for (std::size_t i = 0; i + 1 < k; ++i)
            if (u[i + 1] - u[i] > 0.5)
                samples_.push_back({(u[i] + u[i + 1]) / 2, 0.5 * (r[s + i] + r[s + i + 1])});

        Pt p0 = r[s], p3 = r[s + k];
        double a11 = 0, a12 = 0, a22 = 0, rx1 = 0, rx2 = 0, ry1 = 0, ry2 = 0;
        for (const Sample& smp : samples_) {
            double t = smp.t, b0 = (1 - t) * (1 - t) * (1 - t), b1 = 3 * t * (1 - t) * (1 - t),
                   b2 = 3 * t * t * (1 - t), b3 = t * t * t;
            Pt rest = smp.p - b0 * p0 - b3 * p3;
            a11 += b1 * b1;
            a12 += b1 * b2;
            a22 += b2 * b2;
            rx1 += b1 * rest.x;
            rx2 += b2 * rest.x;
            ry1 += b1 * rest.y;
            ry2 += b2 * rest.y;
        }
        if (!SolveLin2(a11, a12, a12, a22, rx1, rx2, c1.x, c2.x) ||
            !SolveLin2(a11, a12, a12, a22, ry1, ry2, c1.y, c2.y)) {
            c1 = p0;
            c2 = p3;
        }
        double sum = 0;
        for (const Sample& smp : samples_) {
            double t = smp.t, b0 = (1 - t) * (1 - t) * (1 - t), b1 = 3 * t * (1 - t) * (1 - t),
                   b2 = 3 * t * t * (1 - t), b3 = t * t * t;
            Pt on = b0 * p0 + b1 * c1 + b2 * c2 + b3 * p3;
            Pt d = on - smp.p;
            sum += d.x * d.x + d.y * d.y;
        }
        return std::sqrt(sum) <= Tolerance * total;
    }

    struct Sample {
        double t;
        Pt p;
    };

    OutputQueue& queue_;
    std::vector<Sample> samples_;
};

class Parser {
public:
    Parser(InStream& in, long size, OutStream& out, AbortHandler* progress, const PenTable& pens,
           std::vector<std::string>* reports)
        : in_(in), progress_(progress, size), queue_(out, "R0G0B0"), fitter_(queue_),
          pens_(pens), reports_(reports), out_(out) {}

    void Run() {
        out_ << "Path Color=" << colour_.c_str() << EndLine();
        Move(0, 0);
        for (;;) {
            progress_.ReportChange(in_.TellG() - (ahead_ >= 0 ? 1 : 0), false);
            char a = 0, b = 0;
            if (!Command(a, b)) break;
            if (!Run(a, b)) break;
        }
        EndRun();
        queue_.Finish();
    }

private:
    enum class End { Separator, Semicolon, Letter, Eof };

    int Get() {
        if (ahead_ >= 0) {
            int c = ahead_;
            ahead_ = -1;
            return c;
        }
        return in_.Get();
    }
    void Push(int c) { ahead_ = c; }

    // Two letters, skipping everything else; false at the end of the input.
    bool Command(char& a, char& b) {
        int got = 0;
        for (;;) {
            int c = Get();
            if (c < 0) return false;
            if (c == Esc) {
                SkipEscape();
                continue;
            }
            if (!IsLetter(c)) continue;
            if (got == 0) {
                a = char(c);
                got = 1;
            } else {
                b = char(c);
                return true;
            }
        }
    }

    // Device-control sequences: ESC . x with parameters up to ':' for the letters that take
    // them; ESC % ... up to its letter; any other ESC with the character after it.
    void SkipEscape() {
        int c = Get();
        if (c == '.') {
            int x = Get();
            if (x >= 0 && std::string("@HIMNPQST").find(char(x)) != std::string::npos)
                for (int i = 0, d = Get(); d >= 0 && d != ':' && i < 256; ++i, d = Get()) {
                }
        } else if (c == '%') {
            for (int i = 0, d = Get(); d >= 0 && i < 32; ++i, d = Get())
                if (IsLetter(d)) break;
        }
    }

    // Returns false when the input ended.
    bool Run(char a, char b) {
        std::string cmd{a, b};
        if (cmd == "IN") {
            penDown_ = false;
            for (int c = Get(); c >= 0; c = Get()) {
                if (c == ';') return true;
                if (IsUpper(c)) {
                    Push(c);
                    return true;
                }
            }
            return false;
        }
        if (cmd == "PU" || cmd == "PD") {
            penDown_ = cmd == "PD";
            bool digits;
            return Pairs(relative_, digits) != End::Eof;
        }
        if (cmd == "PA" || cmd == "PR") {
            bool relative = cmd == "PR", digits;
            End e = Pairs(relative, digits);
            if (!digits && e == End::Semicolon) relative_ = relative;
            return e != End::Eof;
        }
        if (cmd == "RO") {
            double v;
            bool valid, digits;
            return Number(v, valid, digits) != End::Eof;
        }
        if (cmd == "PG") {
            double largest = haveLargest_ ? largestX_ : 0; // a page without coordinates adds 0
            Move(largest, 0);
            offset_ += largest;
            haveLargest_ = false;
            cur_ = {0, 0};
            return true;
        }
        if (cmd == "SP") {
            double v;
            bool valid, digits;
            End e = Number(v, valid, digits);
            if (digits && valid) SelectPen(v);
            return e != End::Eof;
        }
        if (cmd == "LB") {
            for (int c = Get(); c >= 0; c = Get())
                if (c == labelEnd_) return true;
            return false;
        }
        if (cmd == "DT") {
            int c = Get();
            if (c < 0) return false;
            labelEnd_ = c == ';' ? Etx : c;
            return true;
        }
        return true;
    }

    // A new colour starts a new sub-path. The move is queued before the colour changes, so
    // that what the old pen drew is written in its own colour.
    void SelectPen(double n) {
        lastColour_ = colour_;
        long pen = n > 1e9 ? 1000000000L : n < -1e9 ? -1000000000L : long(n);
        std::string colour = pens_.Colour(pen);
        if (colour != lastColour_) Move(cur_.x, cur_.y);
        colour_ = colour;
        queue_.SetColour(colour_);
    }

    // One number (step 3 of the rules): how it ended, whether a digit came, and whether it
    // could be used (fewer than 30 characters).
    End Number(double& value, bool& valid, bool& digits) {
        std::string text;
        digits = false;
        valid = false;
        End end = End::Eof;
        for (int c = Get();; c = Get()) {
            if (c < 0) break;
            if (c == Esc) {
                SkipEscape();
                continue;
            }
            if (!digits) {
                if (c == ';') return End::Semicolon;
                if (IsUpper(c)) {
                    Push(c);
                    return End::Letter;
                }
            } else {
                if (c == ',' || c == ' ') {
                    end = End::Separator;
                    break;
                }
                if (c == ';') {
                    end = End::Semicolon;
                    break;
                }
                if (IsUpper(c)) {
                    Push(c);
                    end = End::Letter;
                    break;
                }
            }
            if (!digits && !IsDigit(c)) {
                // Before the digits only a sign right in front of them is kept.
                text.assign(c == '-' || c == '+' ? 1 : 0, char(c));
                continue;
            }
            digits = true;
            if (text.size() <= LongestNumber) text.push_back(char(c));
        }
        if (!digits) return end;
        if (text.size() >= LongestNumber) return end;
        // A whole number with an optional sign; the rest of the characters do not count.
        std::size_t i = 0;
        bool negative = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
        double v = 0;
        bool any = false;
        for (; i < text.size() && IsDigit(text[i]); ++i, any = true)
            v = v * 10 + (text[i] - '0');
        if (!any) return end;
        value = negative ? -v : v;
        valid = true;
        return end;
    }

    // Coordinate pairs up to a ';' (or a letter, or the end of the input).
    End Pairs(bool relative, bool& digits) {
        digits = false;
        for (;;) {
            double x = 0, y = 0;
            bool validX, validY, d;
            End e = Number(x, validX, d);
            if (!d) return e;
            digits = true;
            if (e != End::Separator) return e;
            e = Number(y, validY, d);
            if (!d) return e;
            if (validX && validY) Point(relative, x, y);
            if (e != End::Separator) return e;
        }
    }

    void Point(bool relative, double x, double y) {
        Pt p = relative ? Pt{cur_.x + x, cur_.y + y} : Pt{x, y};
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
        if (penDown_)
            Draw(p);
        else
            Move(p.x, p.y);
        cur_ = p;
    }

    void RaiseLargest(double x) {
        if (!haveLargest_ || x > largestX_) largestX_ = x;
        haveLargest_ = true;
    }

    Pt Page(Pt p) const { return {(p.x + offset_) * Unit, p.y * Unit}; }

    void Move(double x, double y) {
        RaiseLargest(x);
        EndRun();
        queue_.Queue(1, Page({x, y}));
    }

    void Draw(Pt to) {
        if (to.x == cur_.x && to.y == cur_.y) return;
        RaiseLargest(to.x);
        Pt p = Page(to);
        if (run_.empty()) {
            run_ = {Page(cur_), p};
            return;
        }
        Pt last = run_.back(), d = last - run_[run_.size() - 2], v = p - last;
        double l1 = Length(d), l2 = Length(v);
        if (l2 < SmallestStep) return;
        bool smooth = l1 > 0 && std::fabs(d.x / l1 - v.x / l2) < 0.15 &&
                      std::fabs(d.y / l1 - v.y / l2) < 0.15 && 0.5 * l1 < l2 && l2 < 2 * l1;
        if (!smooth) {
            EndRun();
            run_ = {Page(cur_), p};
            return;
        }
        if (run_.size() >= std::size_t(MaxRunPoints)) {
            // A full run is fitted and the stroke goes on from its last point.
            if (!overflowReported_ && reports_) reports_->push_back("Too many points in a subpath !");
            overflowReported_ = true;
            EndRun();
            run_ = {last, p};
            return;
        }
        run_.push_back(p);
    }

    void EndRun() {
        if (run_.size() == 2)
            queue_.Queue(2, run_[1]);
        else if (run_.size() > 2)
            fitter_.Fit(run_);
        run_.clear();
    }

    InStream& in_;
    ConverterProgress progress_;
    OutputQueue queue_;
    RunFitter fitter_;
    const PenTable& pens_;
    std::vector<std::string>* reports_;
    OutStream& out_;

    int ahead_ = -1;
    bool penDown_ = false;
    bool relative_ = false;
    int labelEnd_ = Etx;
    Pt cur_{0, 0};
    double offset_ = 0;
    double largestX_ = 0;
    bool haveLargest_ = false;
    std::string colour_ = "R0G0B0";
    std::string lastColour_ = "R0G0B0";
    std::vector<Pt> run_;
    bool overflowReported_ = false;
};

} // namespace

void ConvertPlot(InStream& in, long size, OutStream& out, AbortHandler* progress,
                 const PenTable& pens, std::vector<std::string>* reports) {
    Parser(in, size, out, progress, pens, reports).Run();
}

} // namespace plt
