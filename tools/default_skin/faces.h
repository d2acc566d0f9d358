#pragma once
// The default skin's two faces, each as its description followed by the bitmaps it names, in the
// order it names them.
#include <vector>

#include "look.h"
#include "skin_pack/skin_pack.h"

// "Skin.ini": the 640x490 main dialog.
std::vector<PackedFile> MainFace(const look::Fonts& fonts);
// "ConvertSkin.ini": the 360x120 progress window.
std::vector<PackedFile> ProgressFace(const look::Fonts& fonts);

// Collects a face's bitmaps, each name once.
class FaceBitmaps {
 public:
  std::string Add(const std::string& name, const Canvas& picture);
  std::vector<PackedFile> After(const std::string& descriptionName, const std::string& description) const;

 private:
  std::vector<PackedFile> bitmaps_;
};
