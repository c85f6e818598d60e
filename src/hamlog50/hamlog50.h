// libHamlog50: the QSO database library. The caller owns one work area of
// kThwWorkSize bytes and passes it to every call; the library reads and fills
// the fields at the offsets below. Records live in an SQLite file (the .hdb
// path), one table, every append committed as it is made.
//
// Texts are NUL-terminated CP932 bytes; the library stores them as given.
// On this platform a pointer does not fit the 4-byte slots at 821..845, so
// those slots hold 32-bit offsets from the start of the work area to texts
// the library keeps inside the work area (kTextSpace..kTextSpaceEnd).
#pragma once
#include <cstddef>
#include <cstdint>

#define HAMLOG50_API extern "C" __attribute__((visibility("default")))

namespace thw {

inline constexpr std::size_t kThwWorkSize = 3928;

// A text field: where it starts and how many bytes it may take with its NUL.
struct Slot {
  std::size_t offset;
  std::size_t size;
};

inline constexpr Slot kCall{0, 21};      // fields 0, 1
inline constexpr Slot kDate{21, 9};      // field 2
inline constexpr Slot kTime{30, 7};      // field 3
inline constexpr Slot kField8{37, 7};    // field 8
inline constexpr Slot kField9{44, 7};    // field 9
inline constexpr Slot kQsl{51, 4};       // field 10
inline constexpr std::size_t kFlag = 55;  // 16-bit unsigned: fields 15, 16
inline constexpr Slot kSentRst{57, 16};  // field 4

// The 32-bit offsets of the library's texts: fields 5, 6, 7, 11, 12, 13, 14.
inline constexpr std::size_t kRcvdRstRef = 821;
inline constexpr std::size_t kFreqRef = 825;
inline constexpr std::size_t kModeRef = 829;
inline constexpr std::size_t kField11Ref = 833;
inline constexpr std::size_t kField12Ref = 837;
inline constexpr std::size_t kRemarks1Ref = 841;
inline constexpr std::size_t kRemarks2Ref = 845;

// Where the library keeps those texts, and the room each has.
inline constexpr Slot kRcvdRstText{73, 16};
inline constexpr Slot kFreqText{89, 16};
inline constexpr Slot kModeText{105, 16};
inline constexpr Slot kField11Text{121, 64};
inline constexpr Slot kField12Text{185, 64};
inline constexpr Slot kRemarks1Text{249, 128};
inline constexpr Slot kRemarks2Text{377, 128};
inline constexpr std::size_t kTextSpace = 73;
inline constexpr std::size_t kTextSpaceEnd = 505;

inline constexpr std::size_t kBits = 1685;  // 51-byte field
inline constexpr std::size_t kBitsSize = 51;

// A database block: handle and its 16-bit tag, record count, current record
// number, its text (the database path). A block whose handle and tag are not
// those the library gave that very block opens nothing.
inline constexpr std::size_t kQsoBlock = 1741;
inline constexpr std::size_t kMasterBlock = 2023;
inline constexpr std::size_t kBlockHandle = 0;
inline constexpr std::size_t kBlockCount = 4;
inline constexpr std::size_t kBlockTag = 8;
inline constexpr std::size_t kBlockRecNo = 12;
inline constexpr std::size_t kBlockText = 22;
inline constexpr std::size_t kBlockSize = 282;

// Index block k at kIndexBlock + kIndexBlockSize * k; its key text at +10.
inline constexpr std::size_t kIndexBlock = 2305;
inline constexpr std::size_t kIndexBlockSize = 270;
inline constexpr std::size_t kIndexHandle = 0;
inline constexpr std::size_t kIndexRecNo = 4;
inline constexpr std::size_t kIndexTag = 8;
inline constexpr std::size_t kIndexKey = 10;
// Only blocks that lie wholly inside the work area exist (k = 0..5).
inline constexpr int kIndexBlocks = static_cast<int>((kThwWorkSize - kIndexBlock) / kIndexBlockSize);

// THW_append and HamlogClose: the database file was deleted or replaced
// while it was open, so what this work area appended is not in the file
// that now has its name.
inline constexpr std::int32_t kFileReplaced = 2;

}  // namespace thw

// ---- Called by the program.
HAMLOG50_API std::int32_t GetThdllVersion();
// 0 when opened; the QSO block then holds the record count.
HAMLOG50_API std::int32_t HamlogOpen(std::int32_t mode, char* work, const char* path,
                                     std::int32_t flags);
// 0 when closed; kFileReplaced, or -1 when the work area opened nothing.
HAMLOG50_API std::int32_t HamlogClose(char* work, std::int32_t flags);
// Loads record recno (1..count) into the work area; 0 when loaded.
HAMLOG50_API std::int32_t THW_read(char* work, std::int32_t recno, std::int32_t flags);
// Appends the work area's fields as one record; 0 when stored (committed:
// a killed process keeps it), else -1 or kFileReplaced. A work area that
// appends while nobody else has the file open keeps it to itself until
// HamlogClose; others opening it meanwhile find it busy.
HAMLOG50_API std::int32_t THW_append(char* work, std::int32_t flags, std::int32_t* reserved);
// Creates an empty database; fails (non-zero) when path already exists.
HAMLOG50_API std::int32_t HamlogCreate(const char* path);
// The text of the last failure of this thread (an SQLite or system message).
HAMLOG50_API const char* HamlogLastError();

// ---- Called by the bridge, with a block inside the work area.
HAMLOG50_API std::int32_t dbf_open(const char* name, char* block);
HAMLOG50_API std::int32_t dbf_close(char* block);
HAMLOG50_API std::int32_t dbf_read(char* block, std::int32_t recno, std::int32_t reserved);
// The database is append-only: writing over or deleting records is refused (-1).
HAMLOG50_API std::int32_t dbf_write(char* block, std::int32_t p1, std::int32_t p2);
HAMLOG50_API std::int32_t dbf_write2(char* block, std::int32_t p1, std::int32_t p2,
                                     std::int32_t p3, std::int32_t p4);
HAMLOG50_API std::int32_t dbf_delete(char* block, std::int32_t recno);
HAMLOG50_API std::int32_t dbf_packwk(char* block, std::int32_t p1, std::int32_t p2);
// Bytes of one record's texts as stored.
HAMLOG50_API std::int32_t dbf_rsize(char* block);
// "yyyy/mm/dd hh:nn:ss" of the last append (empty when none).
HAMLOG50_API const char* Get_lupdate(char* block);
// An index over the call signs of the database at name.
HAMLOG50_API std::int32_t idx_open(const char* name, char* index);
HAMLOG50_API std::int32_t idx_close(char* index);
HAMLOG50_API std::int32_t idx_next(char* index);
HAMLOG50_API std::int32_t idx_back(char* index);
HAMLOG50_API std::int32_t idx_top(char* index);
HAMLOG50_API std::int32_t idx_bottom(char* index);
// First record whose call sign is not below key; 0 when found.
HAMLOG50_API std::int32_t idx_search(char* index, const char* key, std::int32_t reserved);
// The key text of an index block, at most length bytes.
HAMLOG50_API const char* Idx_ReadKey(char* index, std::int16_t length);
// Bit number (0..407) of the 51-byte field: 0 or 1, -1 out of range.
HAMLOG50_API std::int32_t Wget_bit(std::int32_t number, const char* field);
HAMLOG50_API std::int32_t StrToLong(const char* text);
