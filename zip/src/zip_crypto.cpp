#include "zip_crypto.h"

#include <zlib.h>

namespace {

DWORD CrcByte(DWORD crc, BYTE b) {
  static const z_crc_t* table = get_crc_table();
  return (crc >> 8) ^ table[(crc ^ b) & 0xFF];
}

}  // namespace

void CZipCrypto::Init(const BYTE* password, DWORD length) {
  m_keys[0] = 0x12345678;
  m_keys[1] = 0x23456789;
  m_keys[2] = 0x34567890;
  for (DWORD i = 0; i < length; ++i) UpdateKeys(password[i]);
}

void CZipCrypto::UpdateKeys(BYTE plain) {
  m_keys[0] = CrcByte(m_keys[0], plain);
  m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813 + 1;
  m_keys[2] = CrcByte(m_keys[2], (BYTE)(m_keys[1] >> 24));
}

void CZipCrypto::Decrypt(BYTE* data, DWORD length) {
  for (DWORD i = 0; i < length; ++i) {
    const DWORD temp = (m_keys[2] & 0xFFFF) | 2;
    data[i] ^= (BYTE)((temp * (temp ^ 1)) >> 8);
    UpdateKeys(data[i]);
  }
}
