#include <atomic>

#include "gdiplus/gdiplus.h"
#include "pixels.h"

namespace gdiplus {
namespace {

std::atomic<int> startups{0};
std::atomic<ULONG_PTR> nextToken{1};

}  // namespace

bool Started() { return startups.load() > 0; }

}  // namespace gdiplus

namespace Gdiplus {

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
  if (!token || !input) return InvalidParameter;
  if (input->GdiplusVersion != 1) return UnsupportedGdiplusVersion;
  // The background thread is never needed here, so the caller's hooks stay empty.
  if (input->SuppressBackgroundThread) {
    if (!output) return InvalidParameter;
    *output = GdiplusStartupOutput{};
  }
  *token = gdiplus::nextToken++;
  ++gdiplus::startups;
  return Ok;
}

void GdiplusShutdown(ULONG_PTR token) {
  if (token == 0) return;
  int count = gdiplus::startups.load();
  while (count > 0 && !gdiplus::startups.compare_exchange_weak(count, count - 1)) {
  }
}

}  // namespace Gdiplus
