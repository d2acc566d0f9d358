// Reading a movie from a file: the header's facts joined with the streams the media libraries see.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "frame_drawer.h"
#include "media_reader.h"
#include "movie.h"
#include "movie_header.h"
#include "runtime.h"
#include "sound_formats.h"

namespace {

using quicktime::runtime::SetMoviesError;

// Imported movies count time as the platform does for movies it makes.
constexpr TimeScale kImportedTimeScale = 600;

class FileSource : public quicktime::boxes::ByteSource {
 public:
  explicit FileSource(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ >= 0) {
      const off_t end = lseek(fd_, 0, SEEK_END);
      size_ = end > 0 ? uint64_t(end) : 0;
    }
  }
  ~FileSource() override {
    if (fd_ >= 0) close(fd_);
  }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, void* out, size_t n) const override {
    if (offset > size_ || n > size_ - offset) return false;
    auto* p = static_cast<uint8_t*>(out);
    while (n > 0) {
      const ssize_t got = pread(fd_, p, n, off_t(offset));
      if (got <= 0) return false;
      p += got;
      n -= size_t(got);
      offset += uint64_t(got);
    }
    return true;
  }

 private:
  int fd_;
  uint64_t size_ = 0;
};

TimeValue ClampTime(int64_t t) { return TimeValue(std::clamp<int64_t>(t, 0, INT32_MAX)); }

// The four characters of a stream's codec tag, first character high.
OSType CodeOfTag(uint32_t tag) {
  return tag >> 24 | (tag >> 8 & 0xFF00) | (tag << 8 & 0xFF0000) | tag << 24;
}

// A 'wave' atom holding the decoder configuration of an MP4 sound entry, as a QuickTime sound
// description carries it: the original format, the 'esds' atom and a terminator.
std::vector<uint8_t> WaveAround(OSType format, const std::vector<uint8_t>& esds) {
  std::vector<uint8_t> wave;
  auto put32 = [&wave](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) wave.push_back(uint8_t(v >> shift));
  };
  put32(uint32_t(8 + 12 + esds.size() + 8));
  put32(FourCharCode("wave"));
  put32(12);
  put32(FourCharCode("frma"));
  put32(format);
  wave.insert(wave.end(), esds.begin(), esds.end());
  put32(8);
  put32(0);
  return wave;
}

// The media of a stream, or null when the stream's media cannot be read.
std::unique_ptr<MediaRecord> MakeMedia(TrackRecord* track, AVStream* st, const quicktime::boxes::TrackFacts* facts) {
  const AVCodecParameters* par = st->codecpar;
  const bool video = par->codec_type == AVMEDIA_TYPE_VIDEO;
  if (!video && par->codec_type != AVMEDIA_TYPE_AUDIO) return nullptr;
  if (video && !avcodec_find_decoder(par->codec_id)) return nullptr;
  auto media = std::make_unique<MediaRecord>();
  media->track = track;
  media->stream = st->index;
  media->video = video;
  media->streamTimeBase = st->time_base;
  const AVRational tb = st->time_base;
  if (tb.num == 1 && tb.den > 0)
    media->timeScale = tb.den;
  else
    media->timeScale = !video && par->sample_rate > 0 ? par->sample_rate : 90000;
  const AVRational scale{1, media->timeScale};
  // A media's duration is that of all its samples, as stored.
  if (facts && facts->mediaTimeScale > 0 && facts->mediaDuration > 0)
    media->duration = ClampTime(av_rescale(int64_t(facts->mediaDuration), media->timeScale, facts->mediaTimeScale));
  else if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
    media->duration = ClampTime(av_rescale_q(st->duration, tb, scale));
  else if (const AVFormatContext* format = track->movie->input.get(); format->duration > 0)
    media->duration = ClampTime(av_rescale_q(format->duration, AV_TIME_BASE_Q, scale));
  if (const int indexed = avformat_index_get_entries_count(st); video && indexed > 0) {
    // The frames the movie shows: an edit list may leave some out (FFmpeg's muxer writes B-frame
    // movies whose last frame lasts no time).
    int shown = 0;
    for (int i = 0; i < indexed; ++i)
      if (!(avformat_index_get_entry(st, i)->flags & AVINDEX_DISCARD_FRAME)) ++shown;
    media->sampleCount = shown;
  } else if (facts && facts->sampleCount > 0)
    media->sampleCount = int32_t(std::min<uint32_t>(facts->sampleCount, INT32_MAX));
  else if (st->nb_frames > 0)
    media->sampleCount = int32_t(std::min<int64_t>(st->nb_frames, INT32_MAX));

  const quicktime::boxes::SampleEntryFacts* entry = facts && facts->hasSampleEntry ? &facts->entry : nullptr;
  if (video) {
    media->image.codec = entry ? entry->format : CodeOfTag(par->codec_tag);
    media->image.width = entry && entry->width ? entry->width : par->width;
    media->image.height = entry && entry->height ? entry->height : par->height;
    if (entry && entry->depth) media->image.depth = entry->depth;
    return media;
  }
  SoundFacts& sound = media->sound;
  sound.format = entry ? entry->format : quicktime::sound::FormatOfCodec(par->codec_id);
  // MP4-family files store template values for the channels and rate of compressed sound; the
  // decoder configuration the media libraries read has the real ones.
  sound.channels = par->ch_layout.nb_channels > 0 ? par->ch_layout.nb_channels : entry ? entry->channels : 0;
  if (entry && entry->sampleSize)
    sound.sampleSize = entry->sampleSize;
  else if (par->bits_per_coded_sample > 0 && quicktime::sound::IsUncompressed(sound.format))
    sound.sampleSize = par->bits_per_coded_sample;
  sound.sampleRate = par->sample_rate > 0 ? par->sample_rate : entry ? entry->sampleRate : 0;
  const bool uncompressed = quicktime::sound::IsUncompressed(sound.format);
  sound.compressionId = uncompressed ? (entry ? int(entry->compressionId) : int(notCompressed)) : int(variableCompression);
  if (entry && !entry->wave.empty())
    sound.wave = entry->wave;
  else if (entry && !entry->esds.empty())
    sound.wave = WaveAround(sound.format, entry->esds);
  if (sound.channels <= 0 || !(sound.sampleRate > 0)) return nullptr;
  return media;
}

AVStream* StreamOfTrack(AVFormatContext* format, uint32_t trackId) {
  for (unsigned i = 0; i < format->nb_streams; ++i)
    if (uint32_t(format->streams[i]->id) == trackId) return format->streams[i];
  return nullptr;
}

bool BuildFromHeader(MovieRecord* movie, const quicktime::boxes::MovieFacts& facts) {
  if (facts.timeScale == 0 || facts.timeScale > INT32_MAX) return false;
  movie->timeScale = TimeScale(facts.timeScale);
  movie->duration = ClampTime(int64_t(std::min<uint64_t>(facts.duration, INT32_MAX)));
  for (const quicktime::boxes::TrackFacts& f : facts.tracks) {
    auto track = std::make_unique<TrackRecord>();
    track->movie = movie;
    track->kind = f.handlerType;
    track->enabled = f.enabled;
    track->width = int(std::lround(std::min(f.width, 32767.0)));
    track->height = int(std::lround(std::min(f.height, 32767.0)));
    if (AVStream* st = StreamOfTrack(movie->input.get(), f.trackId);
        st && (f.handlerType == VideoMediaType || f.handlerType == SoundMediaType))
      track->media = MakeMedia(track.get(), st, &f);
    if (track->media && track->media->video && (track->width <= 0 || track->height <= 0)) {
      track->width = track->media->image.width;
      track->height = track->media->image.height;
    }
    movie->tracks.push_back(std::move(track));
  }
  return !movie->tracks.empty();
}

bool BuildImported(MovieRecord* movie) {
  AVFormatContext* format = movie->input.get();
  movie->timeScale = kImportedTimeScale;
  movie->duration = format->duration > 0 ? ClampTime(av_rescale(format->duration, kImportedTimeScale, AV_TIME_BASE)) : 0;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    AVStream* st = format->streams[i];
    const AVMediaType type = st->codecpar->codec_type;
    if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO) continue;
    if (st->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;
    auto track = std::make_unique<TrackRecord>();
    track->movie = movie;
    track->kind = type == AVMEDIA_TYPE_VIDEO ? VideoMediaType : SoundMediaType;
    track->media = MakeMedia(track.get(), st, nullptr);
    if (!track->media) continue;
    track->width = track->media->video ? track->media->image.width : 0;
    track->height = track->media->video ? track->media->image.height : 0;
    movie->tracks.push_back(std::move(track));
  }
  return !movie->tracks.empty();
}

}  // namespace

// ---- Records ------------------------------------------------------------------------------------

MediaRecord::MediaRecord() = default;
MediaRecord::~MediaRecord() = default;

quicktime::media::SampleReader* MediaRecord::Reader() {
  if (!reader) reader = std::make_unique<quicktime::media::SampleReader>(track->movie->path, stream, streamTimeBase, timeScale);
  return reader.get();
}

quicktime::video::FrameDrawer* MediaRecord::Drawer() {
  if (!drawer)
    drawer = std::make_unique<quicktime::video::FrameDrawer>(Reader(), track->movie->input->streams[stream]->codecpar,
                                                             streamTimeBase);
  return drawer.get();
}

Rect MovieRecord::TracksBox() const {
  Rect box{};
  for (const auto& track : tracks) {
    if (!track->enabled || track->kind != VideoMediaType || !track->media) continue;
    box.right = int16_t(std::max<int>(box.right, track->width));
    box.bottom = int16_t(std::max<int>(box.bottom, track->height));
  }
  return box;
}

// ---- Opening ------------------------------------------------------------------------------------

OSErr NewMovieFromFile(Movie* theMovie, int16_t resRefNum, int16_t*, StringPtr, int16_t, Boolean* dataRefWasChanged) {
  if (dataRefWasChanged) *dataRefWasChanged = false;
  if (!theMovie) return SetMoviesError(paramErr);
  *theMovie = nullptr;
  if (!quicktime::runtime::MoviesEntered()) return SetMoviesError(movieToolboxUninitialized);
  std::string path;
  if (!quicktime::runtime::OpenFilePath(resRefNum, &path)) return SetMoviesError(paramErr);

  FileSource source(path);
  if (!source.IsOpen()) return SetMoviesError(fnfErr);
  quicktime::boxes::MovieFacts facts;
  std::string error;
  const quicktime::boxes::HeaderResult header = quicktime::boxes::ReadMovieFacts(source, &facts, &error);
  if (header == quicktime::boxes::HeaderResult::Damaged) return SetMoviesError(invalidMovie);

  auto movie = std::make_unique<MovieRecord>();
  movie->path = path;
  // A movie header describes every stream fully; other files are probed for their parameters.
  movie->input = quicktime::ffmpeg::OpenInput(path, header != quicktime::boxes::HeaderResult::Found);
  if (!movie->input) return SetMoviesError(invalidMovie);
  const bool built = header == quicktime::boxes::HeaderResult::Found ? BuildFromHeader(movie.get(), facts)
                                                                    : BuildImported(movie.get());
  if (!built) return SetMoviesError(invalidMovie);
  movie->timeValueScale = movie->timeScale;
  *theMovie = movie.release();
  return SetMoviesError(noErr);
}

void DisposeMovie(Movie theMovie) { delete theMovie; }
