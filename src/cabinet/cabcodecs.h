#pragma once
// The block coders of our cabinet writer. A folder is cut into frames of 32768 uncompressed
// bytes (the last one shorter); each frame becomes one data block whose payload a coder makes.
// A coder keeps whatever history its method carries across the frames of one folder and starts
// afresh on Reset().
#include <cstdint>
#include <memory>
#include <vector>

namespace zorvak::cab {

constexpr int kFrameSize = 32768;

// The data-block checksum: a 32-bit XOR of little-endian words over the payload (a short tail
// taken high byte first), continued over the cbData/cbUncomp header words.
uint32_t Checksum(const uint8_t *data, size_t size, uint32_t seed);
uint32_t BlockChecksum(const uint8_t *payload, uint16_t cbData, uint16_t cbUncomp);

class BlockCoder {
public:
    virtual ~BlockCoder() = default;
    virtual void Reset() = 0;                       // start of a folder
    // Appends the payload of one frame (1..32768 bytes) to `out`.
    virtual void Encode(const uint8_t *data, int size, std::vector<uint8_t> &out) = 0;
};

std::unique_ptr<BlockCoder> MakeStoredCoder();
// MSZIP: "CK" and a raw deflate stream per block, the previous block as dictionary.
std::unique_ptr<BlockCoder> MakeMszipCoder();
// LZX with a window of 2^windowBits bytes (15..21): verbatim blocks from a lazy hash-chain match
// finder, or an uncompressed block when that is smaller.
std::unique_ptr<BlockCoder> MakeLzxCoder(int windowBits);

} // namespace zorvak::cab
