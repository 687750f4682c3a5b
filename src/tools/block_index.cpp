#include "tools/block_index.h"

#include "tools/jump_text.h"

namespace kz {

BlockIndex::BlockIndex(std::string_view text) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t tag = FindFrom(text, kBlockNameTag, from);
    if (tag == std::string_view::npos) return;
    // Only whether the first "<medit>" lies at or before the tag matters, so
    // the search never needs to go past the tag.
    const std::size_t lookFrom = tag > kHeaderLookBack ? tag - kHeaderLookBack : 0;
    const std::size_t header =
        text.substr(lookFrom, tag + kMeditTag.size() - lookFrom).find(kMeditTag);
    if (header == std::string_view::npos) {
      // Every scan stops here, so later blocks are never reached.
      malformed_ = true;
      return;
    }
    const std::size_t start = ValueStart(tag, kBlockNameTag);
    const std::size_t end = ValueEnd(text, start);
    const std::string_view name =
        start < end ? text.substr(start, end - start) : std::string_view();
    const auto [entry, added] =
        names_.try_emplace(name, Definition{static_cast<std::uint32_t>(lookFrom + header), false});
    if (!added) entry->second.twice = true;
    from = start;
  }
}

BlockIndex::Lookup BlockIndex::Find(std::string_view name) const {
  const auto found = names_.find(name);
  if (found == names_.end()) return {Result::kNotFound, 0};
  const Definition& definition = found->second;
  if (definition.twice) return {Result::kDuplicate, definition.address};
  return {malformed_ ? Result::kMalformed : Result::kFound, definition.address};
}

}  // namespace kz
