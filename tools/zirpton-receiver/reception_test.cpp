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
                  "Seiten: 60\n"
                  "Aufbau: 528 (528 Slots zu 8 Bytes, 16 Kopfseiten nach der CV-Seite)\n" +
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
                "Seiten: 20, davon 1 Ergänzungsseite mit 0x00\n"
                "Aufbau: 528 (528 Slots zu 8 Bytes, 16 Kopfseiten nach der CV-Seite)\n" +
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
           "Seiten: 20, davon 1 Ergänzungsseite mit 0x00\n"
           "Aufbau: 528 (528 Slots zu 8 Bytes, 16 Kopfseiten nach der CV-Seite)\n" +
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
           "Seiten: 20, davon 1 Ergänzungsseite mit 0x00\n"
           "Aufbau: 528 (528 Slots zu 8 Bytes, 16 Kopfseiten nach der CV-Seite)\n" +
           checksum_line(image) +
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
       "Fehler: Datenstrom endet nach 0 Bytes, erwartet Handshake 24 80 11 17 04 A6, "
       "Reset-Byte 0x41 oder Einstieg 0xF3\n"},
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
  EXPECT_EQ(reception_report(told),
            format_text("Empfangen: %zu Bytes\n", with_handshake.size()) +
                "Handshake: 24 80 11 17 04 A6\n"
                "Einstieg: 0xF3 bis 0xFF\n"
                "Rahmung: Einzelseiten (erstes Kommando u)\n"
                "Seiten: 60\n"
                "Aufbau: 528 (528 Slots zu 8 Bytes, 16 Kopfseiten nach der CV-Seite)\n" +
                checksum_line(image) +
                "CVs gesetzt: 1=3 29=6 48=16\n"
                "Slots mit Sound: 6, verschiedene Sounds: 2, 1.0 Sekunden\n"
                "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n");

  // A lost handshake does not hide the layout: "u" comes only before a CV
  // page of the 4th generation.
  std::string bare = single_stream("A" + ascending_entry(), image);
  for (const Framing* framing : {static_cast<const Framing*>(nullptr), &single_framing()}) {
    Reception without = evaluate(decode_stream(bare, framing));
    EXPECT_EQ(file_image(without), output_file(image));
    EXPECT_EQ(without.layout, &layout_528());
    EXPECT_EQ(reception_exit_code(without), 0);
  }
}

// Two sounds of 6000 and 5028 bytes (lengths padded to 12, one second
// together) in slots 0, 1, 4, 5, 8 and 9 of the oldest layouts.
std::vector<OldSlot> old_slots(uint32_t data_start) {
  uint32_t a = data_start, b = data_start + 6000;
  return {{0, 6000, a, 0x01}, {1, 5028, b, 0x80}, {4, 6000, a, 0x05},
          {5, 5028, b, 0x84}, {8, 6000, a, 0x09}, {9, 5028, b, 0x88}};
}

const std::string old_data = ramp(6000, 1) + ramp(5028, 2);

struct LayoutCase {
  const char* name;
  std::string prefix;
  std::string image;
  char first_command;
  const Layout* layout;
  std::string head;  // the lines from the handshake to the layout
};

// The layout is told by the stream (handshake, first page command, the page
// of 0xFF that only 3.3 sends second) or given; either way the image comes
// back as the file-output run writes it.
TEST(Reception, TheLayoutsBeforeThe4thGenerationAreToldByTheStreamOrGiven) {
  const LayoutCase cases[] = {
      {"3.3 with reset", "A" + ascending_entry(),
       assemble_image_3_3({{1, 3}, {29, 6}}, old_slots(1584), old_data), 'W', &layout_3_3(),
       "Handshake: keiner\nReset-Byte: 0x41\nEinstieg: 0xF3 bis 0xFF\n"
       "Rahmung: Einzelseiten (erstes Kommando W)\nSeiten: 48\n"
       "Aufbau: 3.3 (132 Slots zu 8 Bytes mit Byte 7 = 0xFF, 4 Kopfseiten nach der "
       "CV-Seite)\n"},
      {"2.02 without reset", ascending_entry(),
       assemble_image_2_02({{1, 3}, {29, 6}}, old_slots(792), old_data), 'W', &layout_2_02(),
       "Handshake: keiner\nEinstieg: 0xF3 bis 0xFF\n"
       "Rahmung: Einzelseiten (erstes Kommando W)\nSeiten: 45\n"
       "Aufbau: 2.02 (88 Slots zu 6 Bytes, 2 Kopfseiten vor der CV-Seite)\n"},
      {"132 slots after a handshake", handshake + "A" + ascending_entry(),
       assemble_image({{1, 3}, {29, 6}},
                      {{0, 6000, 1584, 0x01, 0, false},
                       {1, 5028, 7584, 0x80, 0, true},
                       {4, 6000, 1584, 0x05, 0, false},
                       {5, 5028, 7584, 0x84, 0, true},
                       {8, 6000, 1584, 0x09, 0, false},
                       {9, 5028, 7584, 0x88, 0, true}},
                      old_data, 132),
       'W', &layout_132(),
       "Handshake: 24 80 11 17 04 A6\nReset-Byte: 0x41\nEinstieg: 0xF3 bis 0xFF\n"
       "Rahmung: Einzelseiten (erstes Kommando W)\nSeiten: 48\n"
       "Aufbau: 132 (132 Slots zu 8 Bytes, 4 Kopfseiten nach der CV-Seite)\n"},
  };
  for (const LayoutCase& shape : cases) {
    SCOPED_TRACE(shape.name);
    std::string stream = single_stream(shape.prefix, shape.image, shape.first_command);
    std::string report = format_text("Empfangen: %zu Bytes\n", stream.size()) + shape.head +
                         checksum_line(shape.image) +
                         "CVs gesetzt: 1=3 29=6\n"
                         "Slots mit Sound: 6, verschiedene Sounds: 2, 1.0 Sekunden\n"
                         "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n";
    bool oldest = shape.layout != &layout_132();
    Reception told = evaluate(decode_stream(stream));
    Reception given = evaluate(decode_stream(stream, oldest ? &oldest_framing() : &single_framing(),
                                             oldest ? Handshake::absent : Handshake::required),
                               shape.layout);
    for (const Reception* reception : {&told, &given}) {
      EXPECT_EQ(reception->layout, shape.layout);
      EXPECT_EQ(file_image(*reception), output_file(shape.image));
      EXPECT_EQ(reception_report(*reception), report);
      EXPECT_EQ(reception_exit_code(*reception), 0);
    }
  }
}

// Every page 0xFF, "W" before each, then the end byte and the checksum as
// the delete command sends them; `checksum` is written out, not computed.
std::string deletion_stream(const std::string& prefix, size_t pages, const std::string& checksum) {
  std::string stream = prefix;
  for (size_t page = 0; page < pages; ++page) stream += "W" + std::string(264, '\xFF');
  return stream + "\x33" + checksum;
}

struct DeletionCase {
  const char* name;
  std::string stream;
  const Layout* layout;  // given, or nullptr
  std::string report;    // after the line of the bytes received
  int code;
};

TEST(Reception, TheDeleteCommandIsReportedAsADeletionOfTheWholeFlash) {
  const std::string head =
      "Handshake: keiner\nEinstieg: 0xF3 bis 0xFF\n"
      "Rahmung: Einzelseiten (erstes Kommando W)\n";
  const std::string good_3_3 = "Prüfsumme: 0xC000 empfangen, 0xC000 berechnet (Summe 0x837C000)\n";
  const std::string good_2_02 = "Prüfsumme: 0xE000 empfangen, 0xE000 berechnet (Summe 0x41BE000)\n";
  const DeletionCase cases[] = {
      {"3.3, told by its length", deletion_stream("A" + ascending_entry(), 2048, {"\x00\xC0", 2}),
       nullptr,
       "Handshake: keiner\nReset-Byte: 0x41\nEinstieg: 0xF3 bis 0xFF\n"
       "Rahmung: Einzelseiten (erstes Kommando W)\nSeiten: 2048\n"
       "Aufbau: Löschen (3.3), 2048 Seiten mit 0xFF\n" +
           good_3_3 + "Ergebnis: Flash gelöscht, Prüfsumme stimmt\n",
       0},
      {"2.02, told by its length", deletion_stream(ascending_entry(), 1024, {"\x00\xE0", 2}),
       nullptr,
       head + "Seiten: 1024\nAufbau: Löschen (2.02), 1024 Seiten mit 0xFF\n" + good_2_02 +
           "Ergebnis: Flash gelöscht, Prüfsumme stimmt\n",
       0},
      {"2.02, given", deletion_stream(ascending_entry(), 1024, {"\x00\xE0", 2}), &layout_2_02(),
       head + "Seiten: 1024\nAufbau: Löschen (2.02), 1024 Seiten mit 0xFF\n" + good_2_02 +
           "Ergebnis: Flash gelöscht, Prüfsumme stimmt\n",
       0},
      {"the pages of 2.02 where 3.3 is given",
       deletion_stream(ascending_entry(), 1024, {"\x00\xE0", 2}), &layout_3_3(),
       head + "Seiten: 1024\nAufbau: Löschen, 1024 Seiten mit 0xFF\n" + good_2_02 +
           "Fehler: Löschen: 1024 Seiten mit 0xFF, der Flash hat 2048 Seiten\n",
       1},
      {"pages missing", deletion_stream(ascending_entry(), 1000, {"\xC0\x38", 2}), nullptr,
       head + "Seiten: 1000\nAufbau: Löschen, 1000 Seiten mit 0xFF\n" +
           "Prüfsumme: 0x38C0 empfangen, 0x38C0 berechnet (Summe 0x40338C0)\n" +
           "Fehler: Löschen: 1000 Seiten mit 0xFF, der Flash hat 1024 oder 2048 Seiten\n",
       1},
      {"wrong checksum", deletion_stream(ascending_entry(), 1024, {"\x00\xC0", 2}), nullptr,
       head + "Seiten: 1024\nAufbau: Löschen (2.02), 1024 Seiten mit 0xFF\n" +
           "Prüfsumme: 0xC000 empfangen, 0xE000 berechnet (Summe 0x41BE000)\n" +
           "Fehler: Prüfsumme falsch: empfangen 0xC000, berechnet 0xE000\n",
       1},
  };
  for (const DeletionCase& deletion : cases) {
    SCOPED_TRACE(deletion.name);
    bool given = deletion.layout != nullptr;
    Reception reception =
        evaluate(decode_stream(deletion.stream, given ? &oldest_framing() : nullptr,
                               given ? Handshake::absent : Handshake::optional),
                 deletion.layout);
    EXPECT_EQ(reception_report(reception),
              format_text("Empfangen: %zu Bytes\n", deletion.stream.size()) + deletion.report);
    EXPECT_EQ(reception_exit_code(reception), deletion.code);
    size_t pages = (deletion.stream.size() - 16) / 265;
    EXPECT_EQ(file_image(reception), std::string(pages * 264, '\xFF') +
                                         deletion.stream.substr(deletion.stream.size() - 2));
  }
}

TEST(Reception, TheOldestStreamsAreCheckedAgainstTheirOwnShape) {
  std::string image = assemble_image_3_3({}, old_slots(1584), old_data);
  std::string wrong_byte_7 = image;
  wrong_byte_7[528 + 2 * 8 + 7] = '\xFE';  // slot 2
  struct Fault {
    const char* name;
    std::string stream;
    std::string error;
  } const faults[] = {
      {"a handshake", single_stream(handshake + ascending_entry(), image, 'W'),
       "Rahmenfehler an Offset 0: 0x24 empfangen, erwartet Reset-Byte 0x41 oder Einstieg 0xF3"},
      {"a burst", single_stream(std::string(300, '\x55') + "\x17", image, 'W'),
       "Rahmenfehler an Offset 0: 0x55 empfangen, erwartet Reset-Byte 0x41 oder Einstieg 0xF3"},
      {"u before the CV page", single_stream(ascending_entry(), image, 'u'),
       "Rahmenfehler an Offset 13: 0x75 empfangen, erwartet Seitenkommando W"},
      {"byte 7 not 0xFF", single_stream(ascending_entry(), wrong_byte_7, 'W'),
       "Slot 2: Byte 7 ist 0xFE, erwartet 0xFF"},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    Reception reception =
        evaluate(decode_stream(fault.stream, &oldest_framing(), Handshake::absent), &layout_3_3());
    EXPECT_EQ(reception.errors, std::vector<std::string>{fault.error});
    EXPECT_EQ(reception_exit_code(reception), 1);
  }
}

}  // namespace
}  // namespace zirpton::tools
