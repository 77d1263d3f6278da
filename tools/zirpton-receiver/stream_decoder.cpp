#include "tools/zirpton-receiver/stream_decoder.h"

#include <cstdio>

#include "tools/flash-image/text_format.h"

namespace zirpton::tools {
namespace {

constexpr uint8_t handshake_frame[] = {0x24, 0x80, 0x11, 0x17, 0x04, 0xA6};
constexpr size_t handshake_bytes = sizeof handshake_frame;
constexpr uint8_t reset_byte = 0x41;
constexpr uint8_t burst_byte = 0x55;
constexpr size_t burst_length = 300;
constexpr uint8_t entry_first = 0xF3;
constexpr uint8_t entry_last = 0xFF;
constexpr uint8_t entry_single = 0x17;
constexpr uint8_t fill_byte = 0xFF;
constexpr uint8_t end_byte = 0x33;
constexpr size_t checksum_bytes = 2;

constexpr Framing pairs{
    "Seitenpaare", "\x76\xFF\xFF\x23", "", "76 FF FF 23", 528, "Seitenpaar", 96, true, true};
constexpr Framing singles{"Einzelseiten", "W", "u", "W", 264, "Seite", 0, false, false};
constexpr Framing oldest{"Einzelseiten", "W", "", "W", 264, "Seite", 0, false, false};

const Framing* framing_of(const StreamDecoder& decoder) {
  return decoder.result.framing ? decoder.result.framing : decoder.forced;
}

// Before the first page the framing may not be known yet.
std::string first_command_text(const StreamDecoder& decoder) {
  const Framing* framing = framing_of(decoder);
  if (!framing) return "Seitenkommando 76 FF FF 23, W oder u";
  std::string text = std::string("Seitenkommando ") + framing->command_text;
  if (!framing->first_command_alt.empty())
    text += " oder " + std::string(framing->first_command_alt);
  return text;
}

bool handshake_may_be_missing(const StreamDecoder& decoder) {
  if (decoder.handshake == Handshake::required) return false;
  return !decoder.forced || !decoder.forced->handshake_required;
}

std::string expectation(const StreamDecoder& decoder) {
  const StreamResult& result = decoder.result;
  const Framing* framing = framing_of(decoder);
  switch (decoder.state) {
    case DecodeState::handshake:
      if (decoder.count == 0 && handshake_may_be_missing(decoder))
        return "Handshake 24 80 11 17 04 A6, Reset-Byte 0x41 oder Einstieg 0xF3";
      return format_text("Handshake 24 80 11 17 04 A6 (Byte %zu von %zu)", decoder.count + 1,
                         handshake_bytes);
    case DecodeState::start:
      if (!result.handshake) return "Reset-Byte 0x41 oder Einstieg 0xF3";
      return "Reset-Byte 0x41, Burst 0x55 oder Einstieg 0xF3 oder 0x17";
    case DecodeState::after_reset:
      return "Einstieg 0xF3 nach dem Reset-Byte 0x41";
    case DecodeState::burst:
      if (result.burst_bytes < burst_length)
        return format_text("Burst 0x55 (Byte %zu von %zu)", result.burst_bytes + 1, burst_length);
      return "Einstieg 0x17 nach dem Burst";
    case DecodeState::ascending:
      return format_text("Einstieg 0x%02X (Folge 0xF3 bis 0xFF)", decoder.next_entry);
    case DecodeState::after_entry:
      return first_command_text(decoder);
    case DecodeState::command:
      return format_text("Seitenkommando %s (Byte %zu von %zu)", framing->command_text,
                         decoder.count + 1, decoder.active_command.size());
    case DecodeState::unit:
      return format_text("Seitenbyte %zu von %zu (%s %zu)", decoder.count + 1, framing->unit_bytes,
                         framing->unit_name, result.units + 1);
    case DecodeState::fill:
      return format_text("Füllbyte 0xFF (%zu von %zu nach %s %zu)", decoder.count + 1,
                         framing->fill_bytes, framing->unit_name, result.units);
    case DecodeState::after_unit:
      return format_text("Seitenkommando %s oder Endbyte 0x33", framing->command_text);
    case DecodeState::checksum:
      return format_text("Prüfsummenbyte %zu von %zu", decoder.count + 1, checksum_bytes);
    case DecodeState::done:
      return "nichts mehr nach der Prüfsumme";
    case DecodeState::failed:
      break;
  }
  return "nichts";
}

void fail(StreamDecoder& decoder, uint8_t byte) {
  decoder.result.error = format_text("Rahmenfehler an Offset %zu: 0x%02X empfangen, erwartet ",
                                     decoder.result.bytes, byte) +
                         expectation(decoder);
  decoder.state = DecodeState::failed;
}

void go(StreamDecoder& decoder, DecodeState state) {
  decoder.state = state;
  decoder.count = 0;
}

void begin_ascending(StreamDecoder& decoder) {
  decoder.result.entry = Entry::ascending;
  decoder.next_entry = entry_first + 1;
  go(decoder, DecodeState::ascending);
}

// The first byte of `command` has arrived.
void begin_command(StreamDecoder& decoder, std::string_view command) {
  decoder.active_command = command;
  go(decoder, command.size() == 1 ? DecodeState::unit : DecodeState::command);
  if (command.size() > 1) decoder.count = 1;
}

bool opens(std::string_view command, uint8_t byte) {
  return !command.empty() && static_cast<uint8_t>(command[0]) == byte;
}

// The first page command also tells the framing, unless it was given.
void take_first_command(StreamDecoder& decoder, uint8_t byte) {
  const Framing* framing = decoder.forced;
  if (!framing) {
    for (const Framing* known : {&pairs, &singles})
      if (opens(known->command, byte) || opens(known->first_command_alt, byte)) framing = known;
  }
  if (!framing) return fail(decoder, byte);
  std::string_view command = opens(framing->command, byte)             ? framing->command
                             : opens(framing->first_command_alt, byte) ? framing->first_command_alt
                                                                       : std::string_view();
  if (command.empty()) return fail(decoder, byte);
  decoder.result.framing = framing;
  decoder.result.first_command = static_cast<char>(byte);
  begin_command(decoder, command);
}

void take_unit_byte(StreamDecoder& decoder, uint8_t byte) {
  StreamResult& result = decoder.result;
  result.image += static_cast<char>(byte);
  result.sum += byte;
  if (++decoder.count < result.framing->unit_bytes) return;
  ++result.units;
  go(decoder, result.framing->fill_bytes > 0 ? DecodeState::fill : DecodeState::after_unit);
}

void take_prefix_byte(StreamDecoder& decoder, uint8_t byte) {
  StreamResult& result = decoder.result;
  switch (decoder.state) {
    case DecodeState::handshake: {
      if (decoder.count == 0 && handshake_may_be_missing(decoder) && byte != handshake_frame[0]) {
        go(decoder, DecodeState::start);
        return take_prefix_byte(decoder, byte);
      }
      if (byte != handshake_frame[decoder.count]) return fail(decoder, byte);
      if (++decoder.count == handshake_bytes) {
        result.handshake = true;
        go(decoder, DecodeState::start);
      }
      return;
    }
    case DecodeState::start:
      // Burst and single entry byte belong to programs that send a handshake.
      if (!result.handshake && byte != reset_byte && byte != entry_first)
        return fail(decoder, byte);
      if (byte == reset_byte) {
        result.reset_byte = true;
        go(decoder, DecodeState::after_reset);
      } else if (byte == burst_byte) {
        result.burst_bytes = 1;
        go(decoder, DecodeState::burst);
      } else if (byte == entry_first) {
        begin_ascending(decoder);
      } else if (byte == entry_single) {
        result.entry = Entry::single_byte;
        go(decoder, DecodeState::after_entry);
      } else {
        fail(decoder, byte);
      }
      return;
    case DecodeState::after_reset:
      if (byte != entry_first) return fail(decoder, byte);
      return begin_ascending(decoder);
    case DecodeState::burst:
      if (result.burst_bytes < burst_length) {
        if (byte != burst_byte) return fail(decoder, byte);
        ++result.burst_bytes;
      } else {
        if (byte != entry_single) return fail(decoder, byte);
        result.entry = Entry::single_byte;
        go(decoder, DecodeState::after_entry);
      }
      return;
    case DecodeState::ascending:
      if (byte != decoder.next_entry) return fail(decoder, byte);
      if (byte == entry_last) return go(decoder, DecodeState::after_entry);
      ++decoder.next_entry;
      return;
    default:
      return;
  }
}

void take_byte(StreamDecoder& decoder, uint8_t byte) {
  StreamResult& result = decoder.result;
  switch (decoder.state) {
    case DecodeState::after_entry:
      return take_first_command(decoder, byte);
    case DecodeState::command:
      if (byte != static_cast<uint8_t>(decoder.active_command[decoder.count]))
        return fail(decoder, byte);
      if (++decoder.count == decoder.active_command.size()) go(decoder, DecodeState::unit);
      return;
    case DecodeState::unit:
      return take_unit_byte(decoder, byte);
    case DecodeState::fill:
      if (byte != fill_byte) return fail(decoder, byte);
      if (++decoder.count == result.framing->fill_bytes) go(decoder, DecodeState::after_unit);
      return;
    case DecodeState::after_unit:
      if (byte == end_byte) return go(decoder, DecodeState::checksum);
      if (!opens(result.framing->command, byte)) return fail(decoder, byte);
      return begin_command(decoder, result.framing->command);
    case DecodeState::checksum:
      result.received_checksum =
          static_cast<uint16_t>(result.received_checksum | byte << (8 * decoder.count));
      if (++decoder.count == checksum_bytes) {
        result.complete = true;
        go(decoder, DecodeState::done);
      }
      return;
    case DecodeState::done:
      return fail(decoder, byte);
    case DecodeState::failed:
      return;
    default:
      return take_prefix_byte(decoder, byte);
  }
}

}  // namespace

const Framing& pair_framing() { return pairs; }
const Framing& single_framing() { return singles; }
const Framing& oldest_framing() { return oldest; }

void start_decoder(StreamDecoder& decoder, const Framing* forced, Handshake handshake) {
  decoder = StreamDecoder{};
  decoder.forced = forced;
  decoder.handshake = handshake;
  if (handshake == Handshake::absent) decoder.state = DecodeState::start;
}

void feed(StreamDecoder& decoder, std::string_view bytes) {
  for (char byte : bytes) {
    if (decoder.state == DecodeState::failed) return;
    take_byte(decoder, static_cast<uint8_t>(byte));
    if (decoder.state != DecodeState::failed) ++decoder.result.bytes;
  }
}

void finish(StreamDecoder& decoder) {
  if (decoder.state == DecodeState::failed || decoder.state == DecodeState::done) return;
  decoder.result.error =
      format_text("Datenstrom endet nach %zu Bytes, erwartet ", decoder.result.bytes) +
      expectation(decoder);
  decoder.state = DecodeState::failed;
}

bool decoder_stopped(const StreamDecoder& decoder) {
  return decoder.state == DecodeState::done || decoder.state == DecodeState::failed;
}

StreamResult decode_stream(std::string_view bytes, const Framing* forced, Handshake handshake) {
  StreamDecoder decoder;
  start_decoder(decoder, forced, handshake);
  feed(decoder, bytes);
  finish(decoder);
  return decoder.result;
}

}  // namespace zirpton::tools
