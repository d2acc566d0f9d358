#pragma once
// Playing a short wave sound. Where the machine has no audio device the sound is checked and
// then silent: the call still succeeds, so that programs behave alike with and without speakers.
#include "win32/winmodule.h"

#define SND_SYNC 0x0000       // return once the sound has played
#define SND_ASYNC 0x0001      // return at once
#define SND_NODEFAULT 0x0002  // no default sound when this one cannot be found
#define SND_NOSTOP 0x0010     // fail rather than stop a sound that plays
#define SND_NOWAIT 0x2000     // do not wait for a busy device
#define SND_FILENAME 0x00020000L  // pszSound is a file
#define SND_RESOURCE 0x00040004L  // pszSound is a "WAVE" resource of hmod

// pszSound null stops what plays. FALSE when the sound cannot be found or is not a PCM wave
// file, and with SND_NOSTOP while another sound plays. There is no default sound: a sound that
// cannot be found plays nothing, with or without SND_NODEFAULT.
BOOL PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound);
#define PlaySound PlaySoundA
