// The hash of the command-name tables, shared by the build-time generator
// (mkhash) and the lookups: FNV-1a over the word with a per-bucket seed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace OP::namehash {

constexpr size_t BUCKETS = 64;
constexpr size_t SLOTS = 256;

constexpr uint32_t hash(const char *word, size_t length, uint32_t seed) {
  uint32_t h = 2166136261u ^ (seed * 0x9e3779b9u);
  for (size_t i = 0; i < length; ++i) {
    h ^= static_cast<unsigned char>(word[i]);
    h *= 16777619u;
  }
  h ^= h >> 15;
  h *= 0x2c1b3c6dU;
  h ^= h >> 12;
  return h;
}

} // namespace OP::namehash
