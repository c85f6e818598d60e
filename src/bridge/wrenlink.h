// libWrenlink: the program's door to the QSO database library. It copies one
// field between a caller buffer and the work area, or calls the library with
// the block of the work area that a selector names. Every copy is bounded by
// the field and by the caller's buffer (kBufferSize bytes).
#pragma once
#include <cstdint>

#define WRENLINK_API extern "C" __attribute__((visibility("default")))

namespace wrenlink {
// The caller's text buffers hold this many bytes.
inline constexpr int kBufferSize = 80;
// SetThBuffer with a field above 16 reads exactly this many bytes.
inline constexpr int kBitsInput = 51;
}  // namespace wrenlink

WRENLINK_API std::int32_t ThwString(char* buffer, char* work, std::int16_t field);
WRENLINK_API void SetThBuffer(char* work, const char* text, std::int16_t field);
WRENLINK_API std::int16_t SetQsoOrMaster(std::int16_t value);

WRENLINK_API std::int32_t Vdbf_rcount(char* work);
WRENLINK_API std::int32_t Vdbf_recno(char* work);
WRENLINK_API char* Vget_lupdate(char* buffer, char* work);
WRENLINK_API std::int32_t Vdbf_open(const char* name, char* work);
WRENLINK_API std::int32_t Vdbf_close(char* work);
WRENLINK_API std::int32_t Vdbf_read(char* work, std::int32_t p1, std::int32_t p2);
WRENLINK_API std::int32_t Vdbf_write(char* work, std::int32_t p1, std::int32_t p2);
WRENLINK_API std::int32_t Vdbf_write2(char* work, std::int32_t p1, std::int32_t p2, std::int32_t p3,
                                      std::int32_t p4);
WRENLINK_API std::int32_t Vdbf_delete(char* work, std::int32_t p1);
WRENLINK_API std::int32_t Vdbf_rsize(char* work);
WRENLINK_API std::int32_t Vdbf_packwk(char* work, std::int32_t p1, std::int32_t p2);
WRENLINK_API std::int32_t Vidx_open(const char* name, char* work, std::int16_t k);
WRENLINK_API std::int32_t Vidx_close(char* work, std::int16_t k);
WRENLINK_API std::int32_t Vidx_search(char* work, const char* key, std::int16_t k);
WRENLINK_API std::int32_t Vidx_next(char* work, std::int16_t k);
WRENLINK_API std::int32_t Vidx_back(char* work, std::int16_t k);
WRENLINK_API std::int32_t Vidx_top(char* work, std::int16_t k);
WRENLINK_API std::int32_t Vidx_bottom(char* work, std::int16_t k);
WRENLINK_API std::int32_t VWget_bit(std::int32_t p1, char* work);
WRENLINK_API char* Vidx_ReadKey(char* buffer, char* p1, std::int32_t p2);
