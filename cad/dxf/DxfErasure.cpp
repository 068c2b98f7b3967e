#include "cad/dxf/DxfErasure.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "cad/dxf/DxfNumber.h"

namespace veerline::cad {

namespace {

using HandleSet = std::unordered_set<std::string>;

std::string HandleKey(std::string_view value) {
  std::string key(TrimDxf(value));
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

// The owner of a record: its first 330 outside the 102 groups, before its
// first subclass marker (330 groups further on are data, not the owner).
std::string OwnerOf(std::span<const DxfTag> record) {
  bool inGroup = false;
  for (const DxfTag& tag : record.subspan(1)) {
    if (tag.Code == 102) {
      inGroup = !inGroup && TrimDxf(tag.Value).substr(0, 1) == "{";
      continue;
    }
    if (inGroup) continue;
    if (tag.Code == 100) break;
    if (tag.Code == 330) return HandleKey(tag.Value);
  }
  return {};
}

class ErasurePlanner {
 public:
  ErasurePlanner(const DxfSource& source, const std::vector<TagRange>& erased)
      : mSource(source), mTags(source.Tags()), mErased(erased) {}

  std::vector<TagRange> Plan() {
    for (const TagRange& range : mErased) NoteHandles(range);
    RemoveOwnedObjects();
    std::sort(mRemoved.begin(), mRemoved.end(),
              [](const TagRange& a, const TagRange& b) { return a.First < b.First; });
    std::vector<TagRange> gone = mErased;
    gone.insert(gone.end(), mRemoved.begin(), mRemoved.end());
    std::sort(gone.begin(), gone.end(),
              [](const TagRange& a, const TagRange& b) { return a.First < b.First; });
    std::vector<TagRange> cuts = mRemoved;
    CutReferences(gone, cuts);
    std::sort(cuts.begin(), cuts.end(),
              [](const TagRange& a, const TagRange& b) { return a.First < b.First; });
    return cuts;
  }

 private:
  // The handles of every record in the range (an entity and its followers).
  void NoteHandles(const TagRange& range) {
    for (std::size_t k = range.First; k < range.End; k = mSource.RecordEnd(k)) {
      std::string handle = HandleKey(FindHandle(k));
      if (!handle.empty()) mGone.insert(handle);
    }
  }

  std::string_view FindHandle(std::size_t first) const {
    for (std::size_t i = first + 1; i < mTags.size() && mTags[i].Code != 0; ++i) {
      if (mTags[i].Code == 5) return mTags[i].Value;
    }
    return {};
  }

  // Objects whose owner is gone go too, and so on down.
  void RemoveOwnedObjects() {
    const DxfSection* objects = mSource.FindSection("OBJECTS");
    if (!objects) return;
    std::unordered_map<std::string, std::vector<std::size_t>> owned;
    for (std::size_t k = mSource.RecordEnd(objects->Head); k < objects->EndSec;
         k = mSource.RecordEnd(k)) {
      std::string owner = OwnerOf(mSource.Record(k));
      if (!owner.empty() && owner != "0") owned[owner].push_back(k);
    }
    std::vector<std::string> queue(mGone.begin(), mGone.end());
    while (!queue.empty()) {
      std::string handle = std::move(queue.back());
      queue.pop_back();
      auto it = owned.find(handle);
      if (it == owned.end()) continue;
      for (std::size_t k : it->second) {
        mRemoved.push_back({k, mSource.RecordEnd(k)});
        std::string own = HandleKey(FindHandle(k));
        if (!own.empty() && mGone.insert(own).second) queue.push_back(own);
      }
      owned.erase(it);
    }
  }

  bool Gone(const DxfTag& tag) const { return mGone.count(HandleKey(tag.Value)) != 0; }

  // In every record that stays: reactor entries, group members, dictionary
  // entries and draw-order pairs that name a record that is gone.
  void CutReferences(const std::vector<TagRange>& gone, std::vector<TagRange>& cuts) const {
    std::size_t next = 0;  // the first range of `gone` not yet passed
    for (std::size_t k = 0; k < mTags.size();) {
      while (next < gone.size() && gone[next].End <= k) ++next;
      if (next < gone.size() && gone[next].First <= k) {
        k = gone[next].End;
        continue;
      }
      std::size_t end = mSource.RecordEnd(k);
      CutInRecord(k, end, cuts);
      k = end;
    }
  }

  void CutInRecord(std::size_t first, std::size_t end, std::vector<TagRange>& cuts) const {
    std::string_view type = TrimDxf(mTags[first].Value);
    for (std::size_t i = first + 1; i < end; ++i) {
      const DxfTag& tag = mTags[i];
      if (tag.Code == 102 && TrimDxf(tag.Value) == "{ACAD_REACTORS") {
        std::size_t close = i + 1;
        while (close < end && mTags[close].Code != 102) ++close;
        std::vector<std::size_t> named;
        std::size_t entries = 0;
        for (std::size_t r = i + 1; r < close; ++r) {
          if (mTags[r].Code != 330) continue;
          ++entries;
          if (Gone(mTags[r])) named.push_back(r);
        }
        if (!named.empty() && named.size() == entries && close < end) {
          cuts.push_back({i, close + 1});  // the whole list, now empty
        } else {
          for (std::size_t r : named) cuts.push_back({r, r + 1});
        }
        i = close;
      } else if (type == "GROUP" && tag.Code == 340 && Gone(tag)) {
        cuts.push_back({i, i + 1});
      } else if ((tag.Code == 350 || tag.Code == 360) && Gone(tag) && i > first + 1 &&
                 mTags[i - 1].Code == 3 && type.find("DICTIONARY") != std::string_view::npos) {
        cuts.push_back({i - 1, i + 1});  // the entry's name and its handle
      } else if (type == "SORTENTSTABLE" && tag.Code == 331 && Gone(tag) && i + 1 < end &&
                 mTags[i + 1].Code == 5) {
        cuts.push_back({i, i + 2});  // the entity and its sort handle
        ++i;
      }
    }
  }

  const DxfSource& mSource;
  const std::vector<DxfTag>& mTags;
  const std::vector<TagRange>& mErased;
  HandleSet mGone;
  std::vector<TagRange> mRemoved;
};

}  // namespace

std::vector<TagRange> ErasureFollowUps(const DxfSource& source,
                                       const std::vector<TagRange>& erased) {
  if (erased.empty()) return {};
  return ErasurePlanner(source, erased).Plan();
}

}  // namespace veerline::cad
