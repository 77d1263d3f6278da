#include "tools/zirpton-receiver/reception.h"

#include <algorithm>
#include <cstdio>

#include "tools/flash-image/text_format.h"

namespace zirpton::tools {
namespace {

bool all_are(std::string_view bytes, char value) {
  return std::all_of(bytes.begin(), bytes.end(), [value](char byte) { return byte == value; });
}

const Layout& told_layout(const StreamResult& stream) {
  if (stream.framing == &pair_framing() || stream.first_command == 'u') return layout_528();
  if (stream.handshake) return layout_132();
  std::string_view second_page = std::string_view(stream.image).substr(page_size, page_size);
  return all_are(second_page, '\xFF') ? layout_3_3() : layout_2_02();
}

// The delete command of the oldest programs sends 0xFF for the whole flash.
bool is_deletion(const StreamResult& stream, const Layout* forced) {
  if (stream.handshake || stream.image.empty() || !all_are(stream.image, '\xFF')) return false;
  return !forced || forced->deletion_pages > 0;
}

void take_deletion(Reception& reception, const Layout* forced) {
  size_t pages = reception.image.size() / page_size;
  reception.deleted_pages = pages;
  std::string expected;
  for (const Layout* layout : {&layout_2_02(), &layout_3_3()}) {
    if (forced && forced != layout) continue;
    if (layout->deletion_pages == pages) {
      reception.layout = layout;
      return;
    }
    expected += (expected.empty() ? "" : " oder ") + std::to_string(layout->deletion_pages);
  }
  reception.errors.push_back(format_text("Löschen: %zu Seiten mit 0xFF, der Flash hat %s Seiten",
                                         pages, expected.c_str()));
}

// A pair whose second page is all 0x00 is either completed or ends with a
// silent data page; the header knows where the sound data end.
void drop_completing_page(Reception& reception) {
  const Framing* framing = reception.stream.framing;
  std::string& image = reception.image;
  if (!framing || !framing->zero_completion || image.size() <= reception.layout->data_start())
    return;
  std::string_view last = std::string_view(image).substr(image.size() - page_size);
  if (!all_are(last, '\0')) return;
  ImageInfo info;
  read_image(image, *reception.layout, info);
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

std::string layout_line(const Reception& reception) {
  if (reception.deleted_pages > 0) {
    std::string release = reception.layout ? std::string(" (") + reception.layout->name + ")" : "";
    return format_text("Aufbau: Löschen%s, %zu Seiten mit 0xFF\n", release.c_str(),
                       reception.deleted_pages);
  }
  if (!reception.layout) return "";
  return format_text("Aufbau: %s (%s)\n", reception.layout->name, reception.layout->description);
}

std::string result_line(const Reception& reception) {
  if (!reception.errors.empty()) return "";
  if (reception.deleted_pages > 0) return "Ergebnis: Flash gelöscht, Prüfsumme stimmt\n";
  return "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n";
}

}  // namespace

Reception evaluate(const StreamResult& stream, const Layout* forced) {
  Reception reception;
  reception.stream = stream;
  if (!stream.error.empty()) reception.errors.push_back(stream.error);
  if (!stream.complete) return reception;
  if ((stream.sum & 0xFFFF) != stream.received_checksum)
    reception.errors.push_back(format_text("Prüfsumme falsch: empfangen 0x%04X, berechnet 0x%04X",
                                           stream.received_checksum, stream.sum & 0xFFFF));
  reception.image = stream.image;
  if (is_deletion(stream, forced)) {
    take_deletion(reception, forced);
    return reception;
  }
  reception.layout = forced ? forced : &told_layout(stream);
  drop_completing_page(reception);
  reception.image_read = reception.image.size() >= reception.layout->data_start();
  read_image(reception.image, *reception.layout, reception.info);
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
  lines += layout_line(reception);
  if (stream.complete)
    lines += format_text("Prüfsumme: 0x%04X empfangen, 0x%04X berechnet (Summe 0x%X)\n",
                         stream.received_checksum, stream.sum & 0xFFFF, stream.sum);
  if (reception.image_read) lines += cv_summary(reception.info) + sound_summary(reception.info);
  if (stream.bytes == 6 && stream.handshake && !stream.complete)
    lines += "Hinweis: nur der Handshake kam an, wie bei einem Lauf mit Ausgabedatei\n";
  for (const std::string& error : reception.errors) lines += "Fehler: " + error + "\n";
  return lines + result_line(reception);
}

int reception_exit_code(const Reception& reception) {
  bool good = reception.stream.complete && reception.errors.empty() &&
              (reception.image_read || reception.deleted_pages > 0);
  return good ? 0 : 1;
}

}  // namespace zirpton::tools
