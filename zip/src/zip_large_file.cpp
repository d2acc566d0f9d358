#include "zip/zip_large_file.h"

IMPLEMENT_DYNAMIC(CZipLargeFile, CFile)
