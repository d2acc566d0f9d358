#include "skin/skin_package.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "builtin_progress_face.h"
#include "mfc/afxwnd.h"
#include "skin/skin_description.h"
#include "zip/zip_reader.h"

namespace {

// The program's strings for a package that cannot be used.
constexpr UINT kOpenFailed = 112;
constexpr UINT kExtractFailed = 113;
constexpr char kRetryQuestion[] =
    "The archive directory could not be found. If this archive spans several disks, insert the last one. Try again?";

// Where extraction folders may go, best first: the temporary folder the user chose, else a file
// system in memory (the user's runtime folder, then the shared memory folder), else the system's
// temporary folder. Writing a package's files on a disk file system and removing them again costs
// several times what the rest of a skin load does.
std::vector<std::filesystem::path> ExtractionParents() {
  std::vector<std::filesystem::path> parents;
  if (const char* chosen = std::getenv("TMPDIR"); chosen && *chosen) parents.emplace_back(chosen);
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) parents.emplace_back(runtime);
  parents.emplace_back("/dev/shm");
  std::error_code error;
  std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  if (!error) parents.push_back(temp);
  return parents;
}

// A folder that only this user can read, removed with everything in it when the object goes.
class ExtractionFolder {
 public:
  ExtractionFolder() {
    for (const std::filesystem::path& parent : ExtractionParents()) {
      std::string pattern = (parent / "corvane-skin-XXXXXX").string();
      if (mkdtemp(pattern.data())) {
        path_ = pattern;
        return;
      }
    }
  }
  ~ExtractionFolder() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  ExtractionFolder(const ExtractionFolder&) = delete;
  ExtractionFolder& operator=(const ExtractionFolder&) = delete;

  bool Exists() const { return !path_.empty(); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Opens the package, asking whether to try again while its central directory cannot be found.
bool OpenPackage(CZipReader& zip, LPCSTR package) {
  for (;;) {
    int cause = 0;
    try {
      if (zip.Open(package, CZipReader::zipOpen, 0)) return true;
    } catch (CZipException* e) {
      cause = e->m_cause;
      e->Delete();
    } catch (CException* e) {
      e->Delete();
    } catch (...) {
    }
    zip.Close(TRUE);
    if (cause != CZipException::cdirNotFound || AfxMessageBox(kRetryQuestion, MB_YESNO | MB_ICONSTOP) != IDYES) {
      AfxMessageBox(kOpenFailed, MB_ICONSTOP);
      return false;
    }
  }
}

// Every entry into the folder, keeping the entries' folders. An entry that cannot be written or
// whose name would leave the folder ends the extraction.
bool ExtractPackage(LPCSTR package, const std::string& folder) {
  CZipReader zip;
  if (!OpenPackage(zip, package)) return false;
  bool extracted = true;
  try {
    for (int i = 0; extracted && i < zip.GetCount(); ++i)
      extracted = zip.ExtractEntry(static_cast<WORD>(i), folder.c_str(), TRUE, nullptr, nullptr, nullptr, 65535);
  } catch (CException* e) {
    e->Delete();
    extracted = false;
  } catch (...) {
    extracted = false;
  }
  zip.Close(TRUE);
  if (!extracted) AfxMessageBox(kExtractFailed, MB_ICONSTOP);
  return extracted;
}

std::string DescriptionIn(const ExtractionFolder& folder, SkinFaceKind kind) {
  return folder.Path() + "/" + SkinDescriptionName(kind);
}

}  // namespace

LPCSTR SkinDescriptionName(SkinFaceKind kind) { return kind == SkinFaceKind::Main ? "Skin.ini" : "ConvertSkin.ini"; }

CString SkinPackagePath(LPCSTR skinName) {
  std::vector<char> module(4096, '\0');
  GetModuleFileName(nullptr, module.data(), static_cast<DWORD>(module.size()));
  CString folder(module.data());
  folder = folder.Left(folder.ReverseFind('\\'));
  return folder + "\\" + skinName + ".skn";
}

std::optional<SkinModel> LoadSkinPackage(LPCSTR packagePath, SkinFaceKind kind, COLORREF keyColour) {
  ExtractionFolder folder;
  if (!folder.Exists()) {
    AfxMessageBox(kExtractFailed, MB_ICONSTOP);
    return std::nullopt;
  }
  if (!ExtractPackage(packagePath, folder.Path())) return std::nullopt;
  SkinModel skin = LoadSkinDescription(DescriptionIn(folder, kind).c_str(), kind, keyColour);
  if (skin.background.IsEmpty()) return std::nullopt;
  return skin;
}

SkinModel LoadBuiltInProgressFace(COLORREF keyColour) {
  ExtractionFolder folder;
  if (!folder.Exists()) return SkinModel();
  for (size_t i = 0; i < kBuiltInProgressFaceFileCount; ++i) {
    const BuiltInSkinFile& file = kBuiltInProgressFace[i];
    std::ofstream(folder.Path() + "/" + file.name, std::ios::binary)
        .write(file.bytes, static_cast<std::streamsize>(file.size));
  }
  return LoadSkinDescription(DescriptionIn(folder, SkinFaceKind::Progress).c_str(), SkinFaceKind::Progress, keyColour);
}
