// The online services' replies and fields as a client or the service reads
// them: rows and tags, Base64, the C-style escaping, the date-times.
#include "wire/wire.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa::wire;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TReply reply = ReadReply(text);
  for (const TReplyRow& row : reply.Rows)
    for (const char* tag : {"id", "title", "created", "error"}) {
      std::string value = row.Value(tag);
      if (auto decoded = Base64Decode(value); decoded && Base64Decode(Base64Encode(*decoded)) != decoded) std::abort();
      if (auto t = ParseServiceTime(value); t && !t->IsZero() && ParseServiceTime(FormatServiceTime(*t))->Second != t->Second)
        std::abort();
    }
  (void)reply.Error();
  // Escaping is a bijection on what it produces.
  if (CUnescape(CEscape(text)) != text) std::abort();
  (void)CUnescape(text);
  return 0;
}
