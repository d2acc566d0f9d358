#include "gdi/handle_region.h"

#include <algorithm>

namespace win32::gdi {

HandleRegion& HandleRegion::operator=(Region region) {
  region_ = std::move(region);
  rows_.reset();
  return *this;
}

const Region& HandleRegion::Get() const {
  if (rows_) {
    Region::RunBuilder builder;
    for (const auto& [y, row] : rows_->runs)
      for (const auto& [left, right] : row) builder.AddRun(y, left, right);
    region_ = builder.Finish();
    rows_.reset();
  }
  return region_;
}

int HandleRegion::Type() const {
  if (!rows_) return region_.Type();
  const RegionRows& r = *rows_;
  if (r.runs.empty()) return NULLREGION;
  if (r.multiple > 0 || r.distinctSingles != 1) return COMPLEXREGION;
  // One run repeated: a rectangle when the rows leave no gap.
  int height = r.runs.rbegin()->first - r.runs.begin()->first + 1;
  return height == static_cast<int>(r.runs.size()) ? SIMPLEREGION : COMPLEXREGION;
}

void HandleRegion::Count(const std::vector<std::pair<int, int>>& row, int delta) {
  if (row.size() > 1) {
    rows_->multiple += delta;
  } else if (row.size() == 1) {
    // Entries stay at zero rather than being erased: rows change back and forth.
    uint64_t run = static_cast<uint64_t>(static_cast<uint32_t>(row.front().first)) << 32 |
                   static_cast<uint32_t>(row.front().second);
    int& n = rows_->single[run];
    if (n == 0 && delta > 0) ++rows_->distinctSingles;
    n += delta;
    if (n == 0) --rows_->distinctSingles;
  }
}

void HandleRegion::TogglePixel(int x, int y) {
  if (!rows_) {  // switch to rows: bands come in y order, their rectangles in x order
    rows_.emplace();
    for (const RECT& r : region_.Rects())
      for (int row = r.top; row < r.bottom; ++row) rows_->runs[row].push_back({r.left, r.right});
    for (const auto& entry : rows_->runs) Count(entry.second, 1);
  }
  std::vector<std::pair<int, int>>& row = rows_->runs[y];
  Count(row, -1);
  // The first run that ends after x.
  auto it = std::upper_bound(row.begin(), row.end(), x, [](int v, const std::pair<int, int>& run) { return v < run.second; });
  if (it != row.end() && it->first <= x) {  // inside a run: cut the pixel out
    std::pair<int, int> after{x + 1, it->second};
    it->second = x;
    if (after.first < after.second) it = row.insert(it + 1, after) - 1;
    if (it->first == it->second) row.erase(it);
  } else {  // outside: add the pixel, joining the runs that touch it
    bool joinsLeft = it != row.begin() && (it - 1)->second == x;
    bool joinsRight = it != row.end() && it->first == x + 1;
    if (joinsLeft && joinsRight) {
      (it - 1)->second = it->second;
      row.erase(it);
    } else if (joinsLeft) {
      (it - 1)->second = x + 1;
    } else if (joinsRight) {
      it->first = x;
    } else {
      row.insert(it, {x, x + 1});
    }
  }
  if (row.empty()) {
    rows_->runs.erase(y);
  } else {
    Count(row, 1);
  }
}

}  // namespace win32::gdi
