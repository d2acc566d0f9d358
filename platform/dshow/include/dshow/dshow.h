#pragma once
// The media framework: streaming interfaces, the graph's control interfaces, identifiers, result
// and event codes, and the base classes filters are written on.
//
// How the filter graph manager (CLSID_FilterGraph) treats its filters:
// - Renderers are the filters answering IAMFilterMiscFlags with AM_FILTER_MISC_FLAGS_IS_RENDERER,
//   and filters with connected inputs and no output pins. Each sends EC_COMPLETE (NotifyEvent)
//   when its streams have ended; the application gets one EC_COMPLETE once all of them have.
//   A stream that cannot go on sends EC_ERRORABORT with the failure code.
// - State changes go downstream first: renderers stop before the filters feeding them, so a
//   stopped renderer refuses samples and a decommitted allocator frees threads waiting for
//   buffers. Stop and the graph's final release return after every streaming thread has ended.
// - Seeking goes to the sources (filters with connected outputs and no connected inputs): to
//   IMediaSeeking of their connected output pins, else of the filter. The current position is
//   the smallest GetCurrentPosition answer (S_OK, the graph's time format) of the filters with
//   connected inputs that answer IMediaSeeking; without one, the clock's stream time from
//   where the run began; without a clock, that start.
// - The clock is a renderer's IReferenceClock, else the system clock, unless the application
//   chose one with IMediaFilter::SetSyncSource (NULL: none, the graph runs as fast as it can).
// - AddSourceFilter takes the class named by HKCR\Media Type\Extensions\.ext "Source
//   Filter", else CLSID_CorvaneFileSource; the filter must offer IFileSourceFilter.
// - Connect and Render insert the candidates of filter_catalog.h.
// - IVideoWindow, IBasicVideo(2) and IBasicAudio asked of the graph come from the newest filter
//   that offers them.
#include "dshow/strmif.h"
#include "dshow/control.h"
#include "dshow/uuids.h"
#include "dshow/evcode.h"
#include "dshow/vfwmsgs.h"
#include "dshow/amvideo.h"
#include "dshow/sample_grabber.h"
#include "dshow/wxutil.h"
#include "dshow/reftime.h"
#include "dshow/combase.h"
#include "dshow/mtype.h"
#include "dshow/amfilter.h"
#include "dshow/transfrm.h"
#include "dshow/transip.h"
#include "dshow/source.h"
#include "dshow/ctlutil.h"
#include "dshow/dllsetup.h"
#include "dshow/filter_catalog.h"
