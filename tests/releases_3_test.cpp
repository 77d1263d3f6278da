// Releases 3.3 and 2.02: the run of the oldest programs, their list grammar,
// records, stream and the delete command.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/expected_stream.h"
#include "tests/support/harness.h"
#include "tests/support/wave_builder.h"

namespace zirpton::testing {
namespace {

struct Oldest {
  int code;
  std::string out, err, transcript;
  std::string image;  // the output file of a file-output run
};

Oldest run(const Release& release, const std::map<std::string, std::string>& files,
           const std::vector<std::string>& args) {
  ScratchDir dir;
  for (const auto& [name, content] : files) dir.write(name, content);
  fakes::FakeMachine machine;
  RunResult result = run_in_process(release, machine, args);
  return {result.code, result.out, result.err, machine.log.transcript(),
          dir.exists("image.bin") ? dir.read("image.bin") : ""};
}

std::string samples(size_t count, int seed = 0) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += static_cast<char>(i * 3 + static_cast<size_t>(seed));
  return text;
}

const std::string plain_line = "get\nset 38400 8N1 cts=0 dtr=0 rts=0\n";

std::string long_reset() {
  return "pause 500\nsend 41\npause 200\nget\nset 38400 8N1 cts=0 dtr=1 rts=1\npause 10000\n"
         "get\nset 38400 8N1 cts=0 dtr=0 rts=0\n";
}

std::string progress(int first, int count) {
  std::string text;
  char line[16];
  for (int i = first; i < first + count; ++i) {
    std::snprintf(line, sizeof line, "%4d\r", i);
    text += line;
  }
  return text;
}

TEST(Oldest, DeleteWritesTheWholeFlashWith0xFF) {
  struct Case {
    const Release& release;
    const char* banner;
    int pages;
    uint32_t entry_pause;
    const char* announcement;
    const char* checksum;
  } cases[] = {
      {release_3_3(), "Zirpton Version 3.3, 16.1.2007\n", 2048, 12000,
       "2046 von 2046 Pages werden programmiert\n", "\nmy checksum:0x837c000\n"},
      {release_2_02(), "Zirptn Version 2.02, 28.9.2004\n", 1024, 2000,
       "1024 von 1024 Pages werden programmiert\n", "\nmy checksum:0x41be000\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.banner);
    Oldest result = run(c.release, {}, {"3", "delete"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, std::string(c.banner) + "10 Sekunden Reset....\nDeleting Flash!\n" +
                              "\nEmpf\x84nger sollte kurz hupen\n" + c.announcement +
                              progress(0, c.pages) + c.checksum);
    EXPECT_EQ(result.err, "");
    const std::string page = "send 57\npause 1\nsend " + fakes::hex_bytes(Bytes(264, 0xFF)) + "\npause 30\n";
    const std::string sum = c.pages == 2048 ? "00 C0" : "00 E0";
    EXPECT_EQ(result.transcript, plain_line + long_reset() + "pause 500\n" + entry_bytes_transcript() +
                                     "pause " + std::to_string(c.entry_pause) + "\npause 100\n" +
                                     repeat(page, c.pages) + "send 33\npause 30\nsend " + sum +
                                     "\npause 5000\n");
  }
}

TEST(Oldest, TheUsageLineWhenTheSecondArgumentIsNotDelete) {
  for (const Release* release : {&release_3_3(), &release_2_02()}) {
    for (std::vector<std::string> args : {std::vector<std::string>{"3", "DELETE"}, {"3", "list.txt"}}) {
      Oldest result = run(*release, {}, args);
      EXPECT_EQ(result.code, 9);
      EXPECT_EQ(result.out.substr(result.out.find('\n') + 1), "Usage: zirpto32 COMx filelist cv-defaults\n");
      // The port was opened and set before the arguments were looked at.
      EXPECT_EQ(result.transcript, plain_line + "pause 3000\n");
    }
    EXPECT_EQ(run(*release, {}, {"3"}).transcript, "pause 3000\n");
  }
}

TEST(Oldest, EntriesFillTheSlotsInFileOrder) {
  std::map<std::string, std::string> files{{"A.WAV", wave_8bit(samples(24))},
                                           {"B.WAV", wave_8bit(samples(12, 1))},
                                           {"C.WAV", wave_8bit(samples(12, 2))},
                                           {"cv.txt", ""}};
  // Slots 0, 4 and 8 alike, as the pairing check of 3.3 wants them.
  const std::string paired =
      "01: A.WAV\n02: ---\n03: ---\n04: ---\n05: A.WAV\n06: ---\n07: ---\n08: ---\n09: A.WAV\n"
      "10: ---\n11: ---\n12: ---\n";
  struct Case {
    const Release& release;
    std::string list;
    const char* out;  // after the banner, up to the announcement
  } cases[] = {
      {release_3_3(), paired + "7: B.WAV\nxyz: C.WAV\n",
       "ung\x81ltige Zeile: 7: B.WAV\n"
       "0.1 Sekunden von maximal 48.9 Sekunden benutzt\n"
       "00: A.WAV l=24 off=1584 ni=0(*)\n04: A.WAV l=24 off=1584 ni=4(*)\n"
       "08: A.WAV l=24 off=1584 ni=8(*)\n12: C.WAV l=12 off=1608 ni=12(*)\n"},
      {release_3_3(), "**16MBit\n" + paired + "**16MBit\n123: B.WAV\n0: A.WAV\n; note\n",
       "ung\x81ltige Zeile: **16MBit\nung\x81ltige Zeile: 0: A.WAV\n"
       "0.1 Sekunden von maximal 196.0 Sekunden benutzt\n"
       "00: A.WAV l=24 off=1584 ni=0(*)\n04: A.WAV l=24 off=1584 ni=4(*)\n"
       "08: A.WAV l=24 off=1584 ni=8(*)\n12: B.WAV l=12 off=1608 ni=12(*)\n"},
      {release_2_02(), "01: A.WAV\n123: B.WAV\nab: C.WAV\n01: C.WAV\n",
       "ung\x81ltige Zeile: 123: B.WAV\n"
       "0.1 Sekunden von maximal 24.5 Sekunden benutzt\n"
       "00: A.WAV l=24 off=792 ni=1\n01: C.WAV l=12 off=816 ni=2\n02:  l=12 off=816 ni=0(*)\n"
       // The header goes first, its records listed in every run; a row that
       // shares a sound has no name of its own.
       "A.WAV 18 318  so=0x318 l=0xffffffe8 ptr=0x600 ni=01\n"
       "C.WAV c 330  so=0x330 l=0xfffffff4 ptr=0x618 ni=02\n"
       " c 330  so=0x330 l=0xfffffff4 ptr=0x618 ni=80\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    auto with_list = files;
    with_list["list.txt"] = c.list;
    Oldest result = run(c.release, with_list, {"r3", "list.txt", "cv.txt", "image.bin"});
    EXPECT_EQ(result.code, 0) << result.err;
    std::string after_banner = result.out.substr(result.out.find('\n') + 1);
    size_t announcement = after_banner.rfind('\n', after_banner.find("Pages werden")) + 1;
    EXPECT_EQ(after_banner.substr(0, announcement), c.out);
  }
}

TEST(Oldest, LengthsAndTheCopyOf2_02) {
  std::vector<int16_t> sixteen{0x0102, -2, 0x7F00};
  std::string big(70000, 'x');
  struct Case {
    const Release& release;
    std::string wave;
    int code;
    const char* tail;  // the end of standard output
  } cases[] = {
      // 2.02 copies a 16-bit file byte for byte: 6 bytes, filled to 12.
      {release_2_02(), wave_16bit(sixteen), 0, nullptr},
      {release_2_02(), wave_8bit(big), 77, "A.WAV 11178 318 L\x84nge zu gro\xE1: 70008\n"},
      {release_3_3(), wave_8bit(big), 409, nullptr},  // accepted; the pairing check ends it
  };
  for (const auto& c : cases) {
    Oldest result = run(c.release, {{"A.WAV", c.wave}, {"cv.txt", ""}, {"list.txt", "00: A.WAV\n"}},
                        {"r3", "list.txt", "cv.txt", "image.bin"});
    EXPECT_EQ(result.code, c.code) << result.err;
    if (c.tail) {
      EXPECT_EQ(result.out.substr(result.out.size() - std::strlen(c.tail)), c.tail);
    }
  }
  Oldest copied = run(release_2_02(), {{"A.WAV", wave_16bit(sixteen)}, {"cv.txt", ""}, {"list.txt", "00: A.WAV\n"}},
                      {"r3", "list.txt", "cv.txt", "image.bin"});
  // Header (2 pages), CV page, then the six bytes as stored plus 0x80, the
  // fill 0x80 plus 0x80 = 0x00.
  EXPECT_EQ(fakes::hex_bytes(Bytes(copied.image.begin() + 792, copied.image.begin() + 806)),
            "82 81 7E 7F 80 FF 00 00 00 00 00 00 00 00");
}

TEST(Oldest, TheLastSlotLoopsBackToItsGroup) {
  struct Case {
    const Release& release;
    int first, last;
    uint8_t ni;
  } cases[] = {{release_3_3(), 117, 131, 0xF5}, {release_2_02(), 77, 87, 0xCD}};
  for (const auto& c : cases) {
    std::string list;
    char line[32];
    for (int slot = 0; slot <= c.last; ++slot) {
      bool sound = slot == c.first || slot == c.last || slot == 0 || slot == 4 || slot == 8;
      std::snprintf(line, sizeof line, "%02d: %s\n", slot % 100, sound ? "A.WAV" : "---");
      list += line;
    }
    Oldest result = run(c.release, {{"A.WAV", wave_8bit("abc")}, {"cv.txt", ""}, {"list.txt", list}},
                        {"r3", "list.txt", "cv.txt", "image.bin"});
    ASSERT_EQ(result.code, 0) << result.out << result.err;
    size_t header = c.release.header_first ? 0 : 528;
    size_t record = static_cast<size_t>(c.release.record_byte_7 == RecordByte7::none ? 6 : 8);
    EXPECT_EQ(static_cast<uint8_t>(result.image.at(header + record * static_cast<size_t>(c.last) + 5)), c.ni);
    EXPECT_EQ(static_cast<uint8_t>(result.image.at(header + record * static_cast<size_t>(c.first) + 5)),
              0x80 | c.first);
  }
}

TEST(Oldest, FatalErrorsOf3_3PauseAndOf2_02EndAtOnce) {
  std::map<std::string, std::string> files{{"cv.txt", ""}, {"list.txt", "00: X.WAV\n"}};
  Oldest three = run(release_3_3(), files, {"r3", "list.txt", "cv.txt", "image.bin"});
  Oldest two = run(release_2_02(), files, {"r3", "list.txt", "cv.txt", "image.bin"});
  EXPECT_EQ(three.code, 287);
  EXPECT_EQ(two.code, 266);
  EXPECT_EQ(three.err, "X.WAV: No such file or directory\n");
  EXPECT_EQ(two.err, "X.WAV: No such file or directory\n");
  EXPECT_EQ(three.transcript, plain_line + "pause 3000\n");
  EXPECT_EQ(two.transcript, plain_line);
}

TEST(Oldest, PortRunsOnTheLine) {
  std::map<std::string, std::string> files{
      {"A.WAV", wave_8bit(samples(300))}, {"B.WAV", wave_8bit(samples(40, 5), 22050)}, {"cv.txt", "1=3\n"},
      {"list.txt", "**16MBit\n01: A.WAV\n02: ---\n03: ---\n04: ---\n05: A.WAV\n06: ---\n07: ---\n"
                   "08: ---\n09: A.WAV\n10: ---\n11: ---\n12: ---\n13: B.WAV\n"}};
  {
    Oldest file_run = run(release_3_3(), files, {"x3", "list.txt", "cv.txt", "image.bin"});
    ASSERT_EQ(file_run.code, 0) << file_run.err;
    EXPECT_EQ(file_run.transcript, plain_line);
    Bytes image(file_run.image.begin(), file_run.image.end() - 2);
    EXPECT_EQ(image.size(), 264u * (2 + 4 + 2));
    EXPECT_EQ(image[528 + 8 * 12 + 7], 0xFF);  // no rate in 3.3: B.WAV's 22050 Hz is not marked
    Oldest port_run = run(release_3_3(), files, {"x3", "list.txt", "cv.txt"});
    ASSERT_EQ(port_run.code, 0) << port_run.err;
    std::string reset = "pause 500\nsend 41\npause 200\nget\nset 38400 8N1 cts=0 dtr=1 rts=1\npause 2000\n"
                        "get\nset 38400 8N1 cts=0 dtr=0 rts=0\n";
    EXPECT_EQ(port_run.transcript, plain_line + reset + "pause 500\n" + entry_bytes_transcript() +
                                       "pause 12000\n" + single_page_transcript(image, 0x57, 4, 0));
    ASSERT_NE(port_run.out.find("   5 von"), std::string::npos) << port_run.out;
    EXPECT_EQ(port_run.out.substr(port_run.out.find("   5 von")),
              "   5 von 8190 Pages werden programmiert\n   4\r   5\n" + checksum_line(sum_of(image)));
  }
  {
    Oldest file_run = run(release_2_02(), files, {"r3", "list.txt", "cv.txt", "image.bin"});
    ASSERT_EQ(file_run.code, 0) << file_run.err;
    Bytes image(file_run.image.begin(), file_run.image.end() - 2);
    ASSERT_EQ(image.size(), 264u * (2 + 1 + 2));
    EXPECT_EQ(image[528], 3);  // CV 1, behind the header
    Oldest port_run = run(release_2_02(), files, {"r3", "list.txt", "cv.txt"});
    ASSERT_EQ(port_run.code, 0) << port_run.err;
    auto page_of = [&](size_t k) {
      return "send 57\npause 1\nsend " +
             fakes::hex_bytes(Bytes(image.begin() + static_cast<long>(k * 264),
                                    image.begin() + static_cast<long>((k + 1) * 264))) + "\n";
    };
    uint32_t sum = sum_of(image);
    EXPECT_EQ(port_run.transcript,
              plain_line + "pause 500\n" + entry_bytes_transcript() + "pause 2000\n" + page_of(0) +
                  "pause 30\n" + page_of(1) + "pause 30\n" + page_of(2) + "pause 30\npause 100\n" +
                  page_of(3) + "pause 30\n" + page_of(4) + "pause 30\nsend 33\npause 30\n" +
                  "send " + fakes::hex_bytes({static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8)}) +
                  "\npause 5000\n");
    ASSERT_NE(port_run.out.find("   4 von"), std::string::npos) << port_run.out;
    EXPECT_EQ(port_run.out.substr(port_run.out.find("   4 von")),
              "   4 von 8192 Pages werden programmiert\n   3\r   4\n" + checksum_line(sum));
  }
}

}  // namespace
}  // namespace zirpton::testing
