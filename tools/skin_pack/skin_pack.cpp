#include "skin_pack/skin_pack.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace {

// 2025-01-01 00:00:00 in the archive's date and time fields.
constexpr uint16_t kDosDate = ((2025 - 1980) << 9) | (1 << 5) | 1;
constexpr uint16_t kDosTime = 0;
constexpr uint16_t kVersion = 20;  // deflate; made by and for the FAT attribute scheme
constexpr uint32_t kArchiveAttribute = 0x20;

void Put16(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, static_cast<uint16_t>(value & 0xFFFF));
  Put16(out, static_cast<uint16_t>(value >> 16));
}

std::string Deflate(const std::string& bytes) {
  z_stream stream{};
  if (deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2 failed");
  std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate failed");
  return out;
}

// The fields that the local header and the central directory share.
void PutEntryFields(std::string& out, const PackedFile& file, uint32_t crc, size_t packedSize) {
  Put16(out, kVersion);  // version needed to extract
  Put16(out, 0);         // flags
  Put16(out, Z_DEFLATED);
  Put16(out, kDosTime);
  Put16(out, kDosDate);
  Put32(out, crc);
  Put32(out, static_cast<uint32_t>(packedSize));
  Put32(out, static_cast<uint32_t>(file.bytes.size()));
  Put16(out, static_cast<uint16_t>(file.name.size()));
  Put16(out, 0);  // extra field length
}

}  // namespace

std::string PackSkinFiles(const std::vector<PackedFile>& files) {
  std::string archive, directory;
  for (const PackedFile& file : files) {
    const std::string packed = Deflate(file.bytes);
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(file.bytes.data()), static_cast<uInt>(file.bytes.size())));
    const auto offset = static_cast<uint32_t>(archive.size());

    Put32(archive, 0x04034B50);
    PutEntryFields(archive, file, crc, packed.size());
    archive += file.name;
    archive += packed;

    Put32(directory, 0x02014B50);
    Put16(directory, kVersion);  // version made by
    PutEntryFields(directory, file, crc, packed.size());
    Put16(directory, 0);  // comment length
    Put16(directory, 0);  // disk number
    Put16(directory, 0);  // internal attributes
    Put32(directory, kArchiveAttribute);
    Put32(directory, offset);
    directory += file.name;
  }
  const auto directoryOffset = static_cast<uint32_t>(archive.size());
  archive += directory;
  Put32(archive, 0x06054B50);
  Put16(archive, 0);  // this disk
  Put16(archive, 0);  // disk of the directory
  Put16(archive, static_cast<uint16_t>(files.size()));
  Put16(archive, static_cast<uint16_t>(files.size()));
  Put32(archive, static_cast<uint32_t>(directory.size()));
  Put32(archive, directoryOffset);
  Put16(archive, 0);  // comment length
  return archive;
}

bool WriteSkinPackage(const std::string& path, const std::vector<PackedFile>& files) {
  const std::string archive = PackSkinFiles(files);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
  return static_cast<bool>(out.flush());
}
