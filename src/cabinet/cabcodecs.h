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

struct CodedBlock {
    std::vector<uint8_t> payload;
    int uncompressed = 0; // bytes of the frame it holds
};

class BlockCoder {
public:
    virtual ~BlockCoder() = default;
    virtual void Reset() = 0; // start of a folder
    // Takes the next frame (1..32768 bytes; only the last frame of a folder may be shorter) and
    // appends to `ready`, in order, every data block that is complete. A coder may hold frames
    // back until it has seen more of the folder.
    virtual void Encode(const uint8_t *data, int size, std::vector<CodedBlock> &ready) = 0;
    // End of the folder: appends the blocks still held back.
    virtual void Finish(std::vector<CodedBlock> &) {}
};

std::unique_ptr<BlockCoder> MakeStoredCoder();
// MSZIP: "CK" and a raw deflate stream per block, the previous block as dictionary.
std::unique_ptr<BlockCoder> MakeMszipCoder();
// LZX with a window of 2^windowBits bytes (15..21): verbatim blocks of up to eight frames from a
// lazy hash-chain match finder, or uncompressed blocks when those are smaller.
std::unique_ptr<BlockCoder> MakeLzxCoder(int windowBits);

} // namespace zorvak::cab
