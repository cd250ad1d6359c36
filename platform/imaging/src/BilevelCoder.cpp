#include "BilevelCoder.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace bilevel {

namespace {

constexpr int kRunSymbols = 188;
constexpr int kShortSymbols = 64;
constexpr int kMaxNodes = 2 * (kRunSymbols + 1);
constexpr int kEscape = -2;
constexpr int kInternal = -1;
constexpr std::int32_t kRescaleAt = 0x9000;
constexpr int kLongRun = 180;
constexpr int kModeModels = 9;
constexpr int kRepeatModel = kModeModels;
constexpr int kRunModel = kModeModels + 1;
constexpr int kModels = kRunModel + 12;
constexpr int kModeMax = 10;

// One adaptive Huffman tree. Nodes sit at positions ordered by weight; the root is the last
// position, new nodes take the free positions below.
struct Model {
    int symbols = 0;
    int literalBits = 0;
    int root = kMaxNodes - 1;
    int free = kMaxNodes - 2;
    int nyt = kMaxNodes - 1;
    std::int32_t weight[kMaxNodes];
    std::int16_t parent[kMaxNodes];
    std::int16_t left[kMaxNodes];
    std::int16_t right[kMaxNodes];
    std::int16_t symbol[kMaxNodes];
    std::int16_t leafOf[256];

    void Init(int count, int bits) {
        symbols = count;
        literalBits = bits;
        root = nyt = kMaxNodes - 1;
        free = root - 1;
        std::memset(leafOf, 0xFF, sizeof leafOf);
        weight[root] = 0;
        parent[root] = -1;
        left[root] = right[root] = -1;
        symbol[root] = kEscape;
    }

    void Swap(int a, int b) {
        std::swap(left[a], left[b]);
        std::swap(right[a], right[b]);
        std::swap(symbol[a], symbol[b]);
        std::swap(weight[a], weight[b]);
        for (int p : {a, b}) {
            if (left[p] >= 0) {
                parent[left[p]] = std::int16_t(p);
                parent[right[p]] = std::int16_t(p);
            } else if (symbol[p] == kEscape) {
                nyt = p;
            } else {
                leafOf[symbol[p]] = std::int16_t(p);
            }
        }
    }

    void Update(int q) {
        for (;;) {
            int leader = q;
            while (leader < root && weight[leader + 1] == weight[q])
                ++leader;
            if (leader != q && leader != parent[q]) {
                Swap(q, leader);
                q = leader;
            }
            ++weight[q];
            if (q == root) break;
            q = parent[q];
        }
        if (weight[root] >= kRescaleAt) Rescale();
    }

    // The escape leaf splits into a new escape and the symbol's leaf.
    void Add(int s) {
        const int old = nyt, leaf = free, escape = free - 1;
        free -= 2;
        for (int p : {leaf, escape}) {
            weight[p] = 0;
            parent[p] = std::int16_t(old);
            left[p] = right[p] = -1;
        }
        symbol[leaf] = std::int16_t(s);
        symbol[escape] = kEscape;
        left[old] = std::int16_t(escape);
        right[old] = std::int16_t(leaf);
        symbol[old] = kInternal;
        leafOf[s] = std::int16_t(leaf);
        nyt = escape;
        Update(leaf);
    }

    // Leaves halved (at least 1, the escape 0) and the tree rebuilt by merging the two lightest
    // nodes; the order they are taken in is the new order of positions.
    void Rescale() {
        struct Node {
            std::int32_t weight;
            std::int16_t symbol, left, right;
        };
        Node nodes[kMaxNodes];
        int leaves = 0;
        for (int p = free + 1; p <= root; ++p)
            if (left[p] < 0)
                nodes[leaves++] = {symbol[p] == kEscape ? 0 : (weight[p] + 1) / 2, symbol[p], -1,
                                   -1};
        // Stable insertion sort by weight (small arrays).
        for (int i = 1; i < leaves; ++i)
            for (int j = i; j > 0 && nodes[j - 1].weight > nodes[j].weight; --j)
                std::swap(nodes[j - 1], nodes[j]);
        int order[kMaxNodes];
        int taken = 0, q1 = 0, q2 = leaves, made = leaves;
        auto next = [&]() {
            const bool first = q1 < leaves && (q2 >= made || nodes[q1].weight <= nodes[q2].weight);
            return first ? q1++ : q2++;
        };
        while ((leaves - q1) + (made - q2) > 1) {
            const int x = next(), y = next();
            order[taken++] = x;
            order[taken++] = y;
            nodes[made++] = {nodes[x].weight + nodes[y].weight, kInternal, std::int16_t(x),
                             std::int16_t(y)};
        }
        order[taken++] = made - 1;
        int positionOf[kMaxNodes];
        const int base = root - (taken - 1);
        for (int i = 0; i < taken; ++i)
            positionOf[order[i]] = base + i;
        for (int i = 0; i < taken; ++i) {
            const Node& n = nodes[order[i]];
            const int p = base + i;
            weight[p] = n.weight;
            symbol[p] = n.symbol;
            left[p] = std::int16_t(n.left < 0 ? -1 : positionOf[n.left]);
            right[p] = std::int16_t(n.right < 0 ? -1 : positionOf[n.right]);
            if (n.left >= 0) {
                parent[left[p]] = std::int16_t(p);
                parent[right[p]] = std::int16_t(p);
            } else if (n.symbol == kEscape) {
                nyt = p;
            } else {
                leafOf[n.symbol] = std::int16_t(p);
            }
        }
        parent[root] = -1;
        free = base - 1;
    }
};

} // namespace

struct Models {
    Model model[kModels];
    void Init() {
        for (int i = 0; i < kModeModels; ++i)
            model[i].Init(kShortSymbols, 4);
        model[kRepeatModel].Init(kShortSymbols, 6);
        for (int i = kRunModel; i < kModels; ++i)
            model[i].Init(kRunSymbols, 8);
    }
};

namespace {

int ModeContext(int last) {
    static constexpr int kContext[] = {1, 2, 2, 3, 3, 4, 4, 5, 6, 7, 8};
    return last < 0 ? 0 : kContext[last];
}

int RunBucket(int run) {
    return run == 0 ? 0 : run <= 2 ? 1 : run <= 8 ? 2 : run <= 32 ? 3 : run <= 128 ? 4 : 5;
}

int RunModelOf(int colour, int lastRun) {
    return kRunModel + colour * 6 + RunBucket(lastRun);
}

// The changes of a row (positions where the colour differs from the pixel before, the first
// against colour 0), then four sentinels at width. Returns the count.
int Changes(const std::uint8_t* pixels, int width, int* out) {
    int n = 0;
    std::uint8_t colour = 0;
    for (int x = 0; x < width; ++x)
        if (pixels[x] != colour) {
            colour = pixels[x];
            out[n++] = x;
        }
    for (int i = 0; i < 4; ++i)
        out[n + i] = width;
    return n;
}

// b1 and b2 for a0 and its colour; `j` is the first change after a0 and only moves on.
void FindB(const int* ref, int& j, int a0, int colour, int& b1, int& b2) {
    while (ref[j] <= a0) // the sentinels stop it: a0 < width
        ++j;
    // Change i turns the colour into 1 when i is even: b1 has index parity `colour`.
    const int k = (j & 1) != colour ? j + 1 : j;
    b1 = ref[k];
    b2 = ref[k + 1];
}

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(std::uint32_t value, int count) {
        while (count-- > 0) {
            acc_ = acc_ << 1 | ((value >> count) & 1);
            if (++n_ == 8) {
                out_.push_back(std::uint8_t(acc_));
                acc_ = n_ = 0;
            }
        }
    }
    void Flush() {
        if (n_ > 0) out_.push_back(std::uint8_t(acc_ << (8 - n_)));
        acc_ = n_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    unsigned acc_ = 0;
    int n_ = 0;
};

void PutSymbol(Model& m, BitWriter& w, int s) {
    const int leaf = m.leafOf[s];
    const int from = leaf >= 0 ? leaf : m.nyt;
    std::uint32_t path[kMaxNodes];
    int depth = 0;
    for (int p = from; p != m.root; p = m.parent[p])
        path[depth++] = m.right[m.parent[p]] == p ? 1 : 0;
    while (depth > 0)
        w.Put(path[--depth], 1);
    if (leaf >= 0) {
        m.Update(leaf);
    } else {
        w.Put(std::uint32_t(s), m.literalBits);
        m.Add(s);
    }
}

void PutRun(Models& ms, BitWriter& w, int colour, int run, int (&lastRun)[2]) {
    Model& m = ms.model[RunModelOf(colour, lastRun[colour])];
    lastRun[colour] = run;
    if (run < kLongRun) {
        PutSymbol(m, w, run);
        return;
    }
    int k = 0;
    while (run - kLongRun >= 1 << (9 + k))
        ++k;
    PutSymbol(m, w, kLongRun + k);
    w.Put(std::uint32_t(run - kLongRun), 9 + k);
}

struct Op {
    int mode, run1, run2;
};

} // namespace

bool ParseHeader(const std::uint8_t* d, std::size_t size, Header& h) {
    if (size < kHeaderBytes || std::memcmp(d, "KOVA", 4) != 0 || d[20] != 1) return false;
    h.width = d[16] | d[17] << 8;
    h.height = d[18] | d[19] << 8;
    h.bottomUp = (d[21] & 0x30) >= 0x20;
    h.indexZeroWhite = (d[21] & 0x0F) != 0;
    h.clean = (d[22] | d[23] << 8) == 1;
    return true;
}

void CleanRow(const std::uint8_t* above, const std::uint8_t* row, const std::uint8_t* below,
              int width, std::uint8_t* out) {
    std::memcpy(out, row, std::size_t(width));
    if (above == nullptr || below == nullptr) return;
    for (int x = 1; x + 1 < width; ++x) {
        const std::uint8_t v = row[x];
        if (above[x - 1] != v && above[x] != v && above[x + 1] != v && row[x - 1] != v &&
            row[x + 1] != v && below[x - 1] != v && below[x] != v && below[x + 1] != v)
            out[x] = std::uint8_t(v ^ 1);
    }
}

bool Encode(int width, int height, RowSource source, void* user, const EncodeOptions& options,
            std::vector<std::uint8_t>& out) {
    if (width < 1 || height < 1 || width > 65535 || height > 65535) return false;
    out.assign(kHeaderBytes, 0);
    std::memcpy(out.data(), "KOVA", 4);
    out[16] = std::uint8_t(width);
    out[17] = std::uint8_t(width >> 8);
    out[18] = std::uint8_t(height);
    out[19] = std::uint8_t(height >> 8);
    out[20] = 1;
    out[21] = std::uint8_t((options.bottomUp ? 0x20 : 0) |
                           (options.indexZeroWhite != options.invert ? 1 : 0));
    out[22] = options.clean ? 1 : 0;

    const std::size_t w = std::size_t(width);
    std::vector<std::uint8_t> raw[3];
    for (auto& r : raw)
        r.assign(w, 0);
    std::vector<std::uint8_t> row(w);
    std::vector<int> ref(w + 4, width), cur(w + 4, width);
    auto models = std::make_unique<Models>();
    models->Init();
    BitWriter bits(out);
    int lastRun[2] = {0, 0};
    // Raw rows in file order, kept three at a time for the cleaning.
    auto fetch = [&](int i, std::uint8_t* pixels) {
        source(user, options.bottomUp ? height - 1 - i : i, pixels);
        if (options.invert)
            for (std::size_t x = 0; x < w; ++x)
                pixels[x] ^= 1;
    };
    fetch(0, raw[0].data());
    std::vector<Op> ops;
    for (int y = 0; y < height; ++y) {
        if (y + 1 < height) fetch(y + 1, raw[(y + 1) % 3].data());
        if (options.clean)
            CleanRow(y > 0 ? raw[(y + 2) % 3].data() : nullptr, raw[y % 3].data(),
                     y + 1 < height ? raw[(y + 1) % 3].data() : nullptr, width, row.data());
        else
            std::memcpy(row.data(), raw[y % 3].data(), w);
        Changes(row.data(), width, cur.data());
        ops.clear();
        int a0 = -1, colour = 0, j = 0, c = 0;
        while (a0 < width) {
            while (cur[c] <= a0)
                ++c;
            const int a1 = cur[c];
            if (a1 >= width) {
                ops.push_back({8, 0, 0});
                break;
            }
            int b1, b2;
            FindB(ref.data(), j, a0, colour, b1, b2);
            if (b2 < a1) {
                ops.push_back({7, 0, 0});
                a0 = b2;
                continue;
            }
            const int d = a1 - b1;
            if (d >= -3 && d <= 3) {
                ops.push_back({d == 0 ? 0 : d > 0 ? 2 * d - 1 : -2 * d, 0, 0});
                a0 = a1;
                colour ^= 1;
                continue;
            }
            const int a2 = cur[c + 1];
            ops.push_back({9, a1 - (a0 < 0 ? 0 : a0), a2 - a1});
            a0 = a2;
        }
        // Runs of mode 0 become mode 10.
        int last = -1;
        auto putMode = [&](int mode) {
            PutSymbol(models->model[ModeContext(last)], bits, mode);
            last = mode;
        };
        colour = 0;
        for (std::size_t i = 0; i < ops.size();) {
            const Op& op = ops[i];
            if (op.mode == 0) {
                std::size_t n = 0;
                while (i + n < ops.size() && ops[i + n].mode == 0 && n < 65)
                    ++n;
                if (n >= 2) {
                    putMode(10);
                    PutSymbol(models->model[kRepeatModel], bits, int(n) - 2);
                } else {
                    putMode(0);
                }
                if (n % 2 == 1) colour ^= 1;
                i += n;
                continue;
            }
            putMode(op.mode);
            if (op.mode <= 6) colour ^= 1;
            if (op.mode == 9) {
                PutRun(*models, bits, colour, op.run1, lastRun);
                PutRun(*models, bits, colour ^ 1, op.run2, lastRun);
            }
            ++i;
        }
        std::swap(ref, cur);
    }
    bits.Flush();
    return true;
}

Decoder::~Decoder() {
    if (models_ != nullptr) free_(models_);
    if (buffer_ != nullptr) free_(buffer_);
    if (ref_ != nullptr) free_(ref_);
    if (cur_ != nullptr) free_(cur_);
}

int Decoder::Start(int width, int buffer, Fill fill, void* user) {
    if (width < 1 || width > 65535 || fill == nullptr) return kDamaged;
    width_ = width;
    fill_ = fill;
    user_ = user;
    capacity_ = buffer < 64 ? 64 : buffer > (1 << 20) ? (1 << 20) : buffer;
    models_ = static_cast<Models*>(alloc_(sizeof(Models)));
    buffer_ = static_cast<std::uint8_t*>(alloc_(std::size_t(capacity_)));
    ref_ = static_cast<int*>(alloc_((std::size_t(width) + 4) * sizeof(int)));
    cur_ = static_cast<int*>(alloc_((std::size_t(width) + 4) * sizeof(int)));
    if (models_ == nullptr || buffer_ == nullptr || ref_ == nullptr || cur_ == nullptr)
        return kNoMemory;
    new (models_) Models;
    models_->Init();
    for (int i = 0; i < 4; ++i)
        ref_[i] = width;
    return kOk;
}

// The next bit, -1 past the end (readError_ tells a failed read).
int Decoder::Bit() {
    if (bit_ == 0) {
        if (at_ >= size_) {
            const int n = fill_(user_, buffer_, capacity_);
            if (n <= 0) {
                if (n < 0) readError_ = 1;
                return -1;
            }
            size_ = n > capacity_ ? capacity_ : n;
            at_ = 0;
        }
        bit_ = 8;
    }
    --bit_;
    const int b = (buffer_[at_] >> bit_) & 1;
    if (bit_ == 0) ++at_;
    return b;
}

int Decoder::Bits(int count, std::uint32_t& value) {
    value = 0;
    while (count-- > 0) {
        const int b = Bit();
        if (b < 0) return readError_ ? kReadError : kDamaged;
        value = value << 1 | std::uint32_t(b);
    }
    return kOk;
}

int Decoder::Symbol(int index, int& s) {
    Model& m = models_->model[index];
    int p = m.root;
    while (m.left[p] >= 0) {
        const int b = Bit();
        if (b < 0) return readError_ ? kReadError : kDamaged;
        p = b ? m.right[p] : m.left[p];
    }
    if (p != m.nyt) {
        s = m.symbol[p];
        m.Update(p);
        return kOk;
    }
    std::uint32_t literal;
    if (const int r = Bits(m.literalBits, literal); r != kOk) return r;
    if (int(literal) >= m.symbols || m.leafOf[literal] >= 0) return kDamaged;
    s = int(literal);
    m.Add(s);
    return kOk;
}

int Decoder::Run(int colour, int& run) {
    int s;
    if (const int r = Symbol(RunModelOf(colour, lastRun_[colour]), s); r != kOk) return r;
    if (s >= kRunSymbols) return kDamaged;
    run = s;
    if (s >= kLongRun) {
        std::uint32_t extra;
        if (const int r = Bits(9 + (s - kLongRun), extra); r != kOk) return r;
        run = kLongRun + int(extra);
    }
    lastRun_[colour] = run;
    return kOk;
}

int Decoder::Row(std::uint8_t* pixels) {
    const int width = width_;
    int a0 = -1, colour = 0, j = 0, last = -1, repeat = 0;
    auto fill = [&](int to) {
        const int from = a0 < 0 ? 0 : a0;
        std::memset(pixels + from, colour, std::size_t(to - from));
    };
    while (a0 < width) {
        int mode = 0;
        if (repeat > 0) {
            --repeat;
        } else {
            if (const int r = Symbol(ModeContext(last), mode); r != kOk) return r;
            if (mode > kModeMax) return kBadSymbol;
            last = mode;
            if (mode == 10) {
                int n;
                if (const int r = Symbol(kRepeatModel, n); r != kOk) return r;
                repeat = n + 1;
                mode = 0;
            }
        }
        int b1, b2;
        FindB(ref_, j, a0, colour, b1, b2);
        if (mode <= 6) {
            static constexpr int kOffset[] = {0, 1, -1, 2, -2, 3, -3};
            const int a1 = b1 + kOffset[mode];
            if (a1 <= a0 || a1 >= width) return kDamaged;
            fill(a1);
            a0 = a1;
            colour ^= 1;
        } else if (mode == 7) {
            if (b2 >= width) return kDamaged;
            fill(b2);
            a0 = b2;
        } else if (mode == 8) {
            fill(width);
            a0 = width;
        } else if (mode == 9) {
            int r1, r2;
            if (const int r = Run(colour, r1); r != kOk) return r;
            if (const int r = Run(colour ^ 1, r2); r != kOk) return r;
            const int start = a0 < 0 ? 0 : a0;
            const long a1 = long(start) + r1, a2 = a1 + r2;
            if (a1 <= a0 || a1 >= width || a2 <= a1 || a2 > width) return kDamaged;
            fill(int(a1));
            a0 = int(a1);
            colour ^= 1;
            fill(int(a2));
            a0 = int(a2);
            colour ^= 1;
        }
    }
    if (repeat > 0) return kDamaged;
    Changes(pixels, width, cur_);
    std::swap(ref_, cur_);
    return kOk;
}

} // namespace bilevel
