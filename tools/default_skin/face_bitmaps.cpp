#include "faces.h"

std::string FaceBitmaps::Add(const std::string& name, const Canvas& picture) {
  for (const PackedFile& file : bitmaps_)
    if (file.name == name) return file.name;
  bitmaps_.push_back({name, picture.BmpFile()});
  return bitmaps_.back().name;
}

std::vector<PackedFile> FaceBitmaps::After(const std::string& descriptionName, const std::string& description) const {
  std::vector<PackedFile> files{{descriptionName, description}};
  files.insert(files.end(), bitmaps_.begin(), bitmaps_.end());
  return files;
}
