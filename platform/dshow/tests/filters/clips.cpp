#include "clips.h"

#include <gtest/gtest.h>

#include <map>

#include "testing/sandbox.h"

namespace dshow_test {

std::string SandboxFile(const std::string& name) { return testing_support::SandboxDir() + "/" + name; }

std::string Clip(const std::string& name, const testing_support::ClipOptions& options) {
  static std::mutex lock;
  static std::map<std::string, std::string> made;
  std::lock_guard<std::mutex> hold(lock);
  auto it = made.find(name);
  if (it != made.end()) return it->second;
  const std::string path = SandboxFile(name);
  const std::string error = testing_support::MakeClip(path, options);
  EXPECT_EQ(error, "") << name;
  made[name] = path;
  return path;
}

std::string AviClip() {
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.audioEncoder = "libmp3lame";
  o.sampleRate = 44100;
  o.channels = 2;
  o.seconds = 2.0;
  return Clip("clip.avi", o);
}

std::string MarkedClip(int width, int height) {
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.audioEncoder = "";
  o.width = width;
  o.height = height;
  o.seconds = 0.2;
  o.markedEdges = true;
  return Clip("marked" + std::to_string(width) + "x" + std::to_string(height) + ".avi", o);
}

}  // namespace dshow_test
