#pragma once
// Skin packages: ".skn" zip archives in the program folder that hold the descriptions of the
// faces ("Skin.ini" for the main dialog, "ConvertSkin.ini" for the progress window) and the
// bitmaps they name. A package is extracted into a private temporary folder, its face is loaded
// and the folder is removed again at once, so a loaded skin lives in memory only. The current
// directory is neither used nor changed.
#include <optional>

#include "skin/skin_model.h"

// The description file of a face.
LPCSTR SkinDescriptionName(SkinFaceKind kind);

// <program folder>\<skinName>.skn: packages always lie in the program folder.
CString SkinPackagePath(LPCSTR skinName);

// Loads one face of a package. Nothing when the package cannot be opened or extracted (the user
// is told: the program's strings 112 "Open failed" and 113 "Extract failed", and for an archive
// without its central directory first the question whether to try again), when an entry's name
// would leave the extraction folder, or when the face's description or background does not load;
// the caller then keeps its current skin. A missing element bitmap leaves only that element
// without its picture.
std::optional<SkinModel> LoadSkinPackage(LPCSTR packagePath, SkinFaceKind kind, COLORREF keyColour);

// The progress face built into the program, for when the selected package gives none.
SkinModel LoadBuiltInProgressFace(COLORREF keyColour);
