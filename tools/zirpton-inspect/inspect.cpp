#include "tools/zirpton-inspect/inspect.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/flash-image/flash_image.h"
#include "tools/flash-image/tell.h"
#include "tools/flash-image/text_format.h"
#include "tools/flash-image/wave_writer.h"

namespace zirpton::tools {
namespace {

constexpr size_t checksum_bytes = 2;
constexpr uint8_t sample_offset = 0x80;  // stored samples are signed

struct Request {
  std::string image;
  std::string extract_dir;
  const Layout* layout = &layout_528();
};

bool parse_args(const std::vector<std::string>& args, Request& request) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--extract" && i + 1 < args.size()) {
      request.extract_dir = args[++i];
    } else if (args[i] == "--layout" && i + 1 < args.size() && layout_named(args[i + 1])) {
      request.layout = layout_named(args[++i]);
    } else if (request.image.empty() && !args[i].empty() && args[i][0] != '-') {
      request.image = args[i];
    } else {
      return false;
    }
  }
  return !request.image.empty();
}

bool read_whole(const std::string& path, std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  bool good = !std::ferror(file);
  std::fclose(file);
  return good;
}

// The size must be whole pages, enough for the CV page and the header, plus
// the two checksum bytes.
std::string size_problem(size_t size, const Layout& layout) {
  size_t data_start = layout.data_start();
  if (size < data_start + checksum_bytes)
    return format_text(
        "zu kurz: %zu Bytes, ein Abbild hat mindestens %zu (CV-Seite, Kopf, "
        "Prüfsumme)",
        size, data_start + checksum_bytes);
  if ((size - checksum_bytes) % page_size != 0)
    return format_text("%zu Bytes sind nicht ganze Seiten zu %zu Bytes und 2 Prüfsummenbytes", size,
                       page_size);
  return "";
}

std::string link_text(int number, uint8_t ni) {
  if (number >= bank_slots) return ni == 0 ? "00" : format_text("%02X auf Stufe %d", ni, ni);
  if (ni == 0xFF) return "FF kein Sound";
  if (ni & 0x80) return format_text("%02X Schleife %d", ni, ni & 0x7F);
  return format_text("%02X weiter %d", ni, ni);
}

std::string down_link_text(int number, const SlotInfo& slot, const Layout& layout) {
  if (!layout.has_rate_and_pi()) return "-";
  uint8_t pi = slot.pi;
  if (number < bank_slots || pi == 0) return format_text("%02X", pi);
  return format_text("%02X ab Stufe %d", pi, pi);
}

double seconds(uint32_t length, bool rate_22k) {
  return length / (rate_22k ? 2 * samples_per_second : samples_per_second);
}

std::string slot_table(const ImageInfo& info) {
  // The header is written out: "Länge" has one letter of two bytes.
  std::string text =
      "Slot Bank/Nr   Länge  Adresse      ptr    Sek. 22kHz ni                "
      "pi              Sound\n";
  const Layout& layout = *info.layout;
  for (int number = 0; number < layout.slot_count; ++number) {
    const SlotInfo& slot = info.slots[number];
    if (slot.length == 0) continue;
    std::string bank = format_text("%d/%d", number / bank_slots, number % bank_slots);
    text +=
        format_text("%4d %-7s %7u %8u 0x%06X %7.2f %-5s %-17s %-15s #%d\n", number, bank.c_str(),
                    slot.length, slot.off, slot.ptr, seconds(slot.length, slot.rate_22k),
                    slot.rate_22k ? "ja" : "-", link_text(number, slot.ni).c_str(),
                    down_link_text(number, slot, layout).c_str(), slot.sound + 1);
  }
  return text;
}

std::string sound_table(const ImageInfo& info) {
  std::string text = "Sounds:\n";
  for (size_t index = 0; index < info.sounds.size(); ++index) {
    const SoundInfo& sound = info.sounds[index];
    text += format_text("  #%zu Adresse %u, %u Bytes, %.2f s bei %d Hz, Slots ", index + 1,
                        sound.off, sound.length, seconds(sound.length, sound.rate_22k),
                        sound.rate_22k ? 22050 : 11025);
    text += slot_ranges(sound.slots) + "\n";
  }
  return text;
}

// The pages in the order they stand: CV page and header, or the other way round.
std::string page_line(const Layout& layout, size_t pages) {
  size_t cv_pages = layout.cv_bytes / page_size;
  std::string cv = format_text("%zu CV-Seite%s", cv_pages, cv_pages == 1 ? "" : "n");
  std::string header = format_text("%zu Kopfseiten", layout.header_pages);
  bool cv_first = layout.cv_start < layout.header_start;
  std::string parts = cv_first ? cv + ", " + header : header + ", " + cv;
  return format_text("Seiten: %zu (%s, %zu Datenseiten)\n", pages, parts.c_str(),
                     pages - layout.data_start() / page_size);
}

std::string wave_name(const SoundInfo& sound) {
  return format_text("slot-%03d.wav", sound.slots[0]);
}

bool extract(Console& console, const std::string& image, const ImageInfo& info,
             const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  for (const SoundInfo& sound : info.sounds) {
    std::string samples = image.substr(sound.off, sound.length);
    for (char& sample : samples) sample = static_cast<char>(sample - sample_offset);
    std::string wave = mono_wave(samples, sound.rate_22k ? 22050 : 11025, 8);
    std::string path = (std::filesystem::path(dir) / wave_name(sound)).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(wave.data(), static_cast<std::streamsize>(wave.size()));
    out.close();
    if (!out) {
      tell(console, Stream::err, path + ": " + std::strerror(errno ? errno : EIO) + "\n");
      return false;
    }
    tell(console, Stream::out,
         "geschrieben: " + path + " (Slots " + slot_ranges(sound.slots) + ")\n");
  }
  return true;
}

}  // namespace

int inspect_main(Console& console, const std::vector<std::string>& args) {
  Request request;
  if (!parse_args(args, request)) {
    tell(console, Stream::err,
         "Aufruf: zirpton-inspect ABBILD [--layout 528|132|3.3|2.02] [--extract VERZEICHNIS]\n");
    return inspect_usage;
  }
  std::string bytes;
  errno = 0;
  if (!read_whole(request.image, bytes)) {
    tell(console, Stream::err, request.image + ": " + std::strerror(errno ? errno : EIO) + "\n");
    return inspect_usage;
  }
  if (std::string problem = size_problem(bytes.size(), *request.layout); !problem.empty()) {
    tell(console, Stream::err, request.image + ": " + problem + "\n");
    return inspect_bad_image;
  }
  std::string image = bytes.substr(0, bytes.size() - checksum_bytes);
  ImageInfo info;
  if (!read_image(image, *request.layout, info)) {
    for (const std::string& problem : info.problems)
      tell(console, Stream::err, request.image + ": " + problem + "\n");
    return inspect_bad_image;
  }
  uint32_t sum = byte_sum(image);
  unsigned stored = static_cast<uint8_t>(bytes[image.size()]) |
                    static_cast<uint8_t>(bytes[image.size() + 1]) << 8;
  bool sum_matches = (sum & 0xFFFF) == stored;
  size_t pages = image.size() / page_size;
  std::string text = page_line(*request.layout, pages);
  text += sum_matches ? format_text("Prüfsumme: 0x%04X stimmt (Summe 0x%X)\n", stored, sum)
                      : format_text("Prüfsumme: 0x%04X in der Datei, 0x%04X berechnet: falsch\n",
                                    stored, sum & 0xFFFF);
  text +=
      cv_summary(info) + sound_summary(info) + "\n" + slot_table(info) + "\n" + sound_table(info);
  tell(console, Stream::out, text);
  if (!request.extract_dir.empty() && !extract(console, image, info, request.extract_dir))
    return inspect_usage;
  return sum_matches ? 0 : inspect_bad_image;
}

}  // namespace zirpton::tools
