// Field copies and block selection over the work area.
#include "bridge/wrenlink.h"

#include <cstdio>
#include <cstring>

#include "hamlog50/hamlog50.h"
#include "hamlog50/thwtext.h"

namespace {

std::int16_t isQsoData = 1;

char* block(char* work) { return work + (isQsoData != 0 ? thw::kQsoBlock : thw::kMasterBlock); }

// Index block k (taken modulo 8), or nullptr when it lies outside the work area.
char* indexBlock(char* work, std::int16_t k) {
  const int n = k & 7;
  if (n >= thw::kIndexBlocks) return nullptr;
  return work + thw::kIndexBlock + thw::kIndexBlockSize * static_cast<std::size_t>(n);
}

constexpr std::size_t kBlockTextSize = thw::kBlockSize - thw::kBlockText;
constexpr std::size_t kKeySize = thw::kIndexBlockSize - thw::kIndexKey;

// The text field a field number names (fields 5..7 and 11..14 through the
// work area's references); size 0 when there is none to use.
thw::Slot textField(const char* work, int field) {
  auto ref = [work](std::size_t at) -> thw::Slot {
    for (const thw::Ref& r : thw::kRefs)
      if (r.ref == at) {
        const thw::Slot* s = thw::refTarget(work, r);
        return s ? *s : thw::Slot{0, 0};
      }
    return {0, 0};
  };
  switch (field) {
    case 0:
    case 1: return thw::kCall;
    case 2: return thw::kDate;
    case 3: return thw::kTime;
    case 4: return thw::kSentRst;
    case 5: return ref(thw::kRcvdRstRef);
    case 6: return ref(thw::kFreqRef);
    case 7: return ref(thw::kModeRef);
    case 8: return thw::kField8;
    case 9: return thw::kField9;
    case 10: return thw::kQsl;
    case 11: return ref(thw::kField11Ref);
    case 12: return ref(thw::kField12Ref);
    case 13: return ref(thw::kRemarks1Ref);
    case 14: return ref(thw::kRemarks2Ref);
    case 15: return {thw::kQsoBlock + thw::kBlockText, kBlockTextSize};
    case 17: return {thw::kMasterBlock + thw::kBlockText, kBlockTextSize};
    default:
      if (field >= 18 && field <= 23) {
        const std::size_t at = thw::kIndexBlock + thw::kIndexBlockSize * static_cast<std::size_t>(field - 18);
        return {at + thw::kIndexKey, kKeySize};
      }
      return {0, 0};
  }
}

}  // namespace

std::int32_t ThwString(char* buffer, char* work, std::int16_t field) {
  if (!work) return -1;
  if (field == 25) return thw::getI32(work + thw::kMasterBlock + thw::kBlockRecNo);
  if (field == 26) return thw::getI32(work + thw::kMasterBlock + thw::kBlockCount);
  if (field == 27) return thw::getI32(work + thw::kQsoBlock + thw::kBlockRecNo);
  if (field > 27) return thw::getI32(work + thw::kQsoBlock + thw::kBlockCount);
  if (!buffer || field < 0) return 0;
  if (field == 16) {
    std::snprintf(buffer, wrenlink::kBufferSize, "%u", static_cast<unsigned>(thw::getU16(work + thw::kFlag)));
    return 0;
  }
  if (field == 24) {
    // Raw bytes: cut at 45 whatever they hold.
    const std::size_t n = strnlen(work + thw::kBits, 45);
    std::memcpy(buffer, work + thw::kBits, n);
    buffer[n] = '\0';
    return 0;
  }
  const thw::Slot s = textField(work, field);
  if (s.size == 0) {
    buffer[0] = '\0';
    return 0;
  }
  thw::copyText(buffer, wrenlink::kBufferSize, work + s.offset, s.size);
  return 0;
}

void SetThBuffer(char* work, const char* text, std::int16_t field) {
  if (!work || !text || field < 0) return;
  if (field == 15 || field == 16) {
    thw::setU16(work + thw::kFlag, static_cast<std::uint16_t>(StrToLong(text)));
    return;
  }
  if (field > 16) {
    std::memcpy(work + thw::kBits, text, thw::kBitsSize);
    return;
  }
  const thw::Slot s = textField(work, field);
  if (s.size) thw::writeText(work, s, text);
}

std::int16_t SetQsoOrMaster(std::int16_t value) {
  isQsoData = value;
  return value;
}

std::int32_t Vdbf_rcount(char* work) { return work ? thw::getI32(block(work) + thw::kBlockCount) : 0; }
std::int32_t Vdbf_recno(char* work) { return work ? thw::getI32(block(work) + thw::kBlockRecNo) : 0; }

char* Vget_lupdate(char* buffer, char* work) {
  if (!buffer) return buffer;
  thw::copyText(buffer, wrenlink::kBufferSize, work ? Get_lupdate(block(work)) : "");
  return buffer;
}

std::int32_t Vdbf_open(const char* name, char* work) { return work ? dbf_open(name, block(work)) : -1; }
std::int32_t Vdbf_close(char* work) { return work ? dbf_close(block(work)) : -1; }
std::int32_t Vdbf_read(char* work, std::int32_t p1, std::int32_t p2) {
  return work ? dbf_read(block(work), p1, p2) : -1;
}
std::int32_t Vdbf_write(char* work, std::int32_t p1, std::int32_t p2) {
  return work ? dbf_write(block(work), p1, p2) : -1;
}
std::int32_t Vdbf_write2(char* work, std::int32_t p1, std::int32_t p2, std::int32_t p3, std::int32_t p4) {
  return work ? dbf_write2(block(work), p1, p2, p3, p4) : -1;
}
std::int32_t Vdbf_delete(char* work, std::int32_t p1) { return work ? dbf_delete(block(work), p1) : -1; }
std::int32_t Vdbf_rsize(char* work) { return work ? dbf_rsize(block(work)) : -1; }
std::int32_t Vdbf_packwk(char* work, std::int32_t p1, std::int32_t p2) {
  return work ? dbf_packwk(block(work), p1, p2) : -1;
}

namespace {
// An index call on work's index block k; -1 without a work area or block.
template <typename F>
std::int32_t onIndex(char* work, std::int16_t k, F&& call) {
  char* b = work ? indexBlock(work, k) : nullptr;
  return b ? call(b) : -1;
}
}  // namespace

std::int32_t Vidx_open(const char* name, char* work, std::int16_t k) {
  return onIndex(work, k, [name](char* b) { return idx_open(name, b); });
}
std::int32_t Vidx_close(char* work, std::int16_t k) { return onIndex(work, k, idx_close); }
std::int32_t Vidx_search(char* work, const char* key, std::int16_t k) {
  return onIndex(work, k, [key](char* b) { return idx_search(b, key, 0); });
}
std::int32_t Vidx_next(char* work, std::int16_t k) { return onIndex(work, k, idx_next); }
std::int32_t Vidx_back(char* work, std::int16_t k) { return onIndex(work, k, idx_back); }
std::int32_t Vidx_top(char* work, std::int16_t k) { return onIndex(work, k, idx_top); }
std::int32_t Vidx_bottom(char* work, std::int16_t k) { return onIndex(work, k, idx_bottom); }

std::int32_t VWget_bit(std::int32_t p1, char* work) { return work ? Wget_bit(p1, work + thw::kBits) : -1; }

char* Vidx_ReadKey(char* buffer, char* p1, std::int32_t p2) {
  if (!buffer) return buffer;
  thw::copyText(buffer, wrenlink::kBufferSize, Idx_ReadKey(p1, static_cast<std::int16_t>(p2)));
  return buffer;
}
