#pragma once
// Streams, persistence and monikers.
#include "ole/unknwn.h"

interface IStorage;
interface IBindCtx;

// ---- Streams ------------------------------------------------------------------------------------
#define STGM_DIRECT 0x00000000L
#define STGM_READ 0x00000000L
#define STGM_WRITE 0x00000001L
#define STGM_READWRITE 0x00000002L
#define STGM_SHARE_DENY_NONE 0x00000040L
#define STGM_SHARE_DENY_READ 0x00000030L
#define STGM_SHARE_DENY_WRITE 0x00000020L
#define STGM_SHARE_EXCLUSIVE 0x00000010L
#define STGM_CREATE 0x00001000L
#define STGM_FAILIFTHERE 0x00000000L

typedef enum tagSTREAM_SEEK { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 } STREAM_SEEK;
typedef enum tagSTGTY { STGTY_STORAGE = 1, STGTY_STREAM = 2, STGTY_LOCKBYTES = 3, STGTY_PROPERTY = 4 } STGTY;
typedef enum tagSTATFLAG { STATFLAG_DEFAULT = 0, STATFLAG_NONAME = 1, STATFLAG_NOOPEN = 2 } STATFLAG;
typedef enum tagSTGC { STGC_DEFAULT = 0, STGC_OVERWRITE = 1, STGC_ONLYIFCURRENT = 2 } STGC;

typedef struct tagSTATSTG {
  LPOLESTR pwcsName;
  DWORD type;
  ULARGE_INTEGER cbSize;
  FILETIME mtime;
  FILETIME ctime;
  FILETIME atime;
  DWORD grfMode;
  DWORD grfLocksSupported;
  CLSID clsid;
  DWORD grfStateBits;
  DWORD reserved;
} STATSTG;

DEFINE_GUID(IID_ISequentialStream, 0x0C733A30, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D);
interface ISequentialStream : public IUnknown {
  STDMETHOD(Read)(void* pv, ULONG cb, ULONG* pcbRead) = 0;
  STDMETHOD(Write)(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;
};

DEFINE_GUID(IID_IStream, 0x0000000C, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IStream : public ISequentialStream {
  STDMETHOD(Seek)(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) = 0;
  STDMETHOD(SetSize)(ULARGE_INTEGER libNewSize) = 0;
  STDMETHOD(CopyTo)(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                    ULARGE_INTEGER* pcbWritten) = 0;
  STDMETHOD(Commit)(DWORD grfCommitFlags) = 0;
  STDMETHOD(Revert)() = 0;
  STDMETHOD(LockRegion)(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
  STDMETHOD(UnlockRegion)(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
  STDMETHOD(Stat)(STATSTG* pstatstg, DWORD grfStatFlag) = 0;
  STDMETHOD(Clone)(IStream** ppstm) = 0;
};
typedef IStream* LPSTREAM;

// A stream over global memory. hGlobal NULL: new memory. The memory grows as the stream is
// written; fDeleteOnRelease frees it with the last stream that uses it. Clones share the memory
// and have their own position.
HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm);
HRESULT GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal);
// A stream over a file (platform path). grfMode: STGM_READ, STGM_WRITE or STGM_READWRITE, with
// STGM_CREATE to create or truncate the file. A missing file: STG_E_FILENOTFOUND.
HRESULT CreateStreamOnFile(LPCSTR pszFile, DWORD grfMode, LPSTREAM* ppstm);

// ---- Persistence --------------------------------------------------------------------------------
DEFINE_GUID(IID_IPersist, 0x0000010C, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IPersist : public IUnknown {
  STDMETHOD(GetClassID)(CLSID* pClassID) = 0;
};

DEFINE_GUID(IID_IPersistStream, 0x00000109, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IPersistStream : public IPersist {
  STDMETHOD(IsDirty)() = 0;
  STDMETHOD(Load)(IStream* pStm) = 0;
  STDMETHOD(Save)(IStream* pStm, BOOL fClearDirty) = 0;
  STDMETHOD(GetSizeMax)(ULARGE_INTEGER* pcbSize) = 0;
};

DEFINE_GUID(IID_IPersistStorage, 0x0000010A, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IPersistStorage : public IPersist {
  STDMETHOD(IsDirty)() = 0;
  STDMETHOD(InitNew)(IStorage* pStg) = 0;
  STDMETHOD(Load)(IStorage* pStg) = 0;
  STDMETHOD(Save)(IStorage* pStgSave, BOOL fSameAsLoad) = 0;
  STDMETHOD(SaveCompleted)(IStorage* pStgNew) = 0;
  STDMETHOD(HandsOffStorage)() = 0;
};

// ---- Monikers -----------------------------------------------------------------------------------
interface IEnumMoniker;

typedef enum tagMKSYS { MKSYS_NONE = 0, MKSYS_GENERICCOMPOSITE = 1, MKSYS_FILEMONIKER = 2 } MKSYS;

DEFINE_GUID(IID_IMoniker, 0x0000000F, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IMoniker : public IPersistStream {
  STDMETHOD(BindToObject)(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                          void** ppvResult) = 0;
  STDMETHOD(BindToStorage)(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riid, void** ppvObj) = 0;
  STDMETHOD(Reduce)(IBindCtx* pbc, DWORD dwReduceHowFar, IMoniker** ppmkToLeft,
                    IMoniker** ppmkReduced) = 0;
  STDMETHOD(ComposeWith)(IMoniker* pmkRight, BOOL fOnlyIfNotGeneric, IMoniker** ppmkComposite) = 0;
  STDMETHOD(Enum)(BOOL fForward, IEnumMoniker** ppenumMoniker) = 0;
  STDMETHOD(IsEqual)(IMoniker* pmkOtherMoniker) = 0;
  STDMETHOD(Hash)(DWORD* pdwHash) = 0;
  STDMETHOD(IsRunning)(IBindCtx* pbc, IMoniker* pmkToLeft, IMoniker* pmkNewlyRunning) = 0;
  STDMETHOD(GetTimeOfLastChange)(IBindCtx* pbc, IMoniker* pmkToLeft, FILETIME* pFileTime) = 0;
  STDMETHOD(Inverse)(IMoniker** ppmk) = 0;
  STDMETHOD(CommonPrefixWith)(IMoniker* pmkOther, IMoniker** ppmkPrefix) = 0;
  STDMETHOD(RelativePathTo)(IMoniker* pmkOther, IMoniker** ppmkRelPath) = 0;
  STDMETHOD(GetDisplayName)(IBindCtx* pbc, IMoniker* pmkToLeft, LPOLESTR* ppszDisplayName) = 0;
  STDMETHOD(ParseDisplayName)(IBindCtx* pbc, IMoniker* pmkToLeft, LPOLESTR pszDisplayName,
                              ULONG* pchEaten, IMoniker** ppmkOut) = 0;
  STDMETHOD(IsSystemMoniker)(DWORD* pdwMksys) = 0;
};
typedef IMoniker* LPMONIKER;

DEFINE_GUID(IID_IEnumMoniker, 0x00000102, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IEnumMoniker : public IUnknown {
  STDMETHOD(Next)(ULONG celt, IMoniker** rgelt, ULONG* pceltFetched) = 0;
  STDMETHOD(Skip)(ULONG celt) = 0;
  STDMETHOD(Reset)() = 0;
  STDMETHOD(Clone)(IEnumMoniker** ppenum) = 0;
};

// An enumerator over the count monikers (each AddRef'd; clones share the list). Next hands out
// references that the caller releases.
HRESULT CreateEnumMoniker(IMoniker* const* items, ULONG count, IEnumMoniker** ppEnum);
