#include "image/wave.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/harness.h"
#include "tests/support/wave_builder.h"

namespace zirpton {
namespace {

using namespace zirpton::testing;

struct Walk {
  int32_t result;
  bool still_open;
  std::string rest;  // what the file holds from where the walk left it
  WaveFormat format;
};

Walk walk(const std::string& bytes) {
  ScratchDir dir;
  dir.write("w.wav", bytes);
  FileHandle file = open_binary_for_reading("w.wav");
  Walk outcome{0, false, "", {}};
  outcome.result = wave_find_data(file, outcome.format);
  outcome.still_open = file != nullptr;
  if (file)
    for (int c; (c = std::fgetc(file.get())) != EOF;) outcome.rest += static_cast<char>(c);
  return outcome;
}

const std::string fmt8 = fmt_chunk(1, 11025, 1, 8);
const std::string data3 = chunk("data", "\x01\x02\x03");
const uint32_t true_riff_size = static_cast<uint32_t>(4 + fmt8.size() + data3.size());

struct WalkCase {
  const char* what;
  std::string file;
  int32_t result;  // on success the data size, the file left at the samples
  std::string rest = "";
};

TEST(WaveWalk, FindsTheSamplesOrFailsWithItsCodeAndClosesTheFile) {
  const WalkCase cases[] = {
      {"plain file", riff(fmt8 + data3), 3, "\x01\x02\x03"},
      {"first four bytes not looked at", riff(fmt8 + data3, {}, "JUNK"), 3, "\x01\x02\x03"},
      {"RIFF size equal to length - 8", riff(fmt8 + data3, true_riff_size), 3, "\x01\x02\x03"},
      {"RIFF size below it", riff(fmt8 + data3, 4), 3, "\x01\x02\x03"},
      {"RIFF size one beyond", riff(fmt8 + data3, true_riff_size + 1), -2},
      {"RIFF size with top bit", riff(fmt8 + data3, 0x80000000u), -2},
      {"form type not WAVE", riff(fmt8 + data3, {}, "RIFF", "AVI "), -2},
      {"form type in small letters", riff(fmt8 + data3, {}, "RIFF", "wave"), -2},
      {"empty file", "", -1},
      {"eleven bytes", riff("").substr(0, 11), -1},
      {"header only", riff(""), -3},
      {"chunks around fmt skipped",
       riff(chunk("LIST", "INFOabcd") + fmt8 + chunk("fact", "\x07\0\0\0", {}) + data3), 3,
       "\x01\x02\x03"},
      {"odd chunk written without pad byte", riff(chunk("LIST", "abc") + fmt8 + data3), 3,
       "\x01\x02\x03"},
      {"odd chunk with its pad byte misleads the walk",
       riff(chunk("LIST", "abc") + std::string(1, '\0') + fmt8 + data3), -3},
      {"odd chunk between fmt and data, pad byte",
       riff(fmt8 + chunk("LIST", "abc") + std::string(1, '\0') + data3), -5},
      {"data before fmt is not found again", riff(data3 + fmt8), -5},
      {"no fmt chunk", riff(data3), -3},
      {"identifiers count case", riff(chunk("FMT ", fmt_body(1, 11025, 1, 8)) + data3), -3},
      {"DATA in capitals", riff(fmt8 + chunk("DATA", "\x01")), -5},
      {"chunk size beyond the end", riff(chunk("LIST", "ab", 1000) + fmt8 + data3), -3},
      {"fmt of 18 bytes", riff(fmt_chunk(1, 11025, 1, 8, 2) + data3), 3, "\x01\x02\x03"},
      {"fmt of 14 bytes", riff(chunk("fmt ", fmt_body(1, 11025, 1, 8).substr(0, 14)) + data3), -4},
      {"fmt of 14 bytes at the end", riff(chunk("fmt ", fmt_body(1, 11025, 1, 8).substr(0, 14))),
       -3},
      {"no data after fmt", riff(fmt8 + chunk("LIST", "abcd")), -5},
      {"empty data chunk", riff(fmt8 + chunk("data", "")), 0, ""},
      {"data size that lies is returned", riff(fmt8 + chunk("data", "\x01\x02", 100)), 100,
       "\x01\x02"},
      {"data size with top bit", riff(fmt8 + chunk("data", "\x01\x02", 0x80000000u)), INT32_MIN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Walk outcome = walk(c.file);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.still_open, c.result >= 0);
    EXPECT_EQ(outcome.rest, c.rest);
  }
}

TEST(WaveWalk, FillsTheFormatRecordFromTheFirst16BytesOfFmt) {
  std::string body = le16(0xFFFE) + le16(2) + le32(22050) + le32(88200) + le16(4) + le16(16) +
                     le16(22) + std::string(22, 'x');
  Walk outcome = walk(riff(chunk("fmt ", body) + chunk("data", "abcd")));
  EXPECT_EQ(outcome.result, 4);
  EXPECT_EQ(outcome.rest, "abcd");
  EXPECT_EQ(outcome.format, (WaveFormat{0xFFFE, 2, 22050, 88200, 4, 16}));
}

}  // namespace
}  // namespace zirpton
