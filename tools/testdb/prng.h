// A small deterministic pseudo-random generator (SplitMix64). The standard
// library's distributions are implementation-defined, so every draw the
// generator makes goes through these helpers: one seed gives the same bytes
// on every platform and compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quillon::testdb {

class Prng {
 public:
  explicit Prng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint32_t Next32() { return static_cast<std::uint32_t>(Next() >> 32); }
  // A value in [0, n) (n > 0), by multiplying into the high half.
  std::uint32_t Below(std::uint32_t n) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(Next32()) * n) >> 32);
  }
  // A value in [lo, hi].
  std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) { return lo + Below(hi - lo + 1); }
  // True with probability num/den.
  bool Chance(std::uint32_t num, std::uint32_t den) { return Below(den) < num; }
  void Fill(std::span<std::uint8_t> out) {
    std::size_t i = 0;
    while (i < out.size()) {
      std::uint64_t v = Next();
      for (int k = 0; k < 8 && i < out.size(); ++k, ++i, v >>= 8) out[i] = static_cast<std::uint8_t>(v);
    }
  }
  // An independent stream for a sub-task (a segment, a file), so adding
  // content in one place does not shift the bytes drawn everywhere else.
  Prng Fork(std::uint64_t salt) const { return Prng(Prng(state_ ^ (salt * 0xD1B54A32D192ED03ull)).Next()); }

 private:
  std::uint64_t state_;
};

}  // namespace quillon::testdb
