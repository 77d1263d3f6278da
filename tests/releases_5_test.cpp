// Releases 5.4 and 5.3: the fixed sound header, PAD-12 always, the shorter
// listing, byte 7 of 5.3, and QZ_HOME looked up at every verbose line.
#include <gtest/gtest.h>

#include "tests/support/harness.h"
#include "tests/support/wave_builder.h"

namespace zirpton::testing {
namespace {

const std::string bank_0 =
    "00: A.WAV\n01: ---\n02: ---\n03: ---\n04: A.WAV\n05: ---\n06: ---\n07: ---\n08: A.WAV\n";

struct Run5 {
  int code;
  std::string out, err;
  std::string image;
};

Run5 run(const Release& release, const std::string& list, const std::string& a_wave,
         bool verbose = false) {
  ScratchDir dir;
  dir.write("A.WAV", a_wave);
  dir.write("cv.txt", "");
  dir.write("list.txt", list);
  fakes::FakeMachine machine;
  if (verbose) machine.console.env.insert("QZ_HOME");
  RunResult result = run_in_process(release, machine, {"r3", "list.txt", "cv.txt", "image.bin"});
  return {result.code, result.out, result.err, dir.exists("image.bin") ? dir.read("image.bin") : ""};
}

// The listing lines of a good run: between the seconds line and the
// announcement.
std::string listing(const std::string& out) {
  size_t from = out.find("benutzt\n") + 8;
  return out.substr(from, out.find(" von ", from) - from - 4);
}

std::string samples(size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += static_cast<char>(i * 3);
  return text;
}

TEST(Releases5, TheHeaderBlockIsReadAtFixedOffsets) {
  std::string data = samples(13);
  std::string list = "**16MBit\n" + bank_0;
  struct Case {
    const char* what;
    std::string wave;
    const char* listed;  // slot 0's listing line
  } cases[] = {
      {"canonical", wave_8bit(data), "00: A.WAV l=24 off=1584 ni=0(*)\n"},
      {"18-byte fmt chunk", riff(fmt_chunk(1, 11025, 1, 8, 2) + chunk("data", data)),
       "00: A.WAV l=24 off=1584 ni=0(*)\n"},
      {"no identifiers", riff(fmt_chunk(1, 11025, 1, 8) + chunk("DATA", data), std::nullopt, "XXXX", "ABCD"),
       "00: A.WAV l=24 off=1584 ni=0(*)\n"},
      // A LIST chunk ahead of "fmt " moves the fields: the size field reads
      // 'fmt ', the data size comes from inside the format chunk.
      {"LIST chunk first", riff(chunk("LIST", "abcd") + fmt_chunk(1, 11025, 1, 8) + chunk("data", data)), nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const Release* release : {&release_5_4(), &release_5_3()}) {
      Run5 result = run(*release, list, c.wave);
      if (!c.listed) {
        EXPECT_NE(result.code, 0);
        continue;
      }
      ASSERT_EQ(result.code, 0) << result.err;
      std::string lines = listing(result.out);
      EXPECT_EQ(lines.substr(0, lines.find('\n') + 1), c.listed);
    }
  }
}

TEST(Releases5, ALISTChunkGivesTheWrongFieldsAsTheseReleasesRead) {
  std::string data = samples(13);
  // With a LIST chunk of 4 bytes first, offset 24 holds the "fmt "
  // identifier, 32 and 34 the format tag and the channel count.
  std::string wave = riff(chunk("LIST", "abcd") + fmt_chunk(1, 11025, 1, 8) + chunk("data", data));
  Run5 result = run(release_5_4(), "**16MBit\n" + bank_0, wave);
  EXPECT_EQ(result.code, 404);
  EXPECT_EQ(result.err, "Formatproblem bei File A.WAV (*bybsp=1, *bibsp=1)\n");
}

TEST(Releases5, FormatProblemAndShortFilesHaveTheirMessages) {
  struct Case {
    std::string wave;
    int code_5_4, code_5_3;
    const char* err;
  } cases[] = {
      {riff(fmt_chunk(2, 11025, 2, 8) + chunk("data", "abcd")), 404, 403,
       "Formatproblem bei File A.WAV (*bybsp=2, *bibsp=8)\n"},
      {wave_8bit("").substr(0, 43), 18, 18,
       "Datei A.WAV ist k\x81rzer als ihr WAVE-Kopf von 44 Bytes!\n"},
      {riff(fmt_chunk(1, 11025, 1, 8, 2) + chunk("data", "abc")).substr(0, 45), 18, 18,
       "Datei A.WAV ist k\x81rzer als ihr WAVE-Kopf von 46 Bytes!\n"},
  };
  for (const auto& c : cases) {
    Run5 five_four = run(release_5_4(), "**16MBit\n" + bank_0, c.wave);
    Run5 five_three = run(release_5_3(), "**16MBit\n" + bank_0, c.wave);
    EXPECT_EQ(five_four.code, c.code_5_4);
    EXPECT_EQ(five_three.code, c.code_5_3);
    EXPECT_EQ(five_four.err, c.err);
    EXPECT_EQ(five_three.err, c.err);
  }
}

TEST(Releases5, Pad12AlwaysAndTheShorterListing) {
  for (const char* pad : {"", "**PAD-12\n"}) {
    Run5 result = run(release_5_4(), std::string("**16MBit\n**4.Generation\n") + pad + bank_0 +
                                         "09: ---\n10: ---\n11: ---\n12: ---\n13: ---\n14: ---\n"
                                         "1001: A.WAV\n", wave_8bit(samples(13)));
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(listing(result.out),
              "00: A.WAV l=24 off=4752 ni=0(*)\n"
              "04: A.WAV l=24 off=4752 ni=4(*)\n"
              "08: A.WAV l=24 off=4752 ni=8(*)\n"
              "133: A.WAV l=24 off=4752 ni=0\n");
  }
}

TEST(Releases5, ByteSevenOfTheRecords) {
  std::string list = "**16MBit\n" + bank_0;
  Run5 five_four = run(release_5_4(), list, wave_8bit(samples(13)));
  Run5 five_three = run(release_5_3(), list, wave_8bit(samples(13)));
  Run5 five_three_22k = run(release_5_3(), list, wave_8bit(samples(13), 22050));
  for (int slot : {0, 4, 8}) {
    size_t byte_7 = 528 + 8 * static_cast<size_t>(slot) + 7;
    EXPECT_EQ(static_cast<uint8_t>(five_four.image.at(byte_7)), 0x01);
    EXPECT_EQ(static_cast<uint8_t>(five_three.image.at(byte_7)), 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(five_three_22k.image.at(byte_7)), 0xFE);
  }
  // An empty slot is not at 22050 Hz either.
  EXPECT_EQ(static_cast<uint8_t>(five_three.image.at(528 + 8 * 1 + 7)), 0xFF);
}

TEST(Releases5, VerboseHeaderLines) {
  std::string list = "**16MBit\n" + bank_0;
  Run5 five_four = run(release_5_4(), list, wave_8bit(samples(13), 22050), true);
  Run5 five_three = run(release_5_3(), list, wave_8bit(samples(13)), true);
  std::string tail_5_4 = five_four.out.substr(five_four.out.find("   0: "));
  EXPECT_EQ(tail_5_4.substr(0, tail_5_4.find(" von ") - 4),
            "   0: A.WAV 22kHz 18 630  so=0x630 l=0xffffffe8 ptr=0xc00 ni=80 pi=00\n"
            "   4: A.WAV 22kHz 18 630  so=0x630 l=0xffffffe8 ptr=0xc00 ni=84 pi=00\n"
            "   8: A.WAV 22kHz 18 630  so=0x630 l=0xffffffe8 ptr=0xc00 ni=88 pi=00\n"
            "i=33, page=1\n"
            "i=66, page=2\n"
            "i=99, page=3\n");
  std::string tail_5_3 = five_three.out.substr(five_three.out.find("   0: "));
  EXPECT_EQ(tail_5_3.substr(0, tail_5_3.find("i=33")),
            "   0: A.WAV 18 630  so=0x630 l=0xffffffe8 ptr=0xc00 ni=80\n"
            "   4: A.WAV 18 630  so=0x630 l=0xffffffe8 ptr=0xc00 ni=84\n"
            "   8: A.WAV 18 630  so=0x630 l=0xffffffe8 ptr=0xc00 ni=88\n");
}

TEST(Releases5, Release53LinksNoAutoBanks) {
  Run5 result = run(release_5_3(), "**16MBit\n**4.Generation\n" + bank_0 +
                                       "AUTO1\nA.WAV\nB.WAV\nA.WAV\nAUTO9\nB.WAV\nA.WAV\nB.WAV\n",
                    wave_8bit(samples(13)));
  // B.WAV is missing: the run stops there, so only A.WAV is in this list.
  EXPECT_EQ(result.code, 368);
  Run5 linked = run(release_5_3(), "**16MBit\n**4.Generation\n" + bank_0 +
                                       "AUTO1\nA.WAV\nA.WAV\nA.WAV\nAUTO9\nA.WAV\nA.WAV\nA.WAV\n",
                    wave_8bit(samples(13)));
  ASSERT_EQ(linked.code, 0) << linked.err;
  for (int slot = 132; slot < 528; ++slot)
    EXPECT_EQ(linked.image.at(528 + 8 * static_cast<size_t>(slot) + 5), 0) << slot;
}

}  // namespace
}  // namespace zirpton::testing
