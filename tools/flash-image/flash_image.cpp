#include "tools/flash-image/flash_image.h"

#include <algorithm>
#include <cstdio>

#include "tools/flash-image/text_format.h"

namespace zirpton::tools {
namespace {

uint8_t at(std::string_view bytes, size_t index) { return static_cast<uint8_t>(bytes[index]); }

SlotInfo read_record(std::string_view record) {
  SlotInfo slot;
  uint32_t negated = at(record, 0) | at(record, 1) << 8 | at(record, 6) << 16;
  slot.length = (0x1000000u - negated) & 0xFFFFFFu;
  slot.ptr = at(record, 2) | at(record, 3) << 8 | at(record, 4) << 16;
  slot.off = (slot.ptr >> 9) * static_cast<uint32_t>(page_size) + (slot.ptr & 0x1FF);
  slot.ni = at(record, 5);
  slot.pi = static_cast<uint8_t>(at(record, 7) >> 1);
  slot.rate_22k = (at(record, 7) & 1) == 0;
  return slot;
}

// A sound must lie inside the data area; the position in its page must exist.
bool check_slot(int number, const SlotInfo& slot, size_t image_size, ImageInfo& info) {
  if ((slot.ptr & 0x1FF) >= page_size) {
    info.problems.push_back(
        format_text("Slot %d: ptr=0x%06X zeigt auf Position %u einer Seite "
                    "(höchstens 263)",
                    number, slot.ptr, slot.ptr & 0x1FF));
    return false;
  }
  if (slot.off < data_start || slot.off + static_cast<uint64_t>(slot.length) > image_size) {
    std::string area = image_size > data_start
                           ? format_text("Adresse %zu bis %zu", data_start, image_size - 1)
                           : std::string("das Abbild hat keine");
    info.problems.push_back(
        format_text("Slot %d: %u Bytes ab Adresse %u liegen nicht in den "
                    "Sounddaten (%s)",
                    number, slot.length, slot.off, area.c_str()));
    return false;
  }
  return true;
}

void collect_sounds(ImageInfo& info) {
  for (int number = 0; number < slot_count; ++number) {
    SlotInfo& slot = info.slots[number];
    if (slot.length == 0) continue;
    auto same = std::find_if(info.sounds.begin(), info.sounds.end(), [&](const SoundInfo& s) {
      return s.off == slot.off && s.length == slot.length && s.rate_22k == slot.rate_22k;
    });
    if (same == info.sounds.end()) {
      info.sounds.push_back({slot.off, slot.length, slot.rate_22k, {}});
      same = info.sounds.end() - 1;
    }
    same->slots.push_back(number);
  }
  std::stable_sort(info.sounds.begin(), info.sounds.end(),
                   [](const SoundInfo& a, const SoundInfo& b) { return a.off < b.off; });
  for (size_t index = 0; index < info.sounds.size(); ++index)
    for (int number : info.sounds[index].slots) info.slots[number].sound = static_cast<int>(index);
}

}  // namespace

uint32_t byte_sum(std::string_view bytes) {
  uint32_t sum = 0;
  for (char byte : bytes) sum += static_cast<uint8_t>(byte);
  return sum;
}

bool read_image(std::string_view image, ImageInfo& info) {
  info = ImageInfo{};
  if (image.size() < data_start) {
    info.problems.push_back(format_text("Abbild zu kurz: %zu Bytes, CV-Seite und Kopf brauchen %zu",
                                        image.size(), data_start));
    return false;
  }
  for (int cv = 0; cv < cv_count; ++cv) info.cvs[cv] = at(image, cv);
  for (size_t index = cv_count; index < cv_page_bytes; ++index)
    if (at(image, index) != 0xFF) ++info.cv_tail_not_ff;
  bool good = true;
  for (int number = 0; number < slot_count; ++number) {
    SlotInfo slot = read_record(image.substr(header_start + record_bytes * number, record_bytes));
    if (slot.length != 0 && !check_slot(number, slot, image.size(), info)) {
      good = false;
      slot.length = 0;  // nothing of it is read
    }
    info.slots[number] = slot;
  }
  collect_sounds(info);
  return good;
}

uint32_t sound_data_end(const ImageInfo& info) {
  uint32_t end = data_start;
  for (const SoundInfo& sound : info.sounds) end = std::max(end, sound.off + sound.length);
  return end;
}

std::string cv_summary(const ImageInfo& info) {
  std::string line = "CVs gesetzt:";
  bool any = false;
  for (int cv = 0; cv < cv_count; ++cv) {
    if (info.cvs[cv] == 0xFF) continue;
    line += format_text(" %d=%d", cv + 1, info.cvs[cv]);
    any = true;
  }
  line += any ? "\n" : " keine\n";
  if (info.cv_tail_not_ff > 0)
    line += format_text("CV-Seite: %d Bytes hinter CV 256 sind nicht 0xFF\n", info.cv_tail_not_ff);
  return line;
}

std::string sound_summary(const ImageInfo& info) {
  int with_sound = 0;
  uint64_t bytes = 0;
  for (const SlotInfo& slot : info.slots) with_sound += slot.length != 0;
  for (const SoundInfo& sound : info.sounds) bytes += sound.length;
  return format_text("Slots mit Sound: %d, verschiedene Sounds: %zu, %.1f Sekunden\n", with_sound,
                     info.sounds.size(), static_cast<double>(bytes) / samples_per_second);
}

std::string slot_ranges(const std::vector<int>& slots) {
  std::string text;
  for (size_t first = 0; first < slots.size();) {
    size_t last = first;
    while (last + 1 < slots.size() && slots[last + 1] == slots[last] + 1) ++last;
    if (!text.empty()) text += ", ";
    text += std::to_string(slots[first]);
    if (last > first) text += "-" + std::to_string(slots[last]);
    first = last + 1;
  }
  return text;
}

}  // namespace zirpton::tools
