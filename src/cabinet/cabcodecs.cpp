// Checksum, stored blocks and MSZIP blocks of the cabinet writer.
//
// MSZIP is "CK" followed by a raw deflate stream that ends with a final block and inflates to
// exactly the frame. The 32 KB history runs on across the blocks of a folder, so a block may
// refer into the previous frame (never further back: some readers keep only that frame). We
// preset the last 4 KB of the previous frame as dictionary when that frame compressed: it wins
// most of what the whole frame would, at an eighth of the cost of loading it.
#include "cabinet/cabcodecs.h"

#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace zorvak::cab {

uint32_t Checksum(const uint8_t *data, size_t size, uint32_t seed)
{
    uint32_t acc = seed;
    size_t words = size / 4;
    for (size_t i = 0; i < words; ++i, data += 4)
        acc ^= uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
    uint32_t tail = 0;
    switch (size & 3) {
    case 3: tail |= uint32_t(*data++) << 16; [[fallthrough]];
    case 2: tail |= uint32_t(*data++) << 8; [[fallthrough]];
    case 1: tail |= uint32_t(*data); break;
    default: break;
    }
    return acc ^ tail;
}

uint32_t BlockChecksum(const uint8_t *payload, uint16_t cbData, uint16_t cbUncomp)
{
    const uint8_t header[4] = {uint8_t(cbData), uint8_t(cbData >> 8), uint8_t(cbUncomp), uint8_t(cbUncomp >> 8)};
    return Checksum(header, 4, Checksum(payload, cbData, 0));
}

namespace {

class StoredCoder final : public BlockCoder {
public:
    void Reset() override {}
    void Encode(const uint8_t *data, int size, std::vector<CodedBlock> &ready) override
    {
        ready.push_back({std::vector<uint8_t>(data, data + size), size});
    }
};

class MszipCoder final : public BlockCoder {
    static constexpr int kDictionary = 4096;

public:
    MszipCoder()
    {
        std::memset(&m_z, 0, sizeof m_z);
        if (deflateInit2(&m_z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("deflateInit2 failed");
        m_prev.resize(kFrameSize);
    }
    ~MszipCoder() override { deflateEnd(&m_z); }

    void Reset() override { m_havePrev = false; }

    void Encode(const uint8_t *data, int size, std::vector<CodedBlock> &ready) override
    {
        ready.push_back({{}, size});
        std::vector<uint8_t> &out = ready.back().payload;
        const size_t start = 0;
        deflateReset(&m_z);
        if (m_havePrev)
            deflateSetDictionary(&m_z, m_prev.data() + kFrameSize - kDictionary, uInt(kDictionary));
        const uLong bound = deflateBound(&m_z, uLong(size)) + 16;
        out.resize(start + 2 + bound);
        out[start] = 'C';
        out[start + 1] = 'K';
        m_z.next_in = const_cast<Bytef *>(data);
        m_z.avail_in = uInt(size);
        m_z.next_out = out.data() + start + 2;
        m_z.avail_out = uInt(bound);
        const int rc = deflate(&m_z, Z_FINISH);
        size_t produced = bound - m_z.avail_out;
        if (rc != Z_STREAM_END || 2 + produced > size_t(kFrameSize) + 12) {
            // One stored final block: never larger than the limit readers accept.
            out.resize(start + 2);
            out.push_back(0x01);
            out.push_back(uint8_t(size));
            out.push_back(uint8_t(size >> 8));
            out.push_back(uint8_t(~size));
            out.push_back(uint8_t(~size >> 8));
            out.insert(out.end(), data, data + size);
        } else {
            out.resize(start + 2 + produced);
        }
        // Only a full frame can be followed by another one in the same folder.
        // Data that did not compress (pictures) gains nothing from being the next block's
        // dictionary, and loading one costs about as much as compressing: skip it there.
        const bool compressed = out.size() - start < size_t(size) * 9 / 10;
        if (size == kFrameSize && compressed) {
            std::memcpy(m_prev.data(), data, size_t(size));
            m_havePrev = true;
        } else {
            m_havePrev = false;
        }
    }

private:
    z_stream m_z;
    std::vector<uint8_t> m_prev;
    bool m_havePrev = false;
};

} // namespace

std::unique_ptr<BlockCoder> MakeStoredCoder() { return std::make_unique<StoredCoder>(); }
std::unique_ptr<BlockCoder> MakeMszipCoder() { return std::make_unique<MszipCoder>(); }

} // namespace zorvak::cab
