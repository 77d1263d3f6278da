// What a receiver makes of the bytes on its programming line. The line shows
// no pauses, so the stream is taken apart by position alone: after a page
// command comes a fixed number of image bytes whatever their values, then
// the fill. A framing is a record, so that another page framing is one more
// record, not one more decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zirpton::tools {

struct Framing {
  const char* name;                    // for the report
  std::string_view command;            // announces every unit
  std::string_view first_command_alt;  // also accepted before the first unit only
  const char* command_text;            // the command as the messages show it
  size_t unit_bytes;                   // image bytes per unit
  const char* unit_name;               // "Seitenpaar", "Seite"
  size_t fill_bytes;                   // 0xFF bytes after every unit
  bool handshake_required;
  bool zero_completion;  // a last unit may end with a completing page of 0x00
};

// Page pairs: 76 FF FF 23, 528 image bytes, 96 bytes 0xFF.
const Framing& pair_framing();
// Single pages of the earlier programs: "W" (or "u" for the first), 264 bytes.
const Framing& single_framing();
// Single pages of the oldest programs: "W" before every page, the first too.
const Framing& oldest_framing();

// The oldest programs send no handshake; all later ones do.
enum class Handshake { optional, required, absent };

enum class Entry { none, ascending, single_byte };  // F3..FF, or 0x17

struct StreamResult {
  size_t bytes = 0;  // bytes taken in
  bool handshake = false;
  bool reset_byte = false;  // 0x41
  size_t burst_bytes = 0;   // 0x55
  Entry entry = Entry::none;
  const Framing* framing = nullptr;
  char first_command = 0;
  size_t units = 0;   // complete units
  std::string image;  // the image bytes of every unit, completing page included
  uint32_t sum = 0;   // over the image bytes
  uint16_t received_checksum = 0;
  bool complete = false;  // the checksum bytes have arrived
  std::string error;      // UTF-8, empty when the stream was in order
};

enum class DecodeState {
  handshake,
  start,
  after_reset,
  burst,
  ascending,
  after_entry,
  command,
  unit,
  fill,
  after_unit,
  checksum,
  done,
  failed
};

struct StreamDecoder {
  const Framing* forced = nullptr;  // nullptr: told by the first page command
  Handshake handshake = Handshake::optional;
  DecodeState state = DecodeState::handshake;
  size_t count = 0;                 // position inside the current part
  uint8_t next_entry = 0;           // the entry byte due next
  std::string_view active_command;  // the page command being received
  StreamResult result;
};

void start_decoder(StreamDecoder& decoder, const Framing* forced,
                   Handshake handshake = Handshake::optional);
void feed(StreamDecoder& decoder, std::string_view bytes);
// The input has ended: a stream that is not complete is reported as cut off.
void finish(StreamDecoder& decoder);
bool decoder_stopped(const StreamDecoder& decoder);

// The whole stream at once.
StreamResult decode_stream(std::string_view bytes, const Framing* forced = nullptr,
                           Handshake handshake = Handshake::optional);

}  // namespace zirpton::tools
