#pragma once
// The editing timeline the conversion renders: a video group and, when the output has sound, an
// audio group with a main and a background layer; the clip adders with their start-time
// arithmetic, and the records of the clips added.
//
// Every adder keeps its clip's record before it touches the timeline, and the record stays even
// when placing the clip fails, so it counts in every later start.
#include <vector>

#include "conversion/output_settings.h"
#include "des/qedit.h"
#include "ole/comptr.h"
#include "timeline/effect_tables.h"

class CTransitions;

class EditingTimeline {
 public:
  struct ClipRecord {
    double mediaStart;
    double mediaStop;
  };
  struct VideoClipRecord : ClipRecord {
    // Set by AddVideoWithTransition only: the transition window at the clip's end and its
    // placement.
    double overlapStart = 0;
    double overlapStop = 0;
    double timelineStart = 0;
    double timelineStop = 0;
    bool hasOverlap = false;
    bool hasPlacement = false;
  };
  struct ClipPlacement {
    CString file;
    double timelineStart;
    double timelineStop;
    double mediaStart;
    double mediaStop;
  };
  // The clips of AddVideo and AddAudio and their kin, or those of AddBgVideo and AddBgAudio.
  enum class Layer { Main, Background };
  // How an adder stretches its clip: not, in place, or with later starts scaled too.
  enum class Stretch { None, SlowMotion, SlowMotionScaledStart };

  // A new timeline object, without groups; false when none could be made.
  bool Create();
  // The video group in the settings' picture and, when they have sound, the audio group with its
  // two layers.
  void AddGroups(const OutputSettings& settings);
  // Forgets the clips and lets go of the groups and their compositions and tracks.
  void ReleaseClips();
  // Empties the timeline object and lets go of it.
  void Release();

  IAMTimeline* Get() const { return timeline_.get(); }
  // The length in seconds; 0 without a timeline.
  double Duration() const;

  // Each video clip gets a track of its own, in front of the ones before it. TRUE when the clip
  // was placed.
  bool AddVideo(Layer layer, LPCTSTR file, double start, double stop, short stretchMode, Stretch stretch,
                double rate);
  // Sound goes on the layer's one track. TRUE once the clip is recorded, whatever the editing
  // services answer.
  bool AddAudio(Layer layer, LPCTSTR file, double start, double stop, Stretch stretch, double rate);
  // A video clip that overlaps the one before by that clip's transition, with a transition of its
  // own at its end (the collection's item, or a numbered one laid by the effects; -1: none).
  // graphStateKnown: whether the conversion graph's state could be read; without it a clip
  // without transition is only recorded.
  bool AddVideoWithTransition(LPCTSTR file, double start, double stop, short stretchMode, short transition,
                              double transitionSeconds, const CTransitions& transitions, bool graphStateKnown);
  // A sound clip on a track of its own in the main layer, over the span of the last video clip
  // placed with a transition. TRUE once recorded.
  bool AddAudioWithTransition(LPCTSTR file, double start, double stop);
  // A transition between the video group's layers over [start, stop), from black. False when no
  // node could be made or the editing services refuse it (it overlaps another on the group).
  bool AddTransition(const CLSID& transition, double start, double stop);
  // An effect on the whole video group over [start, stop), after the effects before it. False
  // when the editing services refuse it.
  bool AddEffect(const EffectChoice& effect, double start, double stop);

 private:
  HRESULT NewVideoTrack(IAMTimelineComp* comp, ComPtr<IAMTimelineTrack>* track);
  HRESULT AddSourceClip(IAMTimelineTrack* track, const ClipPlacement& placement, int stretchMode);
  HRESULT AddSlowMotionSource(IAMTimelineTrack* track, ClipPlacement placement, int stretchMode, double rate);
  HRESULT AddSourceWithTransition(IAMTimelineTrack* track, const ClipPlacement& placement, int stretchMode,
                                  double overlapSeconds, double* overlapStart, double* overlapStop);
  HRESULT AddTransitionNode(IAMTimelineTrack* track, const CLSID& transition, double start, double stop);
  // A numbered preset on the clip's track over the window, from this clip to the one below.
  bool ApplyTransitionByNumber(const EffectChoice& preset, double start, double stop, IAMTimelineTrack* track);
  // Hands the values to the node through a property setter; without one the node keeps its
  // class's defaults.
  void AttachValues(IAMTimelineObj* node, const NamedValues& values);

  ComPtr<IAMTimeline> timeline_;
  ComPtr<IAMTimelineObj> videoGroup_;
  // The video group's composition, held once per layer.
  ComPtr<IAMTimelineComp> videoComp_;
  ComPtr<IAMTimelineComp> bgVideoComp_;
  ComPtr<IAMTimelineObj> audioGroup_;
  ComPtr<IAMTimelineComp> audioComp_;
  ComPtr<IAMTimelineTrack> audioTrack_;
  ComPtr<IAMTimelineComp> bgAudioComp_;
  ComPtr<IAMTimelineTrack> bgAudioTrack_;
  std::vector<VideoClipRecord> videoClips_;
  std::vector<ClipRecord> audioClips_;
  std::vector<VideoClipRecord> bgVideoClips_;
  std::vector<ClipRecord> bgAudioClips_;
};
