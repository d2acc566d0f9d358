#pragma once
// The traditional PKWARE encryption keys, used to decrypt entries of archives protected by a
// password.
#include "win32/windows.h"

class CZipCrypto {
 public:
  // Sets the keys from the password (any bytes, no terminator).
  void Init(const BYTE* password, DWORD length);
  // Decrypts in place, advancing the keys.
  void Decrypt(BYTE* data, DWORD length);

 private:
  void UpdateKeys(BYTE plain);

  DWORD m_keys[3] = {};
};
