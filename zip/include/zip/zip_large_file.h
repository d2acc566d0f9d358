#pragma once
// The file class under the zip reader's volume storage.
#include "mfc/afx.h"

class CZipLargeFile : public CFile {
  DECLARE_DYNAMIC(CZipLargeFile)
};
