#pragma once
// Skin packages written reproducibly: a zip archive of the files in the order given, each
// deflated, under its name exactly as given, with one fixed time and no extra fields, so that
// the same files always give the same bytes.
#include <string>
#include <vector>

struct PackedFile {
  std::string name;
  std::string bytes;
};

std::string PackSkinFiles(const std::vector<PackedFile>& files);
// False when the file cannot be written whole.
bool WriteSkinPackage(const std::string& path, const std::vector<PackedFile>& files);
