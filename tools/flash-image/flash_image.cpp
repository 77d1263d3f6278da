#include "tools/flash-image/flash_image.h"

#include <algorithm>
#include <cstdio>

#include "tools/flash-image/text_format.h"

namespace zirpton::tools {
namespace {

constexpr Layout layouts[] = {
    {"528", "528 Slots zu 8 Bytes, 16 Kopfseiten nach der CV-Seite", 528, RecordKind::pi_and_rate,
     0, 2 * page_size, 2 * page_size, 16, 0},
    {"132", "132 Slots zu 8 Bytes, 4 Kopfseiten nach der CV-Seite", 132, RecordKind::pi_and_rate, 0,
     2 * page_size, 2 * page_size, 4, 0},
    {"3.3", "132 Slots zu 8 Bytes mit Byte 7 = 0xFF, 4 Kopfseiten nach der CV-Seite", 132,
     RecordKind::always_ff, 0, 2 * page_size, 2 * page_size, 4, 2048},
    {"2.02", "88 Slots zu 6 Bytes, 2 Kopfseiten vor der CV-Seite", 88, RecordKind::six_bytes,
     2 * page_size, page_size, 0, 2, 1024},
};

uint8_t at(std::string_view bytes, size_t index) { return static_cast<uint8_t>(bytes[index]); }

// The position in the page sits in bits 0 to 8, the page above them.
SlotInfo with_ptr(SlotInfo slot, uint32_t ptr) {
  slot.ptr = ptr;
  slot.off = (ptr >> 9) * static_cast<uint32_t>(page_size) + (ptr & 0x1FF);
  return slot;
}

SlotInfo read_record(std::string_view record, RecordKind kind) {
  SlotInfo slot;
  uint32_t ptr = at(record, 2) | at(record, 3) << 8 | at(record, 4) << 16;
  slot.ni = at(record, 5);
  if (kind == RecordKind::six_bytes) {
    uint32_t negated = at(record, 0) | at(record, 1) << 8;
    slot.length = (0x10000u - negated) & 0xFFFFu;
    return with_ptr(slot, ptr);
  }
  uint32_t negated = at(record, 0) | at(record, 1) << 8 | at(record, 6) << 16;
  slot.length = (0x1000000u - negated) & 0xFFFFFFu;
  if (kind == RecordKind::pi_and_rate) {
    slot.pi = static_cast<uint8_t>(at(record, 7) >> 1);
    slot.rate_22k = (at(record, 7) & 1) == 0;
  }
  return with_ptr(slot, ptr);
}

// A sound must lie inside the data area; the position in its page must exist.
bool check_slot(int number, const SlotInfo& slot, size_t image_size, ImageInfo& info) {
  size_t data_start = info.layout->data_start();
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

bool check_fixed_byte(int number, std::string_view record, ImageInfo& info) {
  if (info.layout->records != RecordKind::always_ff || at(record, 7) == 0xFF) return true;
  info.problems.push_back(
      format_text("Slot %d: Byte 7 ist 0x%02X, erwartet 0xFF", number, at(record, 7)));
  return false;
}

// An image read with the wrong layout fails at nearly every slot: a few
// lines show that, the rest are counted.
void limit_problems(ImageInfo& info) {
  constexpr size_t shown = 10;
  if (info.problems.size() <= shown) return;
  size_t more = info.problems.size() - shown;
  info.problems.resize(shown);
  info.problems.push_back(
      format_text("%zu weitere Fehler im Kopf; ist es ein Abbild eines anderen Aufbaus "
                  "(--layout)?",
                  more));
}

void collect_sounds(ImageInfo& info) {
  for (int number = 0; number < info.layout->slot_count; ++number) {
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

const Layout& layout_528() { return layouts[0]; }
const Layout& layout_132() { return layouts[1]; }
const Layout& layout_3_3() { return layouts[2]; }
const Layout& layout_2_02() { return layouts[3]; }

const Layout* layout_named(std::string_view name) {
  for (const Layout& layout : layouts)
    if (name == layout.name) return &layout;
  return nullptr;
}

uint32_t byte_sum(std::string_view bytes) {
  uint32_t sum = 0;
  for (char byte : bytes) sum += static_cast<uint8_t>(byte);
  return sum;
}

bool read_image(std::string_view image, const Layout& layout, ImageInfo& info) {
  info = ImageInfo{};
  info.layout = &layout;
  if (image.size() < layout.data_start()) {
    info.problems.push_back(format_text("Abbild zu kurz: %zu Bytes, CV-Seite und Kopf brauchen %zu",
                                        image.size(), layout.data_start()));
    return false;
  }
  std::string_view cv_page = image.substr(layout.cv_start, layout.cv_bytes);
  for (int cv = 0; cv < cv_count; ++cv) info.cvs[cv] = at(cv_page, cv);
  for (size_t index = cv_count; index < cv_page.size(); ++index)
    if (at(cv_page, index) != 0xFF) ++info.cv_tail_not_ff;
  bool good = true;
  for (int number = 0; number < layout.slot_count; ++number) {
    std::string_view record =
        image.substr(layout.header_start + layout.record_bytes() * number, layout.record_bytes());
    SlotInfo slot = read_record(record, layout.records);
    good = check_fixed_byte(number, record, info) && good;
    if (slot.length != 0 && !check_slot(number, slot, image.size(), info)) {
      good = false;
      slot.length = 0;  // nothing of it is read
    }
    info.slots[number] = slot;
  }
  limit_problems(info);
  collect_sounds(info);
  return good;
}

uint32_t sound_data_end(const ImageInfo& info) {
  auto end = static_cast<uint32_t>(info.layout ? info.layout->data_start() : 0);
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
