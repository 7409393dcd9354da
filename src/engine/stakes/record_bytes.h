// Little-endian fields and short strings of the stakes, ratings and tables
// records. Internal to stakes/.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/codec.h"
#include "core/game.h"

namespace vexa {

inline void PutInt32(unsigned char* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

inline int32_t GetInt32(const unsigned char* p) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(p[i]) << (8 * i);
  return static_cast<int32_t>(u);
}

inline void PutInt64(unsigned char* p, int64_t v) {
  const auto u = static_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

inline int64_t GetInt64(const unsigned char* p) {
  uint64_t u = 0;
  for (int i = 0; i < 8; ++i) u |= static_cast<uint64_t>(p[i]) << (8 * i);
  return static_cast<int64_t>(u);
}

inline void PutNumList(unsigned char* p, const TNumList& list) {
  PutInt32(p, list.Count);
  std::memcpy(p + 4, list.Nums.data(), list.Nums.size());
}

inline TNumList GetNumList(const unsigned char* p) {
  TNumList list;
  list.Count = GetInt32(p);
  std::memcpy(list.Nums.data(), p + 4, list.Nums.size());
  return list;
}

// Short string of maxLen characters at p: length byte, then cp1251 text.
inline std::string GetShortString(const unsigned char* p, size_t maxLen) {
  const size_t len = std::min<size_t>(p[0], maxLen);
  return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(p + 1), len));
}

// Stores the text cut to maxLen cp1251 characters; the bytes past it become 0.
inline void PutShortString(unsigned char* p, size_t maxLen, std::string_view utf8) {
  std::string bytes = Utf8ToCp1251(utf8);
  if (bytes.size() > maxLen) bytes.resize(maxLen);
  std::memset(p, 0, maxLen + 1);
  p[0] = static_cast<unsigned char>(bytes.size());
  std::memcpy(p + 1, bytes.data(), bytes.size());
}

}  // namespace vexa
