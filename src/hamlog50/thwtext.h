// Bounded text copies into and out of the work area, shared by the library
// and the bridge so that neither ever writes past a field.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "hamlog50/hamlog50.h"

namespace thw {

// True for the first byte of a CP932 double-byte character.
inline bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Copies at most cap-1 bytes of src (up to its NUL or srcMax) to dst and
// terminates it; never ends on the first half of a double-byte character.
inline std::size_t copyText(char* dst, std::size_t cap, const char* src, std::size_t srcMax = SIZE_MAX) {
  if (cap == 0) return 0;
  std::size_t n = 0;
  if (src) {
    while (n < srcMax && src[n] != '\0') {
      const bool lead = isLeadByte(static_cast<unsigned char>(src[n]));
      const std::size_t w = lead && n + 1 < srcMax && src[n + 1] != '\0' ? 2 : 1;
      if (n + w > cap - 1) break;
      n += w;
    }
    std::memcpy(dst, src, n);
  }
  dst[n] = '\0';
  return n;
}

inline void writeText(char* work, const Slot& s, const char* src, std::size_t srcMax = SIZE_MAX) {
  copyText(work + s.offset, s.size, src, srcMax);
}

// The text a field holds (bounded by its slot even without a NUL).
inline std::size_t textLength(const char* work, const Slot& s) {
  const void* nul = std::memchr(work + s.offset, '\0', s.size);
  return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - (work + s.offset)) : s.size;
}

inline std::int32_t getI32(const char* p) {
  std::int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void setI32(char* p, std::int32_t v) { std::memcpy(p, &v, sizeof v); }
inline std::uint16_t getU16(const char* p) {
  std::uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void setU16(char* p, std::uint16_t v) { std::memcpy(p, &v, sizeof v); }

// The referenced texts and where the library keeps them.
struct Ref {
  std::size_t ref;
  Slot text;
};
inline constexpr Ref kRefs[] = {{kRcvdRstRef, kRcvdRstText}, {kFreqRef, kFreqText},
                                {kModeRef, kModeText},       {kField11Ref, kField11Text},
                                {kField12Ref, kField12Text}, {kRemarks1Ref, kRemarks1Text},
                                {kRemarks2Ref, kRemarks2Text}};

// The slot a reference points to, or nullptr when the work area holds no
// offset the library set (not opened, or overwritten).
inline const Slot* refTarget(const char* work, const Ref& r) {
  const std::int32_t off = getI32(work + r.ref);
  return off == static_cast<std::int32_t>(r.text.offset) ? &r.text : nullptr;
}

}  // namespace thw
