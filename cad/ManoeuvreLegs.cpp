#include "cad/ManoeuvreLegs.h"

#include <algorithm>
#include <random>
#include <set>

#include "cad/dxf/DxfNumber.h"

namespace veerline::cad {
namespace {

struct Group {
  int Code;
  std::string_view Value;
};

// Our group out of an entity's extended data: the tags after "1001 VEERLINE"
// up to the next application's name.
std::optional<LegTag> ParseGroup(const std::vector<Group>& tags) {
  std::size_t i = 0;
  while (i < tags.size() && !(tags[i].Code == 1001 && TrimDxf(tags[i].Value) == kManoeuvreApp)) ++i;
  if (i == tags.size()) return std::nullopt;
  LegTag tag;
  std::vector<int> integers;
  for (++i; i < tags.size() && tags[i].Code != 1001; ++i) {
    if (tags[i].Code == 1000 && tag.Manoeuvre.empty()) tag.Manoeuvre = std::string(TrimDxf(tags[i].Value));
    if (tags[i].Code == 1070) {
      const std::optional<int> value = ParseDxfInt(tags[i].Value);
      if (!value) return std::nullopt;
      integers.push_back(*value);
    }
  }
  if (tag.Manoeuvre.empty() || integers.size() < 2 || integers[0] < 0 ||
      (integers[1] != 0 && integers[1] != 1))
    return std::nullopt;
  tag.Order = integers[0];
  tag.Reverse = integers[1] == 1;
  return tag;
}

}  // namespace

std::optional<LegTag> ReadLegTag(const DrawingEntity& entity) {
  std::vector<Group> tags;
  if (!entity.FromFile()) {
    for (const EntityData::XDataTag& t : entity.Data().XData) tags.push_back({t.Code, t.Value});
  } else {
    // The entity's own record only, not the VERTEX records that follow it.
    const auto record = entity.Tags();
    for (std::size_t i = 1; i < record.size() && record[i].Code != 0; ++i)
      if (record[i].Code >= 1000) tags.push_back({record[i].Code, record[i].Value});
  }
  return ParseGroup(tags);
}

void WriteLegTag(DrawingEntity& entity, const LegTag& tag) {
  std::vector<EntityData::XDataTag>& xdata = entity.Data().XData;
  // Drop our old group, keep any other application's.
  std::vector<EntityData::XDataTag> kept;
  bool ours = false;
  for (const EntityData::XDataTag& t : xdata) {
    if (t.Code == 1001) ours = t.Value == kManoeuvreApp;
    if (!ours) kept.push_back(t);
  }
  kept.push_back({1001, kManoeuvreApp});
  kept.push_back({1000, tag.Manoeuvre});
  kept.push_back({1070, std::to_string(tag.Order)});
  kept.push_back({1070, tag.Reverse ? "1" : "0"});
  xdata = std::move(kept);
}

std::string NewManoeuvreName(const DrawingModel& drawing) {
  std::set<std::string> taken;
  for (const auto& e : drawing.ModelSpace().Entities())
    if (const std::optional<LegTag> tag = ReadLegTag(*e)) taken.insert(tag->Manoeuvre);
  std::random_device device;
  std::mt19937_64 random((static_cast<std::uint64_t>(device()) << 32) ^ device());
  for (;;) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string name = "M";
    for (std::uint64_t bits = random(), k = 0; k < 16; ++k, bits >>= 4) name += kHex[bits & 15];
    if (!taken.count(name)) return name;
  }
}

std::vector<ManoeuvreLeg> ManoeuvreLegsOf(const DrawingModel& drawing, const DrawingEntity& entity) {
  const std::optional<LegTag> own = ReadLegTag(entity);
  if (!own || entity.Erased()) return {};
  std::vector<std::pair<int, ManoeuvreLeg>> found;
  for (const auto& e : drawing.ModelSpace().Entities()) {
    if (e->Erased() || !e->IsPolyline()) continue;
    const std::optional<LegTag> tag = ReadLegTag(*e);
    if (tag && tag->Manoeuvre == own->Manoeuvre) found.push_back({tag->Order, {e.get(), tag->Reverse}});
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<ManoeuvreLeg> legs;
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (found[i].first != static_cast<int>(i)) return {};
    legs.push_back(found[i].second);
  }
  return legs;
}

}  // namespace veerline::cad
