#pragma once
// The file an FLV conversion writes first: a new file in the temporary folder, named by a random
// number in hexadecimal followed by "xd". When the conversion stops, the metadata pass makes the
// output from it and it goes.
#include "mfc/afxstr.h"

class FlvTemporaryFile {
 public:
  // Creates the file, new and empty; never one that exists already. False when none could be made.
  bool Create();
  bool Pending() const { return !path_.IsEmpty(); }
  const CString& Path() const { return path_; }

  // Writes outputFile as the temporary file with its metadata injected, and removes the temporary
  // file. When the injection fails, the file is moved into place as written only if it holds at
  // least one sound or picture tag and the conversion was not aborted; otherwise the output is
  // left untouched.
  void Finish(const CString& outputFile, bool aborted);
  // Removes the file without making an output.
  void Discard();

 private:
  CString path_;
};

// Whether an FLV file's first tag after its header is a complete sound or picture tag.
bool FlvHoldsMediaTag(const CString& path);
