#include "tools/block_index.h"

#include "tools/forward_search.h"
#include "tools/jump_text.h"

namespace kz {
namespace {

// Polynomial hashes modulo the prime 2^61 - 1. Equal hashes are only a hint:
// a lookup compares the names themselves.
constexpr std::uint64_t kModulus = (std::uint64_t{1} << 61) - 1;
constexpr std::uint64_t kBase = 1'000'003;

std::uint64_t MultiplyMod(std::uint64_t a, std::uint64_t b) {
  const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
  const std::uint64_t folded =
      static_cast<std::uint64_t>(product & kModulus) + static_cast<std::uint64_t>(product >> 61);
  return folded >= kModulus ? folded - kModulus : folded;
}

std::uint64_t Step(std::uint64_t hash, char byte) {
  const std::uint64_t next = MultiplyMod(hash, kBase) + static_cast<unsigned char>(byte) + 1;
  return next >= kModulus ? next - kModulus : next;
}

std::uint64_t PowerOfBase(std::size_t exponent) {
  std::uint64_t result = 1;
  std::uint64_t square = kBase;
  for (; exponent > 0; exponent >>= 1) {
    if (exponent & 1) result = MultiplyMod(result, square);
    square = MultiplyMod(square, square);
  }
  return result;
}

std::uint64_t HashOf(std::string_view text) {
  std::uint64_t hash = 0;
  for (const char byte : text) hash = Step(hash, byte);
  return hash;
}

// The hash of the text's first `end` bytes, for ends that only grow.
class RunningHash {
 public:
  explicit RunningHash(std::string_view text) : text_(text) {}
  std::uint64_t Upto(std::size_t end) {
    for (; at_ < end; ++at_) hash_ = Step(hash_, text_[at_]);
    return hash_;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::uint64_t hash_ = 0;
};

}  // namespace

BlockIndex::BlockIndex(std::string_view text) : text_(text) {
  ForwardSearch quotes("\"");
  for (std::size_t from = 0;;) {
    const std::size_t tag = FindFrom(text, kBlockNameTag, from);
    if (tag == std::string_view::npos) break;
    // Only whether the first "<medit>" lies at or before the tag matters, so
    // the search never needs to go past the tag.
    const std::size_t lookFrom = tag > kHeaderLookBack ? tag - kHeaderLookBack : 0;
    const std::size_t header =
        text.substr(lookFrom, tag + kMeditTag.size() - lookFrom).find(kMeditTag);
    if (header == std::string_view::npos) {
      // Every scan stops here, so later blocks are never reached.
      malformed_ = true;
      break;
    }
    const std::size_t start = ValueStart(tag, kBlockNameTag);
    // As ValueEnd: the next double quote, or the end of the text.
    const std::size_t quote = start < text.size() ? quotes.From(text, start) : text.size();
    const std::size_t end = quote == std::string_view::npos ? text.size() : quote;
    blocks_.push_back(Block{static_cast<std::uint32_t>(lookFrom + header),
                            start < end ? start : end, start < end ? end - start : 0});
    from = start;
  }

  // Name starts grow, and so do name ends: two running hashes give every
  // name's hash in one pass over the text.
  RunningHash toStart(text);
  RunningHash toEnd(text);
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    const Block& block = blocks_[i];
    const std::uint64_t before =
        MultiplyMod(toStart.Upto(block.nameStart), PowerOfBase(block.nameLength));
    const std::uint64_t upto = toEnd.Upto(block.nameStart + block.nameLength);
    byHash_[upto >= before ? upto - before : upto + kModulus - before].push_back(i);
  }
}

BlockIndex::Lookup BlockIndex::Find(std::string_view name) const {
  const auto found = byHash_.find(HashOf(name));
  if (found == byHash_.end()) return {Result::kNotFound, 0};
  const Block* first = nullptr;
  for (const std::size_t i : found->second) {
    const Block& block = blocks_[i];
    if (text_.substr(block.nameStart, block.nameLength) != name) continue;
    if (first) return {Result::kDuplicate, first->address};
    first = &block;
  }
  if (!first) return {Result::kNotFound, 0};
  return {malformed_ ? Result::kMalformed : Result::kFound, first->address};
}

}  // namespace kz
