#pragma once
// Files: CFile over the platform's file handles, CFileStatus, CFileFind.
#include "mfc/afxexcept.h"
#include "mfc/afxobj.h"
#include "mfc/afxstr.h"
#include "mfc/afxtime.h"

struct CFileStatus {
  CTime m_ctime;  // creation
  CTime m_mtime;  // last modification
  CTime m_atime;  // last access
  ULONGLONG m_size;
  BYTE m_attribute;  // CFile::Attribute bits
  BYTE m_padding;
  TCHAR m_szFullName[MAX_PATH];
};

// Failures throw CFileException* (Open reports through its pError argument instead).
class CFile : public CObject {
  DECLARE_DYNAMIC(CFile)

 public:
  enum OpenFlags {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000
  };
  enum Attribute { normal = 0x00, readOnly = 0x01, hidden = 0x02, system = 0x04, volume = 0x08, directory = 0x10, archive = 0x20 };
  enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

  static const HANDLE hFileNull;

  CFile();
  // Takes an open handle without owning it: Close closes it, destruction does not.
  explicit CFile(HANDLE hFile);
  // Opens or throws the CFileException* that Open would report.
  CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
  ~CFile() override;

  // FALSE on failure, with the cause, error code and name in *pError when given.
  virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
  // Bytes read; fewer than asked at the end of the file.
  virtual UINT Read(void* lpBuf, UINT nCount);
  // Writes everything or throws (a short write is diskFull).
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  void SeekToBegin();
  ULONGLONG SeekToEnd();
  virtual ULONGLONG GetLength() const;
  // Cuts or extends the file; the position ends at the new length.
  virtual void SetLength(ULONGLONG dwNewLen);
  virtual ULONGLONG GetPosition() const;
  virtual void Flush();
  virtual void Close();
  // Closes without throwing.
  virtual void Abort();

  BOOL GetStatus(CFileStatus& rStatus) const;
  static BOOL PASCAL GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);
  // Writes the times that are not 0 and the attributes; throws on failure.
  static void PASCAL SetStatus(LPCTSTR lpszFileName, const CFileStatus& status);
  static void PASCAL Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
  static void PASCAL Remove(LPCTSTR lpszFileName);

  // The full path, its last component, and that component without its extension.
  virtual CString GetFilePath() const;
  virtual CString GetFileName() const;
  virtual CString GetFileTitle() const;
  virtual void SetFilePath(LPCTSTR lpszNewName);

  operator HANDLE() const { return m_hFile; }

  HANDLE m_hFile;

 protected:
  BOOL m_bCloseOnDelete;
  CString m_strFileName;
};

// Walks the entries that match a pattern ("*.*" when none is given):
//   BOOL more = find.FindFile(pattern); while (more) { more = find.FindNextFile(); ... }
class CFileFind : public CObject {
  DECLARE_DYNAMIC(CFileFind)

 public:
  CFileFind();
  ~CFileFind() override;

  BOOL FindFile(LPCTSTR pstrName = NULL, DWORD dwUnused = 0);
  // Moves to the next entry; FALSE when that entry is the last one.
  BOOL FindNextFile();
  void Close();

  CString GetFileName() const;
  CString GetFilePath() const;
  CString GetFileTitle() const;
  CString GetRoot() const;
  ULONGLONG GetLength() const;
  BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;
  BOOL GetLastWriteTime(CTime& refTime) const;
  BOOL GetCreationTime(CTime& refTime) const;
  BOOL GetLastAccessTime(CTime& refTime) const;
  BOOL IsDots() const;
  BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
  BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
  BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
  // TRUE when the current entry has any of the attribute bits.
  BOOL MatchesMask(DWORD dwMask) const;

 private:
  HANDLE m_hContext;
  WIN32_FIND_DATA m_found;    // the current entry
  WIN32_FIND_DATA m_next;     // the entry FindNextFile moves to
  BOOL m_bHaveFound;
  BOOL m_bHaveNext;
  CString m_strRoot;
};
