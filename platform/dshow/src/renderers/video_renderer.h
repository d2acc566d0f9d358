#pragma once
// The Video Renderer: draws uncompressed RGB frames into a window of its own on the screen.
//
// The window belongs to the thread that created the renderer; the application drives it through
// IVideoWindow and IBasicVideo2 on that thread. Frames arrive on a streaming thread, which keeps
// the newest frame under a lock, scales it to the size the window last drew at and posts the
// window a message; the window thread only copies the scaled picture to the screen (and again on
// WM_PAINT, scaling the kept frame itself when the size or the part shown has changed since).
// With a reference clock each frame waits for its presentation time; without one frames are
// shown as they come. While paused the first frame is shown and the stream holds until the graph
// runs, stops or flushes. Without a clock, a frame that comes within a screen refresh of the last
// one drawn is kept but not drawn: a person could not see it. When no newer frame follows within
// a refresh, the window's timer draws it (the end of the stream draws it at once).
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "dshow/sink_filter.h"
#include "scaled_picture.h"
#include "win32/windows.h"

namespace dshow::renderers {

class VideoRenderer : public filters::SinkFilter, public IVideoWindow, public IBasicVideo2, public IQualProp {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);
  static CUnknown* CreateMixingInstance(LPUNKNOWN outer, HRESULT* phr);
  ~VideoRenderer() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;
  STDMETHODIMP Run(REFERENCE_TIME tStart) override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Stop() override;

  // IDispatch (the interfaces are used through their vtables only).
  STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IVideoWindow
  STDMETHODIMP put_Caption(BSTR strCaption) override;
  STDMETHODIMP get_Caption(BSTR* strCaption) override;
  STDMETHODIMP put_WindowStyle(LONG WindowStyle) override;
  STDMETHODIMP get_WindowStyle(LONG* WindowStyle) override;
  STDMETHODIMP put_WindowStyleEx(LONG WindowStyleEx) override;
  STDMETHODIMP get_WindowStyleEx(LONG* WindowStyleEx) override;
  STDMETHODIMP put_AutoShow(LONG AutoShow) override;
  STDMETHODIMP get_AutoShow(LONG* AutoShow) override;
  STDMETHODIMP put_WindowState(LONG WindowState) override;
  STDMETHODIMP get_WindowState(LONG* WindowState) override;
  STDMETHODIMP put_BackgroundPalette(LONG BackgroundPalette) override;
  STDMETHODIMP get_BackgroundPalette(LONG* pBackgroundPalette) override;
  STDMETHODIMP put_Visible(LONG Visible) override;
  STDMETHODIMP get_Visible(LONG* pVisible) override;
  STDMETHODIMP put_Left(LONG Left) override;
  STDMETHODIMP get_Left(LONG* pLeft) override;
  STDMETHODIMP put_Width(LONG Width) override;
  STDMETHODIMP get_Width(LONG* pWidth) override;
  STDMETHODIMP put_Top(LONG Top) override;
  STDMETHODIMP get_Top(LONG* pTop) override;
  STDMETHODIMP put_Height(LONG Height) override;
  STDMETHODIMP get_Height(LONG* pHeight) override;
  STDMETHODIMP put_Owner(OAHWND Owner) override;
  STDMETHODIMP get_Owner(OAHWND* Owner) override;
  STDMETHODIMP put_MessageDrain(OAHWND Drain) override;
  STDMETHODIMP get_MessageDrain(OAHWND* Drain) override;
  STDMETHODIMP get_BorderColor(LONG* Color) override;
  STDMETHODIMP put_BorderColor(LONG Color) override;
  STDMETHODIMP get_FullScreenMode(LONG* FullScreenMode) override;
  STDMETHODIMP put_FullScreenMode(LONG FullScreenMode) override;
  STDMETHODIMP SetWindowForeground(LONG Focus) override;
  STDMETHODIMP NotifyOwnerMessage(OAHWND hwnd, LONG uMsg, LONG_PTR wParam, LONG_PTR lParam) override;
  STDMETHODIMP SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height) override;
  STDMETHODIMP GetWindowPosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) override;
  STDMETHODIMP GetMinIdealImageSize(LONG* pWidth, LONG* pHeight) override;
  STDMETHODIMP GetMaxIdealImageSize(LONG* pWidth, LONG* pHeight) override;
  STDMETHODIMP GetRestorePosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) override;
  STDMETHODIMP HideCursor(LONG HideCursor) override;
  STDMETHODIMP IsCursorHidden(LONG* CursorHidden) override;

  // IBasicVideo2
  STDMETHODIMP get_AvgTimePerFrame(REFTIME* pAvgTimePerFrame) override;
  STDMETHODIMP get_BitRate(LONG* pBitRate) override;
  STDMETHODIMP get_BitErrorRate(LONG* pBitErrorRate) override;
  STDMETHODIMP get_VideoWidth(LONG* pVideoWidth) override;
  STDMETHODIMP get_VideoHeight(LONG* pVideoHeight) override;
  STDMETHODIMP put_SourceLeft(LONG SourceLeft) override;
  STDMETHODIMP get_SourceLeft(LONG* pSourceLeft) override;
  STDMETHODIMP put_SourceWidth(LONG SourceWidth) override;
  STDMETHODIMP get_SourceWidth(LONG* pSourceWidth) override;
  STDMETHODIMP put_SourceTop(LONG SourceTop) override;
  STDMETHODIMP get_SourceTop(LONG* pSourceTop) override;
  STDMETHODIMP put_SourceHeight(LONG SourceHeight) override;
  STDMETHODIMP get_SourceHeight(LONG* pSourceHeight) override;
  STDMETHODIMP put_DestinationLeft(LONG DestinationLeft) override;
  STDMETHODIMP get_DestinationLeft(LONG* pDestinationLeft) override;
  STDMETHODIMP put_DestinationWidth(LONG DestinationWidth) override;
  STDMETHODIMP get_DestinationWidth(LONG* pDestinationWidth) override;
  STDMETHODIMP put_DestinationTop(LONG DestinationTop) override;
  STDMETHODIMP get_DestinationTop(LONG* pDestinationTop) override;
  STDMETHODIMP put_DestinationHeight(LONG DestinationHeight) override;
  STDMETHODIMP get_DestinationHeight(LONG* pDestinationHeight) override;
  STDMETHODIMP SetSourcePosition(LONG Left, LONG Top, LONG Width, LONG Height) override;
  STDMETHODIMP GetSourcePosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) override;
  STDMETHODIMP SetDefaultSourcePosition() override;
  STDMETHODIMP SetDestinationPosition(LONG Left, LONG Top, LONG Width, LONG Height) override;
  STDMETHODIMP GetDestinationPosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) override;
  STDMETHODIMP SetDefaultDestinationPosition() override;
  STDMETHODIMP GetVideoSize(LONG* pWidth, LONG* pHeight) override;
  STDMETHODIMP GetVideoPaletteEntries(LONG StartIndex, LONG Entries, LONG* pRetrieved, LONG* pPalette) override;
  // A packed DIB of the frame on screen: BITMAPINFOHEADER, the colour masks of 16-bit 5-6-5
  // frames, the rows. With pDIBImage NULL only the size is returned.
  STDMETHODIMP GetCurrentImage(LONG* pBufferSize, LONG* pDIBImage) override;
  STDMETHODIMP IsUsingDefaultSource() override;
  STDMETHODIMP IsUsingDefaultDestination() override;
  STDMETHODIMP GetPreferredAspectRatio(LONG* plAspectX, LONG* plAspectY) override;

  // IQualProp: counts since the filter last left the stopped state. A frame that came while
  // nothing of the window could be seen is neither drawn nor dropped.
  STDMETHODIMP get_FramesDroppedInRenderer(int* pcFrames) override;
  STDMETHODIMP get_FramesDrawn(int* pcFramesDrawn) override;
  STDMETHODIMP get_AvgFrameRate(int*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Jitter(int*) override { return E_NOTIMPL; }
  STDMETHODIMP get_AvgSyncOffset(int*) override { return E_NOTIMPL; }
  STDMETHODIMP get_DevSyncOffset(int*) override { return E_NOTIMPL; }

 private:
  // One of left, top, width and height (0 to 3) of a rectangle kept behind a Get/Set pair.
  using RectGetter = HRESULT (VideoRenderer::*)(LONG*, LONG*, LONG*, LONG*);
  using RectSetter = HRESULT (VideoRenderer::*)(LONG, LONG, LONG, LONG);
  HRESULT GetRectPart(RectGetter get, int part, LONG* value);
  HRESULT PutRectPart(RectGetter get, RectSetter set, int part, LONG value);

  class InputPin : public CBaseInputPin {
   public:
    InputPin(VideoRenderer* filter, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    // The renderer keeps the newest sample: the allocator needs one buffer more than it would.
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) override;

   private:
    VideoRenderer* filter_;
  };

  // The picture layout of the connected type.
  struct Format {
    // The header and the masks as one BITMAPINFO.
    struct Dib {
      BITMAPINFOHEADER header;
      DWORD masks[3];
      const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
    };
    Dib ToDib() const { return {header, {masks[0], masks[1], masks[2]}}; }

    BITMAPINFOHEADER header{};
    DWORD masks[3]{};  // 16-bit 5-6-5 only
    bool bitfields = false;
    REFERENCE_TIME frameTime = 0;
    DWORD bitRate = 0;
    DWORD bitErrorRate = 0;
  };

  // What other threads post to the window.
  static constexpr UINT kFrameMessage = WM_APP;         // a new frame is waiting to be drawn
  static constexpr UINT kShowMessage = WM_APP + 1;      // the graph started on another thread: show the window
  static constexpr UINT kHeldBackMessage = WM_APP + 2;  // a frame was held back: start the timer
  static constexpr UINT_PTR kHeldBackTimer = 1;
  // A screen refresh: nobody sees frames drawn closer together than this.
  static constexpr REFERENCE_TIME kShowInterval = UNITS / 60;

  VideoRenderer(LPUNKNOWN outer, HRESULT* phr, REFCLSID clsid);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  static bool ReadFormat(const CMediaType& mt, Format* out);
  HRESULT DeliverFrame(IMediaSample* sample);
  // Waits until the frame starting at stream time start is due; false when it is to be
  // dropped (stopped or flushing) or was shown already while paused.
  bool WaitUntilDue(IMediaSample* sample, bool hasTime, REFERENCE_TIME start);
  // Keeps the frame as the newest and, promptly or when a refresh has passed since the last one
  // drawn, scales it and has the window draw it.
  void Present(IMediaSample* sample, const BYTE* data, bool promptly);
  // The end of the stream: a frame held back is drawn now rather than by the timer.
  void ShowHeldBack();
  // The window thread's timer: draws the frame held back once no newer frame has come for a while.
  void OnHeldBackTimer(HWND hwnd);
  // Draws the newest frame as a frame of the stream, counting it drawn.
  void DrawFrame(HWND hwnd);
  // The newest frame's rows, from the kept sample or the copy; frameLock_ held.
  const BYTE* FrameBits() const;
  // Copies the kept sample's frame and hands the sample back to its allocator; frameLock_ held.
  void LetGoOfSample();
  // False when nothing of the window could be seen, so nothing was drawn. Presenting, the frame
  // waiting to be shown is taken as drawn in the same hold of frameLock_ that reads its rows, so a
  // frame arriving meanwhile is counted either dropped or drawn, never neither.
  bool Paint(HDC dc, bool presenting = false);
  // Copies the scaled picture of the newest frame to dst, scaling it first when the one kept was
  // made for another size or part or from an older frame. False when it could not be scaled.
  bool DrawScaled(HDC dc, const RECT& dst, const RECT& src, bool presenting);
  // The frame waiting to be shown is on its way to the screen; frameLock_ held.
  void TakeWaitingFrame() { paintPosted_ = heldBack_ = false; }
  RECT DrawRect();    // where the picture goes in the client area
  RECT SourceRect();  // the part of the frame shown, top-down
  bool OnWindowThread() const;
  void ShowOnStart();
  void LeaveFullScreen(bool notify);
  HRESULT CheckConnected() const;
  // Leaving the stopped state: the counts start again and the first frame is drawn as it comes.
  void ResetForStart();

  std::unique_ptr<InputPin> input_;
  Format format_;  // set while connecting, before streaming

  // What the window found when it last painted: where the streaming thread scales frames to.
  struct Sight {
    bool seen = false;    // something of the window can be seen
    bool scaled = false;  // something can be seen and the picture lies inside the client area
    LONG width = 0;
    LONG height = 0;
    RECT source{};
  };

  // The newest frame and its picture as the window shows it, handed from the streaming thread to
  // the window thread. While the filter runs or is paused the frame's sample itself is kept when
  // its allocator has a buffer to spare, rather than copying every frame; it goes back (copied
  // first) on Stop and on a flush.
  mutable std::mutex frameLock_;
  ComPtr<IMediaSample> sample_;
  std::vector<BYTE> frame_;  // when no sample is kept
  bool haveFrame_ = false;
  bool keepSamples_ = false;
  std::unique_ptr<ScaledPicture> shown_ = std::make_unique<ScaledPicture>();
  bool shownIsNewest_ = false;  // shown_ was drawn from the newest frame
  Sight sight_;
  bool paintPosted_ = false;
  bool heldBack_ = false;  // the newest frame came too soon after the last one drawn
  bool timerArmed_ = false;  // the window's timer watches for the end of a burst
  static constexpr REFERENCE_TIME kNeverShown = INT64_MIN / 2;
  REFERENCE_TIME lastShown_ = kNeverShown;  // process clock
  REFERENCE_TIME lastArrival_ = 0;
  int framesDrawn_ = 0;
  int framesDropped_ = 0;

  // The streaming thread's own: the arriving frame's copy and the picture it is scaled into.
  std::vector<BYTE> incoming_;
  std::unique_ptr<ScaledPicture> nextPicture_ = std::make_unique<ScaledPicture>();

  // Streaming state mirrored for the streaming thread.
  std::mutex streamLock_;
  std::condition_variable streamWake_;
  FILTER_STATE streamState_ = State_Stopped;
  bool flushing_ = false;
  // The frame on screen is the paused picture: the first frame since the start or a flush, or
  // the last one presented while running.
  bool shownWhilePaused_ = false;
  REFERENCE_TIME runStart_ = 0;
  ComPtr<IReferenceClock> runClock_;  // while running

  // The window and the state the application sets through IVideoWindow and IBasicVideo2.
  HWND hwnd_ = nullptr;
  DWORD windowThread_ = 0;
  HWND owner_ = nullptr;
  HWND drain_ = nullptr;
  bool autoShow_ = true;
  bool placed_ = false;  // the application has positioned the window
  COLORREF border_ = RGB(0, 0, 0);
  LONG backgroundPalette_ = OAFALSE;
  bool cursorHidden_ = false;
  bool fullScreen_ = false;
  struct Saved {
    HWND parent;
    LONG style;
    LONG exStyle;
    RECT rect;  // parent client coordinates
    bool visible;
  } beforeFullScreen_{};
  RECT source_{};
  bool defaultSource_ = true;
  RECT dest_{};
  bool defaultDest_ = true;
};

}  // namespace dshow::renderers
