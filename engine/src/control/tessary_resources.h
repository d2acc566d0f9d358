#pragma once
// The module's resources: their ids and the about box's dialog template.
#include "win32/windows.h"

#define IDS_TESSARY 1
#define IDS_TESSARY_PPG 2
#define IDB_TESSARY 1
#define IDD_ABOUTBOX_TESSARY 1
#define IDD_PROPPAGE_TESSARY 200
#define IDS_TESSARY_PPG_CAPTION 200

extern const DLGTEMPLATE kAboutBoxTemplate;
