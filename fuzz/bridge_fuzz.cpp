// The bridge and the database library on a work area full of any bytes:
// every field copy, the index key and bit reads stay inside the area and the
// caller's buffer; a work area the library did not open acts on nothing; and
// a record appended to a real database reads back field for field.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bridge/wrenlink.h"
#include "hamlog50/hamlog50.h"
#include "hamlog50/thwtext.h"

namespace {

constexpr char kGuard = 0x5A;
constexpr int kAppendsPerDatabase = 4000;

struct Work {
  alignas(8) char b[thw::kThwWorkSize];
  char guard[64];
  Work() {
    std::memset(b, 0, sizeof b);
    std::memset(guard, kGuard, sizeof guard);
  }
  void check() const {
    for (char c : guard)
      if (c != kGuard) __builtin_trap();
  }
};

struct Buffer {
  char b[wrenlink::kBufferSize];
  char guard[16];
  Buffer() {
    std::memset(b, 0x7E, sizeof b);
    std::memset(guard, kGuard, sizeof guard);
  }
  // A copy ends with its NUL inside the buffer and never past it.
  std::string text() const {
    for (char c : guard)
      if (c != kGuard) __builtin_trap();
    const void* nul = std::memchr(b, '\0', sizeof b);
    if (!nul) __builtin_trap();
    return std::string(b, static_cast<const char*>(nul));
  }
};

// One database per process, made anew now and then so that it stays small.
struct Database {
  std::string dir, path;
  Work work;
  int appended = 0;
  Database() {
    char tmpl[] = "/tmp/bridge_fuzz_XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    dir = tmpl;
    path = dir + "/HAMLOG.hdb";
    renew();
  }
  ~Database() {
    HamlogClose(work.b, 1);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  void renew() {
    HamlogClose(work.b, 1);
    for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(path + s);
    if (HamlogCreate(path.c_str()) != 0 || HamlogOpen(0, work.b, path.c_str(), 1) != 0) std::abort();
    appended = 0;
  }
  static Database& instance() {
    static Database db;
    return db;
  }
};

// The text of field f; fields below 0 and above 24 copy nothing.
std::string field(char* work, int f) {
  Buffer buf;
  ThwString(buf.b, work, static_cast<std::int16_t>(f));
  return f >= 0 && f <= 24 ? buf.text() : std::string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::vector<std::string> texts;
  for (int f = 0; f <= 16; ++f) texts.push_back(in.ConsumeRandomLengthString(140));
  std::vector<char> bits = in.ConsumeBytes<char>(wrenlink::kBitsInput);
  bits.resize(wrenlink::kBitsInput, '\0');
  const std::string key = in.ConsumeRandomLengthString(300);
  const auto k = in.ConsumeIntegral<std::int16_t>();
  const auto keyLength = in.ConsumeIntegral<std::int16_t>();
  const auto bit = in.ConsumeIntegral<std::int32_t>();
  const auto selector = in.ConsumeIntegral<std::int16_t>();
  const std::vector<std::uint8_t> rest = in.ConsumeRemainingBytes<std::uint8_t>();

  // A work area nobody zeroed: any bytes, handles and references included.
  Work stale;
  for (std::size_t i = 0; i < sizeof stale.b && !rest.empty(); ++i)
    stale.b[i] = static_cast<char>(rest[i % rest.size()]);
  SetQsoOrMaster(selector);
  for (int f = -1; f <= 40; ++f) field(stale.b, f);
  Vdbf_rcount(stale.b);
  Vdbf_recno(stale.b);
  VWget_bit(bit, stale.b);
  Buffer key1;
  Vidx_ReadKey(key1.b, stale.b + thw::kIndexBlock + thw::kIndexBlockSize * static_cast<std::size_t>(k & 3),
               keyLength);
  key1.text();
  for (int f = 0; f <= 20; ++f) {
    const std::string& t = f <= 16 ? texts[static_cast<std::size_t>(f)] : std::string(bits.begin(), bits.end());
    SetThBuffer(stale.b, f <= 16 ? t.c_str() : bits.data(), static_cast<std::int16_t>(f));
  }
  SetQsoOrMaster(1);
  // It opened nothing, so it acts on nothing.
  std::int32_t zero = 0;
  if (THW_append(stale.b, 16, &zero) == 0 || THW_read(stale.b, 1, 4) == 0) __builtin_trap();
  if (Vidx_top(stale.b, k) == 0 || Vidx_close(stale.b, k) == 0) __builtin_trap();
  stale.check();

  Database& db = Database::instance();
  Work& w = db.work;
  // Its open leaves the other database open.
  if (HamlogOpen(0, stale.b, db.path.c_str(), 1) != 0) __builtin_trap();

  // A record of these texts, appended and read back.
  for (int f = 1; f <= 16; ++f) SetThBuffer(w.b, texts[static_cast<std::size_t>(f)].c_str(), static_cast<std::int16_t>(f));
  SetThBuffer(w.b, bits.data(), 17);
  std::vector<std::string> written;
  for (int f = 0; f <= 24; ++f) written.push_back(f == 15 || (f >= 17 && f <= 23) ? "" : field(w.b, f));
  if (THW_append(w.b, 16, &zero) != 0) __builtin_trap();
  const std::int32_t recno = Vdbf_recno(w.b);
  if (THW_read(w.b, recno, 4) != 0) __builtin_trap();
  for (int f = 0; f <= 24; ++f)
    if (!written[static_cast<std::size_t>(f)].empty() && field(w.b, f) != written[static_cast<std::size_t>(f)])
      __builtin_trap();
  if (VWget_bit(bit, w.b) != (bit >= 0 && bit < 408 ? (static_cast<unsigned char>(bits[static_cast<std::size_t>(bit / 8)]) >> (bit % 8)) & 1 : -1))
    __builtin_trap();
  Buffer updated;
  Vget_lupdate(updated.b, w.b);
  updated.text();

  // The call-sign index of the same database, searched for the key.
  if (Vidx_open(db.path.c_str(), w.b, k) == 0) {
    Vidx_search(w.b, key.c_str(), k);
    Vidx_next(w.b, k);
    Vidx_back(w.b, k);
    Buffer key2;
    Vidx_ReadKey(key2.b, w.b + thw::kIndexBlock + thw::kIndexBlockSize * static_cast<std::size_t>(k & 7),
                 keyLength);
    key2.text();
    Vidx_top(w.b, k);
    Vidx_bottom(w.b, k);
    if (Vidx_close(w.b, k) != 0) __builtin_trap();
  }
  if (HamlogClose(stale.b, 1) != 0) __builtin_trap();
  stale.check();
  w.check();
  if (++db.appended >= kAppendsPerDatabase) db.renew();
  return 0;
}
