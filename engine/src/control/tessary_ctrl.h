#pragma once
// The engine control: its automation surface (properties, methods, events, browsing hooks), its
// run flags, collections and window. The work behind the surface is done by the classes it owns:
// the editing timeline, and per Save a conversion plan that builds the conversion graph.
#include <vector>

#include "control/cmd_target_ref.h"
#include "conversion/conversion_graph.h"
#include "conversion/flv_temporary_file.h"
#include "conversion/output_settings.h"
#include "media/frame_grabber.h"
#include "dshow/dshow.h"
#include "mfc/afxctl.h"
#include "overlay/overlay_driver.h"
#include "timeline/editing_timeline.h"

class CItemCollection;
class CWMVProfiles;
class CVideoCompressors;
class CAudioCompressors;
class CTransitions;
struct OutputTypeRow;

class CTessaryCtrl : public COleControl {
  DECLARE_DYNCREATE(CTessaryCtrl)
  DECLARE_OLECREATE_EX(CTessaryCtrl)
  DECLARE_DISPATCH_MAP()
  DECLARE_EVENT_MAP()
  DECLARE_INTERFACE_MAP()
  DECLARE_PROPPAGEIDS(CTessaryCtrl)

 public:
  CTessaryCtrl();
  ~CTessaryCtrl() override;

  void DoPropExchange(CPropExchange* pPX) override;
  void OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid) override;
  BOOL OnGetDisplayString(DISPID dispid, CString& strValue) override;
  BOOL OnGetPredefinedStrings(DISPID dispid, CStringArray* pStringArray, CDWordArray* pCookieArray) override;
  BOOL OnGetPredefinedValue(DISPID dispid, DWORD dwCookie, VARIANT* lpvarOut) override;
  HRESULT GetTypeLib(LCID lcid, LPTYPELIB* ppTypeLib) override;

  // The sample grabber's callback, part of the control (it does not count references).
  BEGIN_INTERFACE_PART(SampleGrabberCB, ISampleGrabberCB)
    STDMETHOD(SampleCB)(double SampleTime, IMediaSample* pSample) override;
    STDMETHOD(BufferCB)(double SampleTime, BYTE* pBuffer, LONG BufferLen) override;
  END_INTERFACE_PART(SampleGrabberCB)

  // When a put notifies the container of the change.
  enum class Notify { DesignMode, Always, Never };

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg LRESULT OnGraphNotify(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPreviewGraphNotify(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnConversionDone(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnAppNotify(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  // The control window's timers.
  enum Timer : UINT_PTR {
    kConversionProgressTimer = 1,
    kSoundSaveProgressTimer = 2,
    kPreviewPositionTimer = 8,
  };
  // Messages to the control window: the conversion and preview graphs' notices, the end of a
  // frame grab, and one the control ignores.
  static constexpr UINT kGraphNotifyMessage = WM_USER + 1;
  static constexpr UINT kPreviewNotifyMessage = WM_USER + 2;
  static constexpr UINT kFrameGrabDoneMessage = WM_USER + 30;
  static constexpr UINT kAppNotifyMessage = WM_APP + 20;

  // Puts of properties kept in the control (Property names the storage, see the member table).
  template <class Property, Notify mode>
  static HRESULT StoredPut(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs, UINT count,
                           VARIANT* result);
  // Methods whose work is not there yet: their failure result (FALSE, 0, empty, no object).
  static HRESULT UnavailableCall(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs, UINT count,
                                 VARIANT* result);
  void PropertyStored(DISPID dispid, Notify mode);

  // Properties with more than storing.
  LPDISPATCH GetWMVProfiles();
  LPDISPATCH GetVideoCompressors();
  LPDISPATCH GetAudioCompressors();
  LPDISPATCH GetTransitions();
  BOOL GetEnumTransitions() { return enumTransitions_; }
  void SetEnumTransitions(BOOL bNewValue);
  BOOL GetEnumWMVProfiles() { return enumWMVProfiles_; }
  void SetEnumWMVProfiles(BOOL bNewValue);
  short GetAniGIFVideoQuality() { return settings_.aniGIFVideoQuality; }
  void SetAniGIFVideoQuality(short nNewValue);
  LONG GetParenthWnd() { return 0; }
  void SetParenthWnd(LONG nNewValue);
  BOOL GetSetDivx() { return setDivx_; }
  void SetSetDivx(BOOL bNewValue);
  BOOL GetAspectRatio() { return aspectRatio_; }
  void SetAspectRatio(BOOL bNewValue);

  // Methods.
  BOOL Save(LPCTSTR strFileName);
  void Cancel() { StopProcessing(); }
  void InitControl();
  void Stop() { StopProcessing(); }
  BSTR MPEGStatus() { return CString().AllocSysString(); }
  // Saves of the timeline's sound alone; refused while a conversion or another save runs.
  BOOL Save2Wave(LPCTSTR strOutputFile, short iChannels, LONG iSamplesPerSec, short iBitsPerSample);
  BOOL Save2WMA(LPCTSTR strFileName);
  BOOL Save2MP3(LPCTSTR strOutputFile, LONG iMP3SampleRate, short iMP3BitRate);
  // The RealMedia writer's audiences: LoadRmProfiles appends them to the list on each call.
  void LoadRmProfiles();
  short GetRMProfilesCount() { return short(rmProfileNames_.size()); }
  BSTR GetRMProfileName(short iIndex);
  void AboutBox();

  // The overlay: image and text drawn over the video of the current graph.
  void DrawImage(short iX, short iY, LPCTSTR strImagePath, OLE_COLOR clrTranColor, short iAlphaValue);
  short DrawText(short iX, short iY, LPCTSTR strText);
  void SetHashBrushValue(short iHatchStyle, OLE_COLOR clrForeColor, OLE_COLOR clrBackColor);
  void SetTextureBrushImage(LPCTSTR strImage);
  void SetOutlineTextBackColor(OLE_COLOR clrBack);
  void SetOutlineTextBorderColor(OLE_COLOR clrBorder);
  // The overlay properties' puts reach the filter of the current graph.
  void OverlayPropertyStored(DISPID dispid);
  OverlayTextProperties OverlayText() const;

  // Clip adders and the timeline's length (seconds).
  BOOL AddVideo(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode);
  BOOL AddBgVideo(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode);
  BOOL AddAudio(LPCTSTR strFile, double iAudioStart, double iAudioStop);
  BOOL AddBgAudio(LPCTSTR strFile, double iAudioStart, double iAudioStop);
  BOOL AddVideoWithTran(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode,
                        short iInsertTranID, double iTranDuration);
  BOOL AddAudioWithTran(LPCTSTR strFile, double iAudioStart, double iAudioStop, double iTranDuration);
  BOOL AddVideoWithSlowMotion(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode,
                              double iSlowMotionRate);
  BOOL AddVideoWithSlowMotionMer(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode,
                                 double iSlowMotionRate);
  BOOL AddVideoSlow2(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode,
                     double iSlowMotionRate);
  BOOL AddAudioWithSlowMotion(LPCTSTR strFile, double iAudioStart, double iAudioStop, double iSlowMotionRate);
  BOOL AddAudioWithSlowMotionMer(LPCTSTR strFile, double iAudioStart, short iAudioStop, double iSlowMotionRate);
  BOOL AddAudioSlow2(LPCTSTR strFile, double iAudioStart, double iAudioStop, double iSlowMotionRate);
  double GetTotalDuration();
  // Transitions between the video group's layers and effects on it.
  BOOL AddTransition(short iTransitionID, double iStart, double iStop);
  BOOL AddEffect(LONG iEffectID, double iStart, double iStop, LPCTSTR strParam1, LPCTSTR strParam2,
                 LPCTSTR strParam3, LPCTSTR strParam4);

  // ---- Editing timeline
  // The adders change the timeline only while the control is ready and no conversion runs.
  bool TimelineEditable();
  bool SoundEditable();
  void CreateTimeline();
  // Stops the conversion graph and throws away the clips, the groups, the graph and the timeline.
  void TearDownEditing();

  // ---- Preview and playback
  BOOL Preview();
  void Play();
  void Pause();
  BOOL IsPause();
  void SetPos(double fPos);
  double GetPos();
  void ResizeControl(short iLeft, short iTop, short iWidth, short iHeight);
  void ShowFullScreen(BOOL iFlag);
  BOOL CheckDivxFile(LPCTSTR strFileName);
  HRESULT StartPreviewGraph();
  void ReportPlaying();
  // Places the current graph's video window in the control (attached) or takes it out.
  HRESULT PlaceVideo(bool attach);
  // Stops and lets go of the current graph, preview or conversion: one road for every path.
  void ReleaseGraph();

  // ---- Media information and frame grabbing
  double GetFileDuration(LPCTSTR strFileName);
  short GetFileHeight(LPCTSTR strFileName);
  short GetFileWidth(LPCTSTR strFileName);
  double GetFileFrameRate(LPCTSTR strFileName);
  double GetFileTotalFrame(LPCTSTR strFileName);
  BOOL GetAudioStream(LPCTSTR strFileName);
  LONG GetFrame2HBitmap(LPCTSTR strInputFile, double iSecond);
  LPDISPATCH GetFrame2Picture(LPCTSTR strInputFile, double iSecond);
  LONG GetFrameBySize2HBitmap(LPCTSTR strInputFile, double iSecond, LONG iWidth, LONG iHeight);
  LPDISPATCH GetFrameBySize2Picture(LPCTSTR strInputFile, double iSecond, LONG iWidth, LONG iHeight);
  BOOL GetFrame(LPCTSTR strInputFile, double iSecond, LPCTSTR strImageFile, short iOutputFileType);
  BOOL GetFrameBySize(LPCTSTR strInputFile, double iSecond, LPCTSTR strImageFile, LONG iWidth, LONG iHeight,
                      short iOutputFileType);
  void ReleasePictureBox(LPDISPATCH pic);
  // One sample of a frame-range grab: written as an image named by its time while inside the
  // window; past it the grab ends.
  HRESULT FrameRangeSample(double sampleTime, BYTE* buffer, LONG length);
  void StopFrameGrabber();
  // The grabbed frame handed out: the caller owns it.
  HBITMAP GrabFrame(LPCTSTR file, double seconds, const GrabRequest& request);
  LPDISPATCH PictureOf(HBITMAP bitmap);

  // ---- Conversion
  HRESULT BuildConversionGraph(const OutputTypeRow& type, LPCTSTR name);
  void ReportProgress();
  // Runs the graph a sound save built (build: its result); TRUE when it runs.
  bool SoundSaveAllowed();
  BOOL RunSoundSave(HRESULT build);
  void ReportSoundSaveProgress();
  // Reads the conversion graph's waiting notices: whether one ended the conversion, and how.
  enum class GraphEnd { Running, Finished, Failed };
  GraphEnd ReadGraphNotices();
  // Removes the output of a failed conversion and tells the user.
  void DiscardIncompleteOutput();
  // Ends the current conversion; the container calls InitControl before the next one. aborted:
  // the conversion did not run to its end (stopped, cancelled, failed).
  void StopProcessing(bool aborted = true);
  // The collection an index property points into and the index (null for other members).
  CItemCollection* IndexedCollection(DISPID dispid, short*& index);

  // ---- Collections (created here, filled when the window is made; a client's reference keeps one
  // alive after the control)
  CmdTargetRef<CWMVProfiles> wmvProfiles_;
  CmdTargetRef<CVideoCompressors> videoCompressors_;
  CmdTargetRef<CAudioCompressors> audioCompressors_;
  CmdTargetRef<CTransitions> transitions_;
  CString firstVideoCompressor_;
  CString firstAudioCompressor_;

  // ---- Run flags
  BOOL ready_ = FALSE;
  BOOL busy_ = FALSE;

  // ---- The work behind the surface
  EditingTimeline timeline_;
  ConversionGraph graph_;
  // The current graph is the preview's (its notices come as kPreviewNotifyMessage).
  bool previewing_ = false;
  // Full screen at the next placement of the video window.
  bool fullScreen_ = false;
  OverlayDriver overlay_;
  FrameGrabber frameGrabber_;
  // A frame-range grab through the sample grabber's callback (nothing sets one up yet): the
  // grabber, where and in what the frames go, the window of times, the length reported.
  ComPtr<ISampleGrabber> callbackGrabber_;
  GrabRequest callbackRequest_;
  CString outputFolder_;
  double windowStart_ = 0;
  double windowEnd_ = 0;
  double callbackDuration_ = 0;
  // GDI+ is up for the control's life: the overlay filter and the frame grabber draw with it.
  ULONG_PTR gdiplusToken_ = 0;
  // The name given to the last Save.
  CString outputFile_;
  // Where an FLV conversion writes until it stops.
  FlvTemporaryFile flvTemporary_;
  // The RealMedia audiences listed so far.
  std::vector<CString> rmProfileNames_;

  // ---- Properties: what a conversion makes, and the others in member id order
  OutputSettings settings_;
  short transition_ = 0;
  BOOL enumTransitions_ = TRUE;
  BOOL enumWMVProfiles_ = TRUE;
  BOOL aspectRatio_ = TRUE;
  LONG parenthWnd_ = 0;
  double prePos_ = 0.0;
  BYTE setDivx_ = FALSE;
  // Exchanged with the others; nothing reads it.
  short effect_ = 0;
};
