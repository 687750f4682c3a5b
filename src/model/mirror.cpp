#include "model/mirror.h"

#include <span>

namespace kz {
namespace {

struct ServoPair {
  int i;
  int j;
};

constexpr ServoPair kLegPairs[] = {{0, 5}, {1, 6}, {2, 7}, {3, 8}, {4, 9}};
constexpr ServoPair kArmPairs[] = {{14, 17}, {15, 18}, {16, 19}};
// The head's nod (servo ID 15) has no mirror image.
constexpr ServoPair kHeadPairs[] = {{11, 11}, {12, 12}};
constexpr ServoPair kWaistPairs[] = {{10, 10}};

std::span<const ServoPair> PairsOf(MirrorGroup group) {
  switch (group) {
    case MirrorGroup::kLegs:
      return kLegPairs;
    case MirrorGroup::kArms:
      return kArmPairs;
    case MirrorGroup::kHead:
      return kHeadPairs;
    case MirrorGroup::kWaist:
      return kWaistPairs;
  }
  return {};
}

std::size_t Index(int i) { return static_cast<std::size_t>(i); }

}  // namespace

std::vector<int> MirrorServoValues(ServoValues& values, const StandardValues& standard,
                                   MirrorGroup group) {
  std::vector<int> written;
  for (const ServoPair pair : PairsOf(group)) {
    const int si = standard[Index(pair.i)];
    const int sj = standard[Index(pair.j)];
    const int di = values[Index(pair.i)] - si;
    const int dj = values[Index(pair.j)] - sj;
    values[Index(pair.j)] = sj - di;
    written.push_back(pair.j);
    if (pair.i == pair.j) continue;
    values[Index(pair.i)] = si - dj;
    written.push_back(pair.i);
  }
  return written;
}

}  // namespace kz
