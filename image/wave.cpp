#include "image/wave.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace zirpton {
namespace {

uint16_t le16_at(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t le32_at(const uint8_t* bytes) {
  return static_cast<uint32_t>(le16_at(bytes)) | static_cast<uint32_t>(le16_at(bytes + 2)) << 16;
}

bool read_exactly(std::FILE* file, uint8_t* bytes, size_t count) {
  return std::fread(bytes, 1, count, file) == count;
}

long file_length(std::FILE* file) {
  long here = std::ftell(file);
  std::fseek(file, 0, SEEK_END);
  long length = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return length;
}

// Chunks are skipped by their size field alone: no pad byte after an odd
// size. A skip past the end only shows as a failed read of the next header;
// should the seek itself be refused, going to the end gives the same.
void skip(std::FILE* file, uint32_t size) {
  auto step = static_cast<long>(std::min<uint64_t>(size, LONG_MAX));
  if (static_cast<uint64_t>(step) != size || std::fseek(file, step, SEEK_CUR) != 0)
    std::fseek(file, 0, SEEK_END);
}

struct ChunkHeader {
  char id[4];
  uint32_t size;
};

bool read_chunk_header(std::FILE* file, ChunkHeader& header) {
  uint8_t bytes[8];
  if (!read_exactly(file, bytes, sizeof bytes)) return false;
  std::memcpy(header.id, bytes, 4);
  header.size = le32_at(bytes + 4);
  return true;
}

bool is(const ChunkHeader& header, const char* id) { return std::memcmp(header.id, id, 4) == 0; }

int32_t fail(FileHandle& file, int32_t code) {
  file.reset();
  return code;
}

WaveFormat format_from(const uint8_t* bytes) {
  return {le16_at(bytes), le16_at(bytes + 2), le32_at(bytes + 4),
          le32_at(bytes + 8), le16_at(bytes + 12), le16_at(bytes + 14)};
}

}  // namespace

int32_t wave_find_data(FileHandle& file, WaveFormat& format, bool riff_size_exact) {
  std::FILE* f = file.get();
  uint8_t riff[12];
  if (!read_exactly(f, riff, sizeof riff)) return fail(file, wave_too_short);
  // The first four bytes, the RIFF identifier, are not looked at.
  long length = file_length(f);
  const long long riff_size = le32_at(riff + 4);
  const long long room = static_cast<long long>(length) - 8;
  if ((riff_size_exact ? riff_size != room : riff_size > room) || std::memcmp(riff + 8, "WAVE", 4) != 0)
    return fail(file, wave_not_wave);

  ChunkHeader header;
  for (;;) {
    if (!read_chunk_header(f, header)) return fail(file, wave_no_format);
    if (is(header, "fmt ")) break;
    skip(f, header.size);
  }
  uint8_t record[16];
  if (!read_exactly(f, record, sizeof record)) return fail(file, wave_no_format);
  format = format_from(record);
  if (header.size < 16) return fail(file, wave_short_format);
  if (header.size > 16) skip(f, header.size - 16);

  for (;;) {
    if (!read_chunk_header(f, header)) return fail(file, wave_no_data);
    if (is(header, "data")) break;
    skip(f, header.size);
  }
  auto size = static_cast<int32_t>(header.size);
  if (size < 0) file.reset();  // no caller reads on from a negative size
  return size;
}

}  // namespace zirpton
