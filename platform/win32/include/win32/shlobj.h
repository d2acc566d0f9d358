#pragma once
// The shell's folder browser and the item id lists it answers with. An id list is one item per
// folder of an absolute path, in task memory: free it with ILFree (or CoTaskMemFree).
#include "win32/windlg.h"

#pragma pack(push, 1)
typedef struct _SHITEMID {
  USHORT cb;  // bytes of this item, cb included; 0 ends the list
  BYTE abID[1];
} SHITEMID;
typedef struct _ITEMIDLIST {
  SHITEMID mkid;
} ITEMIDLIST;
#pragma pack(pop)
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;
typedef ITEMIDLIST* PIDLIST_ABSOLUTE;
typedef const ITEMIDLIST* PCIDLIST_ABSOLUTE;

typedef int(CALLBACK* BFFCALLBACK)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

typedef struct _browseinfoA {
  HWND hwndOwner;
  LPCITEMIDLIST pidlRoot;
  LPSTR pszDisplayName;  // out (MAX_PATH): the chosen folder's name
  LPCSTR lpszTitle;      // the text above the folders
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
} BROWSEINFOA, *LPBROWSEINFOA;
typedef BROWSEINFOA BROWSEINFO;
typedef LPBROWSEINFOA LPBROWSEINFO;

#define BIF_RETURNONLYFSDIRS 0x0001
#define BIF_DONTGOBELOWDOMAIN 0x0002
#define BIF_EDITBOX 0x0010
#define BIF_NEWDIALOGSTYLE 0x0040

// Runs the folder browser; the chosen folder's id list, or null when the user cancels.
LPITEMIDLIST SHBrowseForFolderA(LPBROWSEINFOA lpbi);
// The folder's path in platform form into pszPath (MAX_PATH characters); FALSE for no list or a
// path too long.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR pszPath);
#define SHBrowseForFolder SHBrowseForFolderA
#define SHGetPathFromIDList SHGetPathFromIDListA

void ILFree(LPITEMIDLIST pidl);
