#include "tools/zirpton-receiver/reception.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tools/flash-image/image_assembly_testing.h"
#include "tools/flash-image/text_format.h"
#include "tools/zirpton-receiver/stream_decoder.h"

namespace zirpton::tools {
namespace {

using namespace zirpton::tools::testing;

// Stored (signed) sample bytes that vary, so that a misplaced byte shows.
std::string ramp(size_t count, int seed) {
  std::string bytes;
  for (size_t i = 0; i < count; ++i) bytes += static_cast<char>((i * 7 + seed) & 0xFF);
  return bytes;
}

// Two sounds of 6000 and 5025 bytes (one second together at 11025 per
// second), the second at 22050 Hz, each in two slots of bank 0 and one of
// the AUTO banks.
std::string sample_image() {
  return assemble_image({{1, 3}, {29, 6}, {48, 16}},
                        {{0, 6000, 4752, 0x01, 0, false},
                         {1, 5025, 10752, 0x80, 0, true},
                         {4, 6000, 4752, 0x05, 0, false},
                         {5, 5025, 10752, 0x84, 0, true},
                         {132, 6000, 4752, 9, 0, false},
                         {141, 5025, 10752, 0, 8, true}},
                        ramp(6000, 1) + ramp(5025, 2));
}

std::string checksum_line(const std::string& image) {
  uint32_t sum = sum_of(image);
  return format_text("Prüfsumme: 0x%04X empfangen, 0x%04X berechnet (Summe 0x%X)\n", sum & 0xFFFF,
                     sum & 0xFFFF, sum);
}

struct EntryCase {
  const char* name;
  std::string prefix;
  std::string prefix_lines;
};

TEST(Reception, EveryEntryVariantGivesBackExactlyTheImageOfAFileOutputRun) {
  std::string image = sample_image();
  ASSERT_EQ(image.size(), 60 * 264u);
  const EntryCase cases[] = {
      {"no reset", handshake + ascending_entry(), "Einstieg: 0xF3 bis 0xFF\n"},
      {"reset with A", handshake + "A" + ascending_entry(),
       "Reset-Byte: 0x41\nEinstieg: 0xF3 bis 0xFF\n"},
      {"reset with burst", handshake + std::string(300, '\x55') + "\x17",
       "Burst: 300 x 0x55\nEinstieg: 0x17\n"},
      {"single entry byte", handshake + "\x17", "Einstieg: 0x17\n"},
  };
  for (const EntryCase& entry : cases) {
    SCOPED_TRACE(entry.name);
    std::string stream = pair_stream(entry.prefix, image);
    Reception reception = evaluate(decode_stream(stream));
    EXPECT_EQ(file_image(reception), output_file(image));
    EXPECT_EQ(reception_report(reception),
              format_text("Empfangen: %zu Bytes\n", stream.size()) +
                  "Handshake: 24 80 11 17 04 A6\n" + entry.prefix_lines +
                  "Rahmung: Seitenpaare (erstes Kommando 76 FF FF 23)\n"
                  "Seiten: 60\n" +
                  checksum_line(image) +
                  "CVs gesetzt: 1=3 29=6 48=16\n"
                  "Slots mit Sound: 6, verschiedene Sounds: 2, 1.0 Sekunden\n"
                  "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n");
    EXPECT_EQ(reception_exit_code(reception), 0);
  }
}

// The completing page of a pair and a last data page of silence look alike;
// the slot records tell them apart.
struct ShapeCase {
  const char* name;
  std::string data;
  std::vector<TestSlot> slots;
  size_t pages_received;
  bool zero_page_dropped;
};

TEST(Reception, TheCompletingZeroPageIsDroppedOnlyWhenNoSoundReachesIntoIt) {
  const ShapeCase cases[] = {
      {"no sound data", "", {}, 18, false},
      {"one data page, completed", ramp(100, 3), {{0, 100, 4752, 0x80, 0, false}}, 20, true},
      {"two data pages", ramp(300, 4), {{0, 300, 4752, 0x80, 0, false}}, 20, false},
      {"silence into the second data page",
       std::string(300, '\0'),
       {{0, 300, 4752, 0x80, 0, false}},
       20,
       false},
      {"silence ending in the first data page, completed",
       std::string(264, '\0'),
       {{0, 264, 4752, 0x80, 0, false}},
       20,
       true},
      {"three data pages", ramp(700, 5), {{0, 700, 4752, 0x80, 0, true}}, 22, true},
  };
  for (const ShapeCase& shape : cases) {
    SCOPED_TRACE(shape.name);
    std::string image = assemble_image({}, shape.slots, shape.data);
    Reception reception = evaluate(decode_stream(pair_stream(handshake + "\x17", image)));
    EXPECT_EQ(reception.stream.image.size(), shape.pages_received * 264);
    EXPECT_EQ(reception.zero_page_dropped, shape.zero_page_dropped);
    EXPECT_EQ(file_image(reception), output_file(image));
    EXPECT_EQ(reception_exit_code(reception), 0);
  }
}

TEST(Reception, TheReportNamesTheCompletingPage) {
  std::string image = assemble_image({}, {{0, 100, 4752, 0x80, 0, false}}, ramp(100, 3));
  std::string stream = pair_stream(handshake + "\x17", image);
  EXPECT_EQ(reception_report(evaluate(decode_stream(stream))),
            format_text("Empfangen: %zu Bytes\n", stream.size()) +
                "Handshake: 24 80 11 17 04 A6\n"
                "Einstieg: 0x17\n"
                "Rahmung: Seitenpaare (erstes Kommando 76 FF FF 23)\n"
                "Seiten: 20, davon 1 Ergänzungsseite mit 0x00\n" +
                checksum_line(image) +
                "CVs gesetzt: keine\n"
                "Slots mit Sound: 1, verschiedene Sounds: 1, 0.0 Sekunden\n"
                "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n");
}

struct FaultCase {
  const char* name;
  std::string stream;
  std::string report;
};

TEST(Reception, FaultsAreNamedWithTheirOffsetAndWhatWasExpected) {
  std::string image = assemble_image({{1, 3}}, {{0, 100, 4752, 0x80, 0, false}}, ramp(100, 3));
  std::string prefix = handshake + "\x17";
  std::string good = pair_stream(prefix, image);
  ASSERT_EQ(good.size(), 7 + 10 * (4 + 528 + 96) + 3u);
  uint32_t sum = sum_of(image);

  std::string wrong_sum = good;
  wrong_sum.back() = static_cast<char>(wrong_sum.back() + 1);
  std::string no_fill = good.substr(0, 7 + 532) + good.substr(7 + 628);
  std::string cut = good.substr(0, 7 + 628 + 4 + 100);
  std::string bad_command = good.substr(0, 7 + 628) + "\x34" + good.substr(7 + 629);
  std::string short_burst = handshake + std::string(299, '\x55') + "\x17";
  std::string gap_in_entry = handshake + "A\xF3\xF5";

  const std::string head =
      "Handshake: 24 80 11 17 04 A6\nEinstieg: 0x17\n"
      "Rahmung: Seitenpaare (erstes Kommando 76 FF FF 23)\n";
  const FaultCase cases[] = {
      {"wrong checksum", wrong_sum,
       format_text("Empfangen: %zu Bytes\n", good.size()) + head +
           "Seiten: 20, davon 1 Ergänzungsseite mit 0x00\n" +
           format_text("Prüfsumme: 0x%04X empfangen, 0x%04X berechnet (Summe 0x%X)\n",
                       (sum + 0x100) & 0xFFFF, sum & 0xFFFF, sum) +
           "CVs gesetzt: 1=3\n"
           "Slots mit Sound: 1, verschiedene Sounds: 1, 0.0 Sekunden\n" +
           format_text("Fehler: Prüfsumme falsch: empfangen 0x%04X, berechnet 0x%04X\n",
                       (sum + 0x100) & 0xFFFF, sum & 0xFFFF)},
      {"missing fill", no_fill,
       "Empfangen: 539 Bytes\n" + head +
           "Seiten: 2\n"
           "Fehler: Rahmenfehler an Offset 539: 0x76 empfangen, erwartet Füllbyte 0xFF "
           "(1 von 96 nach Seitenpaar 1)\n"},
      {"cut off inside a pair", cut,
       "Empfangen: 739 Bytes\n" + head +
           "Seiten: 2\n"
           "Fehler: Datenstrom endet nach 739 Bytes, erwartet Seitenbyte 101 von 528 "
           "(Seitenpaar 2)\n"},
      {"unknown byte after a fill", bad_command,
       "Empfangen: 635 Bytes\n" + head +
           "Seiten: 2\n"
           "Fehler: Rahmenfehler an Offset 635: 0x34 empfangen, erwartet Seitenkommando "
           "76 FF FF 23 oder Endbyte 0x33\n"},
      {"byte after the checksum", good + "\x33",
       format_text("Empfangen: %zu Bytes\n", good.size()) + head +
           "Seiten: 20, davon 1 Ergänzungsseite mit 0x00\n" + checksum_line(image) +
           "CVs gesetzt: 1=3\n"
           "Slots mit Sound: 1, verschiedene Sounds: 1, 0.0 Sekunden\n" +
           format_text("Fehler: Rahmenfehler an Offset %zu: 0x33 empfangen, erwartet nichts mehr "
                       "nach der Prüfsumme\n",
                       good.size())},
      {"only the handshake", handshake,
       "Empfangen: 6 Bytes\nHandshake: 24 80 11 17 04 A6\nEinstieg: keiner\n"
       "Hinweis: nur der Handshake kam an, wie bei einem Lauf mit Ausgabedatei\n"
       "Fehler: Datenstrom endet nach 6 Bytes, erwartet Reset-Byte 0x41, Burst 0x55 oder "
       "Einstieg 0xF3 oder 0x17\n"},
      {"nothing", "",
       "Empfangen: 0 Bytes\nHandshake: keiner\nEinstieg: keiner\n"
       "Fehler: Datenstrom endet nach 0 Bytes, erwartet Handshake 24 80 11 17 04 A6 "
       "(Byte 1 von 6)\n"},
      {"wrong handshake", "\x24\x80\x11\x17\x05\xA6",
       "Empfangen: 4 Bytes\nHandshake: keiner\nEinstieg: keiner\n"
       "Fehler: Rahmenfehler an Offset 4: 0x05 empfangen, erwartet Handshake "
       "24 80 11 17 04 A6 (Byte 5 von 6)\n"},
      {"short burst", short_burst,
       "Empfangen: 305 Bytes\nHandshake: 24 80 11 17 04 A6\nBurst: 299 x 0x55\n"
       "Einstieg: keiner\n"
       "Fehler: Rahmenfehler an Offset 305: 0x17 empfangen, erwartet Burst 0x55 "
       "(Byte 300 von 300)\n"},
      {"gap in the entry bytes", gap_in_entry,
       "Empfangen: 8 Bytes\nHandshake: 24 80 11 17 04 A6\nReset-Byte: 0x41\n"
       "Einstieg: 0xF3 bis 0xFF\n"
       "Fehler: Rahmenfehler an Offset 8: 0xF5 empfangen, erwartet Einstieg 0xF4 "
       "(Folge 0xF3 bis 0xFF)\n"},
  };
  for (const FaultCase& fault : cases) {
    SCOPED_TRACE(fault.name);
    Reception reception = evaluate(decode_stream(fault.stream));
    EXPECT_EQ(reception_report(reception), fault.report);
    EXPECT_EQ(reception_exit_code(reception), 1);
  }
}

TEST(Reception, AStreamFedInPiecesDecodesAsAWhole) {
  std::string stream = pair_stream(handshake + "A" + ascending_entry(), sample_image());
  StreamResult whole = decode_stream(stream);
  for (size_t piece : {1u, 7u, 528u, 4096u}) {
    SCOPED_TRACE(piece);
    StreamDecoder decoder;
    start_decoder(decoder, nullptr);
    for (size_t at = 0; at < stream.size() && !decoder_stopped(decoder); at += piece)
      feed(decoder, std::string_view(stream).substr(at, piece));
    finish(decoder);
    EXPECT_TRUE(decoder.result.complete);
    EXPECT_EQ(decoder.result.error, "");
    EXPECT_EQ(decoder.result.image, whole.image);
    EXPECT_EQ(decoder.result.received_checksum, whole.received_checksum);
  }
}

TEST(Reception, SinglePagesAreRecognisedByTheirFirstCommandOrWhenAskedFor) {
  std::string image = sample_image();
  std::string with_handshake = single_stream(handshake + ascending_entry(), image);
  Reception told = evaluate(decode_stream(with_handshake));
  EXPECT_EQ(file_image(told), output_file(image));
  EXPECT_EQ(reception_report(told), format_text("Empfangen: %zu Bytes\n", with_handshake.size()) +
                                        "Handshake: 24 80 11 17 04 A6\n"
                                        "Einstieg: 0xF3 bis 0xFF\n"
                                        "Rahmung: Einzelseiten (erstes Kommando u)\n"
                                        "Seiten: 60\n" +
                                        checksum_line(image) +
                                        "CVs gesetzt: 1=3 29=6 48=16\n"
                                        "Slots mit Sound: 6, verschiedene Sounds: 2, 1.0 Sekunden\n"
                                        "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n");

  // The oldest programs send no handshake: only a forced framing accepts that.
  std::string bare = single_stream("A" + ascending_entry(), image);
  Reception forced = evaluate(decode_stream(bare, &single_framing()));
  EXPECT_EQ(file_image(forced), output_file(image));
  EXPECT_EQ(reception_exit_code(forced), 0);
  EXPECT_EQ(evaluate(decode_stream(bare)).errors,
            std::vector<std::string>{"Rahmenfehler an Offset 0: 0x41 empfangen, erwartet "
                                     "Handshake 24 80 11 17 04 A6 (Byte 1 von 6)"});
}

}  // namespace
}  // namespace zirpton::tools
