#include "gdi/banded_region.h"

#include <algorithm>

namespace win32::gdi {

Region::Region() { pixman_region32_init(&region_); }

Region::Region(const RECT& rect) : Region(rect.left, rect.top, rect.right, rect.bottom) {}

Region::Region(int left, int top, int right, int bottom) {
  left = Coordinate(left), top = Coordinate(top), right = Coordinate(right), bottom = Coordinate(bottom);
  if (left < right && top < bottom) {
    pixman_region32_init_rect(&region_, left, top, static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top));
  } else {
    pixman_region32_init(&region_);
  }
}

Region::Region(const Region& other) {
  pixman_region32_init(&region_);
  pixman_region32_copy(&region_, const_cast<pixman_region32_t*>(&other.region_));
}

Region::Region(Region&& other) noexcept : Region() { std::swap(region_, other.region_); }

Region& Region::operator=(const Region& other) {
  if (this != &other) pixman_region32_copy(&region_, const_cast<pixman_region32_t*>(&other.region_));
  return *this;
}

Region& Region::operator=(Region&& other) noexcept {
  std::swap(region_, other.region_);
  return *this;
}

Region::~Region() { pixman_region32_fini(&region_); }

Region Region::FromRects(const std::vector<RECT>& rects) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(rects.size());
  for (const RECT& r : rects) {
    if (r.left < r.right && r.top < r.bottom) boxes.push_back({r.left, r.top, r.right, r.bottom});
  }
  Region result;
  pixman_region32_fini(&result.region_);
  pixman_region32_init_rects(&result.region_, boxes.data(), static_cast<int>(boxes.size()));
  return result;
}

void Region::RunBuilder::AddRun(int y, int left, int right) {
  if (left >= right) return;
  if (!haveRow_ || y != rowY_) {
    if (haveRow_) CloseRow();
    haveRow_ = true;
    rowY_ = y;
  }
  if (!row_.empty() && row_.back() >= left) {  // touching or overlapping the previous run
    row_.back() = std::max(row_.back(), right);
    return;
  }
  row_.push_back(left);
  row_.push_back(right);
}

void Region::RunBuilder::CloseRow() {
  // A row equal to the band above it (and directly below it) only makes that band taller.
  bool extends = !boxes_.empty() && row_ == previous_ && boxes_.back().y2 == rowY_;
  if (extends) {
    for (size_t i = bandStart_; i < boxes_.size(); ++i) boxes_[i].y2 = rowY_ + 1;
  } else if (!row_.empty()) {
    bandStart_ = boxes_.size();
    for (size_t i = 0; i < row_.size(); i += 2) boxes_.push_back({row_[i], rowY_, row_[i + 1], rowY_ + 1});
    previous_.swap(row_);
  }
  row_.clear();
}

Region Region::RunBuilder::Finish() {
  if (haveRow_) CloseRow();
  haveRow_ = false;
  Region result;
  pixman_region32_fini(&result.region_);
  pixman_region32_init_rects(&result.region_, boxes_.data(), static_cast<int>(boxes_.size()));
  boxes_.clear();
  previous_.clear();
  return result;
}

bool Region::IsEmpty() const { return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&region_)); }

int Region::Type() const {
  int n = pixman_region32_n_rects(const_cast<pixman_region32_t*>(&region_));
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT Region::Box() const {
  if (IsEmpty()) return RECT{0, 0, 0, 0};
  const pixman_box32_t* b = pixman_region32_extents(const_cast<pixman_region32_t*>(&region_));
  return RECT{b->x1, b->y1, b->x2, b->y2};
}

std::vector<RECT> Region::Rects() const {
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(&region_), &n);
  std::vector<RECT> rects;
  rects.reserve(n);
  for (int i = 0; i < n; ++i) rects.push_back(RECT{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
  return rects;
}

bool Region::Contains(int x, int y) const {
  return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&region_), x, y, nullptr);
}

bool Region::Intersects(const RECT& rect) const {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return false;
  pixman_box32_t box{rect.left, rect.top, rect.right, rect.bottom};
  return pixman_region32_contains_rectangle(const_cast<pixman_region32_t*>(&region_), &box) != PIXMAN_REGION_OUT;
}

bool Region::operator==(const Region& other) const {
  return pixman_region32_equal(const_cast<pixman_region32_t*>(&region_),
                               const_cast<pixman_region32_t*>(&other.region_));
}

void Region::Offset(int dx, int dy) { pixman_region32_translate(&region_, dx, dy); }

Region Region::Intersect(const Region& other) const {
  Region r;
  pixman_region32_intersect(&r.region_, const_cast<pixman_region32_t*>(&region_),
                            const_cast<pixman_region32_t*>(&other.region_));
  return r;
}

Region Region::Union(const Region& other) const {
  Region r;
  pixman_region32_union(&r.region_, const_cast<pixman_region32_t*>(&region_),
                        const_cast<pixman_region32_t*>(&other.region_));
  return r;
}

Region Region::Subtract(const Region& other) const {
  Region r;
  pixman_region32_subtract(&r.region_, const_cast<pixman_region32_t*>(&region_),
                           const_cast<pixman_region32_t*>(&other.region_));
  return r;
}

Region Region::Xor(const Region& other) const { return Union(other).Subtract(Intersect(other)); }

Region Region::Combine(const Region& other, int mode) const {
  switch (mode) {
    case RGN_AND: return Intersect(other);
    case RGN_OR: return Union(other);
    case RGN_XOR: return Xor(other);
    case RGN_DIFF: return Subtract(other);
    default: return *this;
  }
}

}  // namespace win32::gdi
