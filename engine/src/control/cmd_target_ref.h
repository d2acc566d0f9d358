#pragma once
// One reference to a framework automation object, let go when the holder goes; others' references
// keep the object alive after that.
#include <memory>

#include "mfc/afxdisp_ctl.h"

struct CmdTargetRelease {
  void operator()(CCmdTarget* target) const { mfc::disp::InternalRelease(target); }
};

template <class Target>
using CmdTargetRef = std::unique_ptr<Target, CmdTargetRelease>;
