// Movies, tracks and media: their facts, descriptions, sample times and samples.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "media_reader.h"
#include "movie.h"
#include "runtime.h"
#include "sound_formats.h"

namespace {

using quicktime::media::Sample;
using quicktime::runtime::SetMoviesError;

// Sound whose samples are single sample frames: an uncompressed format counted in frames.
int FrameBytes(const MediaRecord* media) {
  if (media->video || !quicktime::sound::IsUncompressed(media->sound.format)) return 0;
  if (std::lround(media->sound.sampleRate) != media->timeScale) return 0;
  return media->sound.channels * ((media->sound.sampleSize + 7) / 8);
}

int32_t ClampCount(int64_t n) { return int32_t(std::clamp<int64_t>(n, 0, INT32_MAX)); }

// The sample of the table covering media time t (the last one starting at or before it).
const Sample* Covering(const std::vector<Sample>& samples, int64_t t) {
  auto it = std::upper_bound(samples.begin(), samples.end(), t, [](int64_t v, const Sample& s) { return v < s.dts; });
  return it == samples.begin() ? nullptr : &*(it - 1);
}

// Next (rate > 0) or previous sample start among ascending times; -1 when there is none.
int64_t NextTime(const std::vector<int64_t>& times, int64_t t, bool forward, bool edgeOk) {
  if (forward) {
    auto it = edgeOk ? std::lower_bound(times.begin(), times.end(), t) : std::upper_bound(times.begin(), times.end(), t);
    return it == times.end() ? -1 : *it;
  }
  auto it = edgeOk ? std::upper_bound(times.begin(), times.end(), t) : std::lower_bound(times.begin(), times.end(), t);
  return it == times.begin() ? -1 : *(it - 1);
}

void Describe(MediaRecord* media, SampleDescriptionHandle descH) {
  if (media->video) {
    SetHandleSize(reinterpret_cast<Handle>(descH), sizeof(ImageDescription));
    if (MemError() != noErr) {
      SetMoviesError(memFullErr);
      return;
    }
    auto* d = reinterpret_cast<ImageDescription*>(*descH);
    std::memset(d, 0, sizeof *d);
    d->idSize = sizeof(ImageDescription);
    d->cType = media->image.codec;
    d->dataRefIndex = 1;
    d->width = int16_t(std::clamp(media->image.width, 0, 32767));
    d->height = int16_t(std::clamp(media->image.height, 0, 32767));
    d->hRes = d->vRes = 72 << 16;
    d->frameCount = 1;
    d->depth = int16_t(media->image.depth);
    d->clutID = -1;
    SetMoviesError(noErr);
    return;
  }
  const SoundFacts& s = media->sound;
  if (!(s.sampleRate < 65536.0)) {  // beyond what the description's rate field holds
    SetMoviesError(badImageDescription);
    return;
  }
  const size_t size = sizeof(SoundDescription) + s.wave.size();
  SetHandleSize(reinterpret_cast<Handle>(descH), Size(size));
  if (MemError() != noErr) {
    SetMoviesError(memFullErr);
    return;
  }
  auto* d = reinterpret_cast<SoundDescription*>(*descH);
  std::memset(d, 0, sizeof *d);
  d->descSize = int32_t(size);
  d->dataFormat = s.format;
  d->dataRefIndex = 1;
  d->numChannels = int16_t(s.channels);
  d->sampleSize = int16_t(s.sampleSize);
  d->compressionID = int16_t(s.compressionId);
  d->sampleRate = UnsignedFixed(s.sampleRate * 65536.0);
  if (!s.wave.empty()) std::memcpy(reinterpret_cast<uint8_t*>(d) + sizeof *d, s.wave.data(), s.wave.size());
  SetMoviesError(noErr);
}

// Uncompressed sound: the frames from time t on, across the stored chunks.
OSErr ReadFrames(MediaRecord* media, Handle dataOut, int32_t maxSize, int32_t* size, TimeValue t, int32_t maxNumber,
                 int32_t* count) {
  quicktime::media::SampleReader* reader = media->Reader();
  const std::vector<Sample>& chunks = reader->Samples();
  const int64_t frameBytes = FrameBytes(media);
  const Sample* chunk = Covering(chunks, t);
  if (!chunk || t >= chunk->dts + chunk->size / frameBytes) return invalidTime;
  if (maxSize > 0 && maxSize < frameBytes) return maxSizeToGrowTooSmall;
  // Without a limit, the rest of the chunk.
  int64_t frames = maxSize > 0 ? maxSize / frameBytes : chunk->dts + chunk->size / frameBytes - t;
  if (maxNumber > 0) frames = std::min<int64_t>(frames, maxNumber);
  std::vector<uint8_t> bytes;
  int64_t at = t;
  const size_t first = size_t(chunk - chunks.data());
  for (size_t i = first; i < chunks.size() && at - t < frames; ++i) {
    const Sample& c = chunks[i];
    if (i > first && c.dts != at) break;  // a gap ends the run
    const AVPacket* packet = reader->PacketAt(i);
    if (!packet) return invalidMedia;
    const int64_t inChunk = std::min<int64_t>(packet->size, c.size) / frameBytes;
    const int64_t from = at - c.dts, take = std::min(inChunk - from, frames - (at - t));
    if (take <= 0) break;
    bytes.insert(bytes.end(), packet->data + from * frameBytes, packet->data + (from + take) * frameBytes);
    at += take;
  }
  if (bytes.empty()) return invalidMedia;
  SetHandleSize(dataOut, Size(bytes.size()));
  if (MemError() != noErr) return memFullErr;
  std::memcpy(*dataOut, bytes.data(), bytes.size());
  *size = int32_t(bytes.size());
  *count = int32_t(at - t);
  return noErr;
}

}  // namespace

// ---- Movies and tracks --------------------------------------------------------------------------

TimeScale GetMovieTimeScale(Movie theMovie) { return theMovie ? theMovie->timeScale : 0; }
TimeValue GetMovieDuration(Movie theMovie) { return theMovie ? theMovie->duration : 0; }
int32_t GetMovieTrackCount(Movie theMovie) { return theMovie ? int32_t(theMovie->tracks.size()) : 0; }

Track GetMovieIndTrackType(Movie theMovie, int32_t index, OSType trackType, int32_t flags) {
  SetMoviesError(noErr);
  if (!theMovie || index < 1 || (flags & movieTrackCharacteristic)) {
    SetMoviesError(theMovie ? badTrackIndex : invalidMovie);
    return nullptr;
  }
  for (const auto& track : theMovie->tracks) {
    if ((flags & movieTrackMediaType) && track->kind != trackType) continue;
    if ((flags & movieTrackEnabledOnly) && !track->enabled) continue;
    if (--index == 0) return track.get();
  }
  return nullptr;
}

Media GetTrackMedia(Track theTrack) {
  if (!theTrack) {
    SetMoviesError(invalidTrack);
    return nullptr;
  }
  SetMoviesError(theTrack->media ? noErr : invalidMedia);
  return theTrack->media.get();
}

void SetTrackEnabled(Track theTrack, Boolean isEnabled) {
  if (theTrack) theTrack->enabled = isEnabled != 0;
}

Boolean GetTrackEnabled(Track theTrack) { return theTrack && theTrack->enabled; }

void GetMovieBox(Movie theMovie, Rect* boxRect) {
  if (!theMovie || !boxRect) return;
  *boxRect = theMovie->boxSet ? theMovie->box : theMovie->TracksBox();
}

void SetMovieBox(Movie theMovie, const Rect* boxRect) {
  if (!theMovie || !boxRect) return;
  theMovie->box = *boxRect;
  theMovie->boxSet = true;
}

// ---- Media --------------------------------------------------------------------------------------

TimeScale GetMediaTimeScale(Media theMedia) { return theMedia ? theMedia->timeScale : 0; }
TimeValue GetMediaDuration(Media theMedia) { return theMedia ? theMedia->duration : 0; }

int32_t GetMediaSampleCount(Media theMedia) {
  if (!theMedia) return 0;
  if (theMedia->sampleCount > 0) return theMedia->sampleCount;
  quicktime::media::SampleReader* reader = theMedia->Reader();
  if (!reader->Load()) return 0;
  if (const int frameBytes = FrameBytes(theMedia)) {
    int64_t frames = 0;
    for (const Sample& s : reader->Samples()) frames += s.size / frameBytes;
    theMedia->sampleCount = ClampCount(frames);
  } else {
    theMedia->sampleCount = ClampCount(int64_t(theMedia->video ? reader->DisplayTimes().size() : reader->Samples().size()));
  }
  return theMedia->sampleCount;
}

void GetMediaSampleDescription(Media theMedia, int32_t index, SampleDescriptionHandle descH) {
  if (!theMedia || !descH || index != 1) {
    SetMoviesError(paramErr);
    return;
  }
  Describe(theMedia, descH);
}

OSErr GetSoundDescriptionExtension(SoundDescriptionHandle desc, Handle* extension, OSType idType) {
  if (!desc || !*desc || !extension) return paramErr;
  *extension = nullptr;
  const auto* d = reinterpret_cast<const uint8_t*>(*desc);
  const size_t total = size_t(std::clamp<int64_t>((*desc)->descSize, 0, GetHandleSize(reinterpret_cast<Handle>(desc))));
  for (size_t at = sizeof(SoundDescription); at + 8 <= total;) {
    const size_t size = size_t(d[at]) << 24 | size_t(d[at + 1]) << 16 | size_t(d[at + 2]) << 8 | d[at + 3];
    const OSType type = OSType(d[at + 4]) << 24 | OSType(d[at + 5]) << 16 | OSType(d[at + 6]) << 8 | d[at + 7];
    if (size < 8 || size > total - at) break;
    if (type == idType) {
      Handle copy = NewHandle(Size(size));
      if (!copy) return memFullErr;
      std::memcpy(*copy, d + at, size);
      *extension = copy;
      return noErr;
    }
    at += size;
  }
  return userDataItemNotFound;
}

void GetMediaNextInterestingTime(Media theMedia, int16_t flags, TimeValue time, Fixed rate, TimeValue* interestingTime,
                                 TimeValue* interestingDuration) {
  TimeValue64 next = -1, duration = 0;
  if (interestingTime) *interestingTime = -1;
  if (interestingDuration) *interestingDuration = 0;
  if (!theMedia || rate == 0 || !(flags & (nextTimeMediaSample | nextTimeSyncSample))) {
    SetMoviesError(paramErr);
    return;
  }
  quicktime::media::SampleReader* reader = theMedia->Reader();
  if (!reader->Load()) {
    SetMoviesError(invalidMedia);
    return;
  }
  const bool forward = rate > 0, edgeOk = flags & nextTimeEdgeOK;
  const std::vector<Sample>& samples = reader->Samples();
  if (FrameBytes(theMedia) && !(flags & nextTimeSyncSample)) {
    // Every frame is a sample: the next one is a unit away, within the media's chunks.
    const int64_t candidate = edgeOk ? time : forward ? int64_t(time) + 1 : int64_t(time) - 1;
    if (!samples.empty() && candidate >= samples.front().dts && candidate < reader->End()) {
      next = candidate;
      duration = 1;
    }
  } else {
    std::vector<int64_t> starts;
    starts.reserve(samples.size());
    for (const Sample& s : samples)
      if (!(flags & nextTimeSyncSample) || s.key) starts.push_back(s.dts);
    next = NextTime(starts, time, forward, edgeOk);
    if (const Sample* s = Covering(samples, next); s && s->dts == next && s->dts != -1) duration = s->duration;
  }
  if (interestingTime) *interestingTime = TimeValue(next);
  if (interestingDuration) *interestingDuration = TimeValue(duration);
  SetMoviesError(noErr);
}

void GetMediaNextInterestingDisplayTime(Media theMedia, int16_t flags, TimeValue64 displayTime, Fixed rate,
                                        TimeValue64* interestingDisplayTime, TimeValue64* interestingDisplayDuration) {
  if (interestingDisplayTime) *interestingDisplayTime = -1;
  if (interestingDisplayDuration) *interestingDisplayDuration = 0;
  if (!theMedia || rate == 0 || !(flags & nextTimeMediaSample)) {
    SetMoviesError(paramErr);
    return;
  }
  quicktime::media::SampleReader* reader = theMedia->Reader();
  if (!reader->Load()) {
    SetMoviesError(invalidMedia);
    return;
  }
  if (!theMedia->video) {
    TimeValue next = -1, duration = 0;
    GetMediaNextInterestingTime(theMedia, flags, TimeValue(std::clamp<int64_t>(displayTime, INT32_MIN, INT32_MAX)), rate,
                                &next, &duration);
    if (interestingDisplayTime) *interestingDisplayTime = next;
    if (interestingDisplayDuration) *interestingDisplayDuration = duration;
    return;
  }
  const std::vector<int64_t>& shown = reader->DisplayTimes();
  const int64_t next = NextTime(shown, displayTime, rate > 0, flags & nextTimeEdgeOK);
  if (interestingDisplayTime) *interestingDisplayTime = next;
  if (interestingDisplayDuration && next >= 0) {
    auto it = std::upper_bound(shown.begin(), shown.end(), next);
    *interestingDisplayDuration = (it != shown.end() ? *it : reader->End()) - next;
  }
  SetMoviesError(noErr);
}

TimeValue64 GetMediaDisplayStartTime(Media theMedia) {
  if (!theMedia || !theMedia->Reader()->Load()) return 0;
  const quicktime::media::SampleReader* reader = theMedia->Reader();
  if (theMedia->video) return reader->DisplayTimes().empty() ? 0 : reader->DisplayTimes().front();
  return reader->Samples().empty() ? 0 : reader->Samples().front().dts;
}

OSErr GetMediaSample(Media theMedia, Handle dataOut, int32_t maxSizeToGrow, int32_t* size, TimeValue time,
                     TimeValue* sampleTime, TimeValue* durationPerSample, SampleDescriptionHandle sampleDescriptionH,
                     int32_t* sampleDescriptionIndex, int32_t maxNumberOfSamples, int32_t* numberOfSamples,
                     int16_t* sampleFlags) {
  if (!theMedia || !dataOut) return SetMoviesError(paramErr);
  quicktime::media::SampleReader* reader = theMedia->Reader();
  if (!reader->Load()) return SetMoviesError(invalidMedia);
  int32_t bytes = 0, count = 0;
  TimeValue start = time, each = 1;
  bool sync = true;
  if (FrameBytes(theMedia)) {
    if (const OSErr err = ReadFrames(theMedia, dataOut, maxSizeToGrow, &bytes, time, maxNumberOfSamples, &count))
      return SetMoviesError(err);
  } else {
    const std::vector<Sample>& samples = reader->Samples();
    const Sample* first = Covering(samples, time);
    if (!first || time >= reader->End()) return SetMoviesError(invalidTime);
    if (maxSizeToGrow > 0 && first->size > maxSizeToGrow) return SetMoviesError(maxSizeToGrowTooSmall);
    // The run of samples sharing the first one's size and duration.
    size_t begin = size_t(first - samples.data()), end = begin + 1;
    int64_t total = first->size;
    while (end < samples.size() && samples[end].size == first->size && samples[end].duration == first->duration &&
           (maxSizeToGrow <= 0 || total + first->size <= maxSizeToGrow) &&
           (maxNumberOfSamples <= 0 || int64_t(end - begin) < maxNumberOfSamples) && total + first->size <= INT32_MAX) {
      total += first->size;
      ++end;
    }
    SetHandleSize(dataOut, Size(total));
    if (MemError() != noErr) return SetMoviesError(memFullErr);
    for (size_t i = begin; i < end; ++i) {
      const AVPacket* packet = reader->PacketAt(i);
      if (!packet || packet->size != samples[i].size) return SetMoviesError(invalidMedia);
      std::memcpy(*dataOut + (i - begin) * size_t(first->size), packet->data, size_t(packet->size));
    }
    bytes = int32_t(total);
    count = int32_t(end - begin);
    start = TimeValue(first->dts);
    each = TimeValue(first->duration);
    sync = first->key;
  }
  if (size) *size = bytes;
  if (sampleTime) *sampleTime = start;
  if (durationPerSample) *durationPerSample = each;
  if (numberOfSamples) *numberOfSamples = count;
  if (sampleFlags) *sampleFlags = sync ? 0 : mediaSampleNotSync;
  if (sampleDescriptionIndex) *sampleDescriptionIndex = 1;
  if (sampleDescriptionH) Describe(theMedia, sampleDescriptionH);
  return SetMoviesError(noErr);
}
