#pragma once
// The on-disk layout of the cabinets the writer makes: field offsets of the header, the folder
// table and the file table, and the limits of the format. Every multi-byte field is little-endian.
//
//   CFHEADER (36 bytes, no reserved area) | CFFOLDER x folders | CFFILE x files (+ name) |
//   CFDATA blocks of folder 0, folder 1, ...
#include <QtGlobal>

namespace zorvak::cabformat {

// ---- CFHEADER ----
inline constexpr char kSignature[4] = {'M', 'S', 'C', 'F'};
inline constexpr int kHeaderSize = 36;
inline constexpr int kHeaderSignature = 0;      // 4 bytes "MSCF"
inline constexpr int kHeaderCabinetSize = 8;    // u32 cbCabinet: size of the whole cabinet
inline constexpr int kHeaderFilesOffset = 16;   // u32 coffFiles: where the file table begins
inline constexpr int kHeaderVersionMinor = 24;  // u8
inline constexpr int kHeaderVersionMajor = 25;  // u8
inline constexpr int kHeaderFolderCount = 26;   // u16 cFolders
inline constexpr int kHeaderFileCount = 28;     // u16 cFiles
inline constexpr int kHeaderFlags = 30;         // u16: no previous/next cabinet, no reserve
inline constexpr int kHeaderSetId = 32;         // u16 setID
inline constexpr int kHeaderCabinetIndex = 34;  // u16 iCabinet: position in the set
inline constexpr quint8 kVersionMinor = 3;
inline constexpr quint8 kVersionMajor = 1;

// ---- CFFOLDER, right after the header ----
inline constexpr int kFolderSize = 8;
inline constexpr int kFolderDataOffset = 0;     // u32 coffCabStart: first data block
inline constexpr int kFolderBlockCount = 4;     // u16 cCFData
inline constexpr int kFolderCompression = 6;    // u16 typeCompress
inline constexpr int FolderEntry(int folder) { return kHeaderSize + kFolderSize * folder; }

// ---- CFFILE, after the folder table; each record is followed by its name and a NUL ----
inline constexpr int kFileSize = 16;
inline constexpr int kFileLength = 0;           // u32 cbFile: uncompressed size
inline constexpr int kFileFolderOffset = 4;     // u32 uoffFolderStart: offset in the folder's stream
inline constexpr int kFileFolder = 8;           // u16 iFolder
inline constexpr int kFileDate = 10;            // u16 DOS date
inline constexpr int kFileTime = 12;            // u16 DOS time
inline constexpr int kFileAttributes = 14;      // u16 attribs
inline constexpr quint16 kAttrReadOnly = 0x01;
inline constexpr quint16 kAttrHidden = 0x02;
inline constexpr quint16 kAttrArchive = 0x20;
inline constexpr quint16 kAttrUtf8Name = 0x80;  // the name is UTF-8, not the code page
inline constexpr int kMaxNameBytes = 255;

// ---- CFDATA: checksum, compressed and uncompressed sizes, then the payload ----
inline constexpr int kDataHeaderSize = 8;
inline constexpr int kDataChecksum = 0;         // u32
inline constexpr int kDataCompressed = 4;       // u16 cbData
inline constexpr int kDataUncompressed = 6;     // u16 cbUncomp
inline constexpr int kMaxBlockPayload = 32768 + 6144;

// ---- limits of what the writer makes ----
inline constexpr quint32 kFolderThreshold = 900000;     // a new folder past this many bytes
inline constexpr quint32 kMaxCabinetSize = 0x7FFFFFFF;
inline constexpr quint32 kMaxFileSize = 0x7FFF8000;
inline constexpr quint32 kMaxCount16 = 0xFFFF;          // files, folders, blocks of a folder
inline constexpr quint16 kSetId = 12345;

} // namespace zorvak::cabformat
