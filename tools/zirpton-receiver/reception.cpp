#include "tools/zirpton-receiver/reception.h"

#include <algorithm>
#include <cstdio>

#include "tools/flash-image/text_format.h"

namespace zirpton::tools {
namespace {

bool all_zero(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return byte == 0; });
}

// A pair whose second page is all 0x00 is either completed or ends with a
// silent data page; the header knows where the sound data end.
void drop_completing_page(Reception& reception) {
  const Framing* framing = reception.stream.framing;
  std::string& image = reception.image;
  if (!framing || !framing->zero_completion || image.size() <= data_start) return;
  std::string_view last = std::string_view(image).substr(image.size() - page_size);
  if (!all_zero(last)) return;
  ImageInfo info;
  read_image(image, info);
  if (sound_data_end(info) > image.size() - page_size) return;
  image.resize(image.size() - page_size);
  reception.zero_page_dropped = true;
}

std::string entry_text(Entry entry) {
  switch (entry) {
    case Entry::ascending:
      return "0xF3 bis 0xFF";
    case Entry::single_byte:
      return "0x17";
    case Entry::none:
      break;
  }
  return "keiner";
}

std::string framing_lines(const Reception& reception) {
  const StreamResult& stream = reception.stream;
  const Framing* framing = stream.framing;
  if (!framing) return "";
  std::string first = stream.first_command == framing->command[0]
                          ? std::string(framing->command_text)
                          : std::string(framing->first_command_alt);
  std::string lines =
      format_text("Rahmung: %s (erstes Kommando %s)\n", framing->name, first.c_str());
  lines += format_text("Seiten: %zu", stream.image.size() / page_size);
  if (reception.zero_page_dropped) lines += ", davon 1 Ergänzungsseite mit 0x00";
  return lines + "\n";
}

}  // namespace

Reception evaluate(const StreamResult& stream) {
  Reception reception;
  reception.stream = stream;
  if (!stream.error.empty()) reception.errors.push_back(stream.error);
  if (!stream.complete) return reception;
  if ((stream.sum & 0xFFFF) != stream.received_checksum)
    reception.errors.push_back(format_text("Prüfsumme falsch: empfangen 0x%04X, berechnet 0x%04X",
                                           stream.received_checksum, stream.sum & 0xFFFF));
  reception.image = stream.image;
  drop_completing_page(reception);
  reception.image_read = reception.image.size() >= data_start;
  read_image(reception.image, reception.info);
  for (const std::string& problem : reception.info.problems) reception.errors.push_back(problem);
  return reception;
}

std::string file_image(const Reception& reception) {
  std::string bytes = reception.image;
  bytes += static_cast<char>(reception.stream.received_checksum & 0xFF);
  bytes += static_cast<char>(reception.stream.received_checksum >> 8);
  return bytes;
}

std::string reception_report(const Reception& reception) {
  const StreamResult& stream = reception.stream;
  std::string lines = format_text("Empfangen: %zu Bytes\n", stream.bytes);
  lines += stream.handshake ? "Handshake: 24 80 11 17 04 A6\n" : "Handshake: keiner\n";
  if (stream.reset_byte) lines += "Reset-Byte: 0x41\n";
  if (stream.burst_bytes > 0) lines += format_text("Burst: %zu x 0x55\n", stream.burst_bytes);
  lines += "Einstieg: " + entry_text(stream.entry) + "\n";
  lines += framing_lines(reception);
  if (stream.complete)
    lines += format_text("Prüfsumme: 0x%04X empfangen, 0x%04X berechnet (Summe 0x%X)\n",
                         stream.received_checksum, stream.sum & 0xFFFF, stream.sum);
  if (reception.image_read) lines += cv_summary(reception.info) + sound_summary(reception.info);
  if (stream.bytes == 6 && stream.handshake && !stream.complete)
    lines += "Hinweis: nur der Handshake kam an, wie bei einem Lauf mit Ausgabedatei\n";
  for (const std::string& error : reception.errors) lines += "Fehler: " + error + "\n";
  if (reception.errors.empty()) lines += "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n";
  return lines;
}

int reception_exit_code(const Reception& reception) {
  bool good = reception.stream.complete && reception.errors.empty() && reception.image_read;
  return good ? 0 : 1;
}

}  // namespace zirpton::tools
