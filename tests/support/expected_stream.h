// What a port run of release 7.0 puts on the line, built from an image by the
// layout of the page protocol alone, for comparing whole streams in tests.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace zirpton::testing {

using Bytes = std::vector<uint8_t>;

inline constexpr size_t page = 264;
inline constexpr size_t header_end = 4752;  // 2 CV pages and 16 header pages

uint32_t sum_of(const Bytes& bytes);
Bytes with_checksum(Bytes bytes, uint32_t sum);
std::string checksum_line(uint32_t sum);

// The image as the port gets it: page pairs between command and fill, an
// open pair completed by a page of zeros, the end byte and the checksum.
// `pause_at` is where the pause before the sound data falls.
struct PortStream {
  Bytes bytes;
  size_t pause_at = 0;
};

PortStream in_page_pairs(Bytes image);

// The line record of a port run from the first page command on, the end of
// the run included; `failed` holds the positions of bytes whose write fails.
std::string port_transcript(const PortStream& stream, const std::set<size_t>& failed = {});

// The single pages of the earlier releases: `cv_command` ("u" or "W") before
// the first CV half, "W" before every other page, with their pauses;
// `header_pages` of records after the CV page; the end of the run included.
std::string single_page_transcript(const Bytes& image, uint8_t cv_command, size_t header_pages,
                                   int rts_pulses = 10);

// The start of a port run on the line: the handshake at 57600 baud.
extern const std::string handshake_transcript;
// The entry bytes 0xF3 to 0xFF, 20 ms after each.
std::string entry_bytes_transcript();
// The reset of a receiver without Mega168 ('A', lines reversed for `wait`
// ms, back, 500 ms), and of one with Mega168 (lines, the 0x55 burst, two
// stop bits).
std::string reset_transcript(int wait);
std::string mega_168_reset_transcript(int wait);

}  // namespace zirpton::testing
