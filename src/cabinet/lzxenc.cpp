// The LZX encoder of the cabinet writer.
//
// An LZX folder is one bitstream of 16-bit little-endian words, bits taken from the top. It
// opens with one bit for x86 call translation (always 0 here). The uncompressed data is cut
// into frames of 32768 bytes; the bits of each frame are padded to a word boundary and make
// one data block. LZX blocks are independent of frames; we write
//  * verbatim blocks of up to eight frames: 3 bits type, 24 bits size, the main tree (256
//    literals + 8 per position slot) in two ranges and the length tree, each sent as changes
//    against the previous block's lengths through a 20-symbol pretree, then the tokens (the trees
//    travel in the first frame's data block);
//  * or, when those frames are smaller stored, one uncompressed block per frame: type, size,
//    padding to the word, R0 R1 R2 as 32-bit values, the raw bytes and a pad byte after an odd
//    count. It starts only at a frame start, where every reader agrees on the padding.
// A match token is 256 + 8 * position slot + min(length - 2, 7), with a length-tree symbol for
// length - 9 when the header is 7. Slots 0..2 repeat the last three offsets; a real distance d is
// sent as d + 2 split into a slot and footer bits. Matches never cross a frame, so every frame
// decodes on its own as readers require.
//
// Matches come from 3-byte hash chains over the window with a bounded chain length and one step
// of lazy evaluation, so the time per byte is bounded whatever the input. A match is taken when
// its estimated cost (from the code lengths of the previous block) beats the literals it replaces.
#include "cabinet/cabcodecs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <queue>
#include <stdexcept>

namespace zorvak::cab {
namespace {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 257;
constexpr int kNumLengths = 249;
constexpr int kPretreeSize = 20;
constexpr int kMaxSlots = 50;
constexpr int kHashBits = 17;
constexpr int kMaxChain = 256;
constexpr int kNiceLength = 96;
constexpr int kLazyLimit = 32;
constexpr int kFramesPerBlock = 8;

struct SlotTables {
    uint32_t base[kMaxSlots + 1];
    uint8_t footerBits[kMaxSlots];
    SlotTables()
    {
        base[0] = 0;
        for (int s = 0; s < kMaxSlots; ++s) {
            footerBits[s] = s < 4 ? 0 : s < 36 ? uint8_t(s / 2 - 1) : 17;
            base[s + 1] = base[s] + (1u << footerBits[s]);
        }
    }
    int SlotOf(uint32_t formatted) const
    {
        return int(std::upper_bound(base, base + kMaxSlots, formatted) - base) - 1;
    }
};
const SlotTables &Slots()
{
    static const SlotTables tables;
    return tables;
}

int SlotCount(int windowBits)
{
    static constexpr int counts[] = {30, 32, 34, 36, 38, 42, 50};
    return counts[windowBits - 15];
}

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t> &out) : m_out(out) {}
    void Put(uint32_t value, int bits)
    {
        if (bits == 0)
            return;
        m_acc = (m_acc << bits) | (value & ((uint64_t(1) << bits) - 1));
        m_count += bits;
        while (m_count >= 16) {
            m_count -= 16;
            const uint16_t word = uint16_t(m_acc >> m_count);
            m_out.push_back(uint8_t(word));
            m_out.push_back(uint8_t(word >> 8));
        }
        m_acc &= (uint64_t(1) << m_count) - 1;
    }
    void Align()
    {
        if (m_count)
            Put(0, 16 - m_count);
    }
    int Pending() const { return m_count; }

private:
    std::vector<uint8_t> &m_out;
    uint64_t m_acc = 0;
    int m_count = 0;
};

// Huffman code lengths no longer than maxLen for the symbols with a non-zero frequency. Fewer
// than two used symbols still give a complete code of two one-bit symbols (a dummy is added), as
// decoders accept only complete codes.
void BuildLengths(const uint32_t *freqIn, int n, int maxLen, uint8_t *lens)
{
    std::vector<uint32_t> freq(freqIn, freqIn + n);
    std::fill(lens, lens + n, 0);
    std::vector<int> used;
    for (int i = 0; i < n; ++i)
        if (freq[i])
            used.push_back(i);
    if (used.size() < 2) {
        const int first = used.empty() ? 0 : used[0];
        const int second = first == 0 ? 1 : 0;
        lens[first] = 1;
        lens[second] = 1;
        return;
    }
    for (;;) {
        // parent links over leaves 0..m-1 and internal nodes m..2m-2
        const int m = int(used.size());
        std::vector<int> parent(size_t(2 * m - 1), -1);
        using Node = std::pair<uint64_t, int>;
        std::priority_queue<Node, std::vector<Node>, std::greater<Node>> heap;
        for (int i = 0; i < m; ++i)
            heap.push({freq[size_t(used[size_t(i)])], i});
        int next = m;
        while (heap.size() > 1) {
            const Node a = heap.top();
            heap.pop();
            const Node b = heap.top();
            heap.pop();
            parent[size_t(a.second)] = next;
            parent[size_t(b.second)] = next;
            heap.push({a.first + b.first, next++});
        }
        std::vector<int> depth(size_t(2 * m - 1), 0);
        for (int i = 2 * m - 3; i >= 0; --i)
            depth[size_t(i)] = depth[size_t(parent[size_t(i)])] + 1;
        int longest = 0;
        for (int i = 0; i < m; ++i)
            longest = std::max(longest, depth[size_t(i)]);
        if (longest <= maxLen) {
            for (int i = 0; i < m; ++i)
                lens[used[size_t(i)]] = uint8_t(depth[size_t(i)]);
            return;
        }
        for (int s : used)
            freq[size_t(s)] = (freq[size_t(s)] + 1) / 2;
    }
}

void CanonicalCodes(const uint8_t *lens, int n, uint16_t *codes)
{
    int count[17] = {};
    for (int i = 0; i < n; ++i)
        ++count[lens[i]];
    count[0] = 0;
    uint32_t next[17] = {};
    uint32_t code = 0;
    for (int len = 1; len <= 16; ++len) {
        code = (code + uint32_t(count[len - 1])) << 1;
        next[len] = code;
    }
    for (int i = 0; i < n; ++i)
        codes[i] = lens[i] ? uint16_t(next[lens[i]]++) : 0;
}

struct Token {
    uint16_t main;
    int16_t length;      // length-tree symbol or -1
    uint8_t footerBits;
    uint32_t footer;
};

class LzxCoder final : public BlockCoder {
public:
    explicit LzxCoder(int windowBits)
        : m_windowBits(windowBits),
          m_windowSize(1u << windowBits),
          m_mainSize(256 + 8 * SlotCount(windowBits)),
          m_head(size_t(1) << kHashBits),
          m_prev(m_windowSize)
    {
        if (windowBits < 15 || windowBits > 21)
            throw std::invalid_argument("LZX window bits out of range");
        m_capacity = size_t(m_windowSize) + std::max<size_t>(m_windowSize, 256 * 1024);
        m_buf.resize(m_capacity);
        Reset();
    }

    void Reset() override
    {
        std::fill(m_head.begin(), m_head.end(), 0u);
        m_bufBase = 0;
        m_bufLen = 0;
        m_pos = 0;
        m_r = {1, 1, 1};
        m_prevMain.fill(0);
        m_prevLength.fill(0);
        m_first = true;
        m_frames.clear();
        m_frameTokenEnd.clear();
        m_tokens.clear();
        DefaultCosts();
    }

    void Encode(const uint8_t *data, int size, std::vector<CodedBlock> &ready) override
    {
        if (m_frames.empty())
            m_blockR = m_r;
        Append(data, size);
        Tokenize(m_pos, m_pos + uint32_t(size));
        m_frames.emplace_back(data, data + size);
        m_frameTokenEnd.push_back(m_tokens.size());
        m_pos += uint32_t(size);
        if (int(m_frames.size()) == kFramesPerBlock)
            EmitBlock(ready);
    }

    void Finish(std::vector<CodedBlock> &ready) override
    {
        if (!m_frames.empty())
            EmitBlock(ready);
    }

private:
    // ---- history ----
    void Append(const uint8_t *data, int size)
    {
        if (m_bufLen + size_t(size) > m_capacity) {
            const size_t keep = std::min<size_t>(m_bufLen, m_windowSize);
            std::memmove(m_buf.data(), m_buf.data() + (m_bufLen - keep), keep);
            m_bufBase += uint32_t(m_bufLen - keep);
            m_bufLen = keep;
        }
        std::memcpy(m_buf.data() + m_bufLen, data, size_t(size));
        m_bufLen += size_t(size);
    }
    const uint8_t *At(uint32_t pos) const { return m_buf.data() + (pos - m_bufBase); }

    static uint32_t Hash(const uint8_t *p)
    {
        const uint32_t v = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }
    void Insert(uint32_t pos, uint32_t end)
    {
        if (pos + 2 >= end)
            return;
        uint32_t &head = m_head[Hash(At(pos))];
        m_prev[pos & (m_windowSize - 1)] = head;
        head = pos + 1;
    }
    static int MatchLength(const uint8_t *a, const uint8_t *b, int max)
    {
        int n = 0;
        while (n + 8 <= max) {
            uint64_t x, y;
            std::memcpy(&x, a + n, 8);
            std::memcpy(&y, b + n, 8);
            if (x != y)
                return n + (__builtin_ctzll(x ^ y) >> 3);
            n += 8;
        }
        while (n < max && a[n] == b[n])
            ++n;
        return n;
    }

    struct Match {
        int length = 0;
        uint32_t distance = 0;
        int gain = 0; // bits saved against literals, in 1/16 bit
    };

    // Estimated cost in 1/16 bit of a match, from the code lengths of the previous block.
    int MatchCost(int length, uint32_t distance) const
    {
        int slot, footer = 0;
        if (distance == m_r[0])
            slot = 0;
        else if (distance == m_r[1])
            slot = 1;
        else if (distance == m_r[2])
            slot = 2;
        else {
            slot = Slots().SlotOf(distance + 2);
            footer = Slots().footerBits[slot];
        }
        const int header = std::min(length - 2, 7);
        int bits = 16 * footer + m_mainCost[size_t(256 + slot * 8 + header)];
        if (header == 7)
            bits += m_lengthCost[size_t(length - 9)];
        return bits;
    }
    int Gain(int length, uint32_t distance) const { return length * m_literalCost - MatchCost(length, distance); }

    Match Find(uint32_t pos, uint32_t end) const
    {
        Match best;
        const int maxLen = int(std::min<uint32_t>(kMaxMatch, end - pos));
        if (maxLen < kMinMatch)
            return best;
        const uint8_t *cur = At(pos);
        const uint32_t maxDist = std::min<uint32_t>(pos, m_windowSize - 3);
        int bestLen = kMinMatch - 1;
        for (uint32_t d : m_r) {
            if (d > maxDist)
                continue;
            const int len = MatchLength(cur - d, cur, maxLen);
            if (len >= kMinMatch) {
                const int gain = Gain(len, d);
                if (gain > best.gain) {
                    best = {len, d, gain};
                    bestLen = std::max(bestLen, len);
                }
            }
        }
        if (bestLen >= kNiceLength || bestLen >= maxLen)
            return best;
        uint32_t cand = m_head[Hash(cur)];
        for (int chain = kMaxChain; cand && chain; --chain) {
            const uint32_t c = cand - 1;
            if (c >= pos)
                break;
            const uint32_t d = pos - c;
            if (d > maxDist)
                break;
            const uint8_t *p = At(c);
            if (p[bestLen] == cur[bestLen]) {
                const int len = MatchLength(p, cur, maxLen);
                if (len > bestLen) {
                    const int gain = Gain(len, d);
                    if (gain > best.gain) {
                        best = {len, d, gain};
                        bestLen = len;
                        if (len >= kNiceLength || len == maxLen)
                            break;
                    }
                }
            }
            const uint32_t next = m_prev[c & (m_windowSize - 1)];
            if (next >= cand)
                break;
            cand = next;
        }
        return best;
    }

    // Code lengths of the block just written become the cost estimates of the next frame.
    void UpdateCosts(const uint8_t *mainLens, const uint8_t *lengthLens)
    {
        uint64_t literalBits = 0, literals = 0;
        for (int i = 0; i < m_mainSize; ++i)
            m_mainCost[size_t(i)] = int16_t(16 * (mainLens[i] ? mainLens[i] : 12));
        for (int i = 0; i < kNumLengths; ++i)
            m_lengthCost[size_t(i)] = int16_t(16 * (lengthLens[i] ? lengthLens[i] : 10));
        for (const Token &t : m_tokens)
            if (t.main < 256) {
                literalBits += mainLens[t.main];
                ++literals;
            }
        m_literalCost = literals ? int(16 * literalBits / literals) : 16 * 8;
    }
    void DefaultCosts()
    {
        m_mainCost.fill(16 * 9);
        m_lengthCost.fill(16 * 7);
        m_literalCost = 16 * 8;
    }

    void Tokenize(uint32_t start, uint32_t end)
    {
        uint32_t pos = start;
        Match cur;
        bool haveCur = false;
        while (pos < end) {
            if (!haveCur)
                cur = Find(pos, end);
            haveCur = false;
            Insert(pos, end);
            if (cur.length >= kMinMatch && cur.gain > 0) {
                if (cur.length < kLazyLimit && pos + 1 < end) {
                    const Match next = Find(pos + 1, end);
                    if (next.gain - m_literalCost > cur.gain) {
                        Literal(*At(pos));
                        ++pos;
                        cur = next;
                        haveCur = true;
                        continue;
                    }
                }
                Emit(cur);
                for (uint32_t q = pos + 1; q < pos + uint32_t(cur.length); ++q)
                    Insert(q, end);
                pos += uint32_t(cur.length);
            } else {
                Literal(*At(pos));
                ++pos;
            }
        }
    }

    void Literal(uint8_t byte) { m_tokens.push_back({byte, -1, 0, 0}); }

    void Emit(const Match &m)
    {
        int slot;
        Token t{0, -1, 0, 0};
        if (m.distance == m_r[0]) {
            slot = 0;
        } else if (m.distance == m_r[1]) {
            slot = 1;
            std::swap(m_r[0], m_r[1]);
        } else if (m.distance == m_r[2]) {
            slot = 2;
            std::swap(m_r[0], m_r[2]);
        } else {
            const uint32_t formatted = m.distance + 2;
            slot = Slots().SlotOf(formatted);
            t.footerBits = Slots().footerBits[slot];
            t.footer = formatted - Slots().base[slot];
            m_r[2] = m_r[1];
            m_r[1] = m_r[0];
            m_r[0] = m.distance;
        }
        const int header = std::min(m.length - 2, 7);
        t.main = uint16_t(256 + slot * 8 + header);
        if (header == 7)
            t.length = int16_t(m.length - 9);
        m_tokens.push_back(t);
    }

    // ---- block output ----
    static void WriteTreeRange(BitWriter &bw, const uint8_t *prev, const uint8_t *cur, int from, int to)
    {
        struct Op {
            uint8_t symbol;
            uint8_t extra;
        };
        std::vector<Op> ops;
        for (int i = from; i < to;) {
            if (cur[i] == 0) {
                int run = 1;
                while (i + run < to && cur[i + run] == 0)
                    ++run;
                if (run >= 20) {
                    const int take = std::min(run, 51);
                    ops.push_back({18, uint8_t(take - 20)});
                    i += take;
                    continue;
                }
                if (run >= 4) {
                    ops.push_back({17, uint8_t(run - 4)});
                    i += run;
                    continue;
                }
            }
            ops.push_back({uint8_t((prev[i] - cur[i] + 17) % 17), 0});
            ++i;
        }
        uint32_t freq[kPretreeSize] = {};
        for (const Op &op : ops)
            ++freq[op.symbol];
        uint8_t lens[kPretreeSize];
        uint16_t codes[kPretreeSize];
        BuildLengths(freq, kPretreeSize, 10, lens);
        CanonicalCodes(lens, kPretreeSize, codes);
        for (uint8_t len : lens)
            bw.Put(len, 4);
        for (const Op &op : ops) {
            bw.Put(codes[op.symbol], lens[op.symbol]);
            if (op.symbol == 17)
                bw.Put(op.extra, 4);
            else if (op.symbol == 18)
                bw.Put(op.extra, 5);
        }
    }

    // One verbatim block over the held frames (its trees travel in the first frame's data
    // block), or one uncompressed block per frame when that is smaller.
    void EmitBlock(std::vector<CodedBlock> &ready)
    {
        uint32_t blockSize = 0;
        size_t rawSize = 0;
        for (const auto &f : m_frames) {
            blockSize += uint32_t(f.size());
            rawSize += 4 + 12 + f.size() + (f.size() & 1);
        }
        std::vector<std::vector<uint8_t>> verbatim(m_frames.size());
        std::array<uint8_t, 656> mainLens{};
        std::array<uint8_t, kNumLengths> lengthLens{};
        WriteVerbatim(blockSize, verbatim, mainLens, lengthLens);
        size_t verbatimSize = 0;
        for (const auto &v : verbatim)
            verbatimSize += v.size();
        if (verbatimSize <= rawSize) {
            for (size_t i = 0; i < m_frames.size(); ++i)
                ready.push_back({std::move(verbatim[i]), int(m_frames[i].size())});
            std::copy(mainLens.begin(), mainLens.begin() + m_mainSize, m_prevMain.begin());
            m_prevLength = lengthLens;
            UpdateCosts(mainLens.data(), lengthLens.data());
        } else {
            m_r = m_blockR; // uncompressed blocks hand the offsets as they were before them
            for (const auto &f : m_frames) {
                ready.push_back({{}, int(f.size())});
                WriteUncompressed(f.data(), int(f.size()), ready.back().payload);
                m_first = false;
            }
        }
        m_first = false;
        m_frames.clear();
        m_frameTokenEnd.clear();
        m_tokens.clear();
    }

    void WriteVerbatim(uint32_t size, std::vector<std::vector<uint8_t>> &frames, std::array<uint8_t, 656> &mainLens,
                       std::array<uint8_t, kNumLengths> &lengthLens) const
    {
        std::vector<uint32_t> mainFreq(static_cast<size_t>(m_mainSize), 0u);
        uint32_t lengthFreq[kNumLengths] = {};
        for (const Token &t : m_tokens) {
            ++mainFreq[t.main];
            if (t.length >= 0)
                ++lengthFreq[t.length];
        }
        BuildLengths(mainFreq.data(), m_mainSize, 16, mainLens.data());
        BuildLengths(lengthFreq, kNumLengths, 16, lengthLens.data());
        std::vector<uint16_t> mainCodes(static_cast<size_t>(m_mainSize));
        uint16_t lengthCodes[kNumLengths];
        CanonicalCodes(mainLens.data(), m_mainSize, mainCodes.data());
        CanonicalCodes(lengthLens.data(), kNumLengths, lengthCodes);

        size_t token = 0;
        for (size_t i = 0; i < frames.size(); ++i) {
            std::vector<uint8_t> &out = frames[i];
            out.reserve(m_frames[i].size() + 1024);
            BitWriter bw(out);
            if (i == 0) {
                if (m_first)
                    bw.Put(0, 1); // no x86 call translation
                bw.Put(1, 3);     // verbatim
                bw.Put(size >> 8, 16);
                bw.Put(size & 0xFF, 8);
                WriteTreeRange(bw, m_prevMain.data(), mainLens.data(), 0, 256);
                WriteTreeRange(bw, m_prevMain.data(), mainLens.data(), 256, m_mainSize);
                WriteTreeRange(bw, m_prevLength.data(), lengthLens.data(), 0, kNumLengths);
            }
            for (; token < m_frameTokenEnd[i]; ++token) {
                const Token &t = m_tokens[token];
                bw.Put(mainCodes[t.main], mainLens[t.main]);
                if (t.length >= 0)
                    bw.Put(lengthCodes[t.length], lengthLens[size_t(t.length)]);
                bw.Put(t.footer, t.footerBits);
            }
            bw.Align(); // every frame ends on a 16-bit boundary
        }
    }

    void WriteUncompressed(const uint8_t *data, int size, std::vector<uint8_t> &out) const
    {
        BitWriter bw(out);
        if (m_first)
            bw.Put(0, 1);
        bw.Put(3, 3);
        bw.Put(uint32_t(size) >> 8, 16);
        bw.Put(uint32_t(size) & 0xFF, 8);
        bw.Align(); // 27 or 28 bits so far: never already aligned, so this pads 4 or 5 bits
        for (uint32_t r : m_r)
            for (int i = 0; i < 4; ++i)
                out.push_back(uint8_t(r >> (8 * i)));
        out.insert(out.end(), data, data + size);
        if (size & 1)
            out.push_back(0);
    }

    const int m_windowBits;
    const uint32_t m_windowSize;
    const int m_mainSize;
    std::vector<uint32_t> m_head;   // hash -> position + 1 of the latest occurrence
    std::vector<uint32_t> m_prev;   // position & mask -> position + 1 of the previous occurrence
    std::vector<uint8_t> m_buf;     // the window and the current frame
    size_t m_capacity = 0;
    uint32_t m_bufBase = 0;         // folder position of m_buf[0]
    size_t m_bufLen = 0;
    uint32_t m_pos = 0;             // folder position of the next frame
    std::array<uint32_t, 3> m_r{};
    std::array<uint8_t, 656> m_prevMain{};
    std::array<uint8_t, kNumLengths> m_prevLength{};
    bool m_first = true;
    std::vector<Token> m_tokens;
    std::array<int16_t, 656> m_mainCost{};
    std::array<int16_t, kNumLengths> m_lengthCost{};
    int m_literalCost = 16 * 8;
    std::vector<std::vector<uint8_t>> m_frames; // frames of the block being gathered
    std::vector<size_t> m_frameTokenEnd;        // end of each frame's tokens in m_tokens
    std::array<uint32_t, 3> m_blockR{};         // repeated offsets at the start of that block
};

} // namespace

std::unique_ptr<BlockCoder> MakeLzxCoder(int windowBits) { return std::make_unique<LzxCoder>(windowBits); }

} // namespace zorvak::cab
