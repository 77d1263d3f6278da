#include "link/programming_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/run.h"
#include "link/open_port.h"
#include "platform/fakes/line_log.h"
#include "releases/release.h"

namespace zirpton {
namespace {

const std::string lines_reversed = "get\nset 38400 8N1 cts=0 dtr=1 rts=0\n";
const std::string lines_back = "get\nset 38400 8N1 cts=0 dtr=0 rts=1\n";
const std::string thirteen_entry_bytes =
    "send F3\npause 20\nsend F4\npause 20\nsend F5\npause 20\nsend F6\npause 20\n"
    "send F7\npause 20\nsend F8\npause 20\nsend F9\npause 20\nsend FA\npause 20\n"
    "send FB\npause 20\nsend FC\npause 20\nsend FD\npause 20\nsend FE\npause 20\n"
    "send FF\npause 20\n";
const std::string burst = "send " + fakes::hex_bytes(std::vector<uint8_t>(300, 0x55)) + "\n";

std::string reset_without_mega(const std::string& wait) {
  return "pause 500\nsend 41\npause 200\n" + lines_reversed + "pause " + wait + "\n" + lines_back +
         "pause 500\n";
}
std::string reset_with_mega(const std::string& wait) {
  return lines_reversed + "pause " + wait + "\n" + lines_back + burst + "pause 100\n" +
         "set 38400 8N2 cts=0 dtr=0 rts=1\n";
}

// The console gets code page 850: "ä" is 0x84.
const std::string reset_text = "10 Sekunden Reset....\n";
const std::string horn_text = "\nEmpf\x84nger sollte kurz hupen\n";

struct EntryCase {
  const char* name;
  int reset_mode;
  bool mega_168;
  bool file_mode;
  std::string transcript;  // everything on the line after the handshake
  std::string out;
};

TEST(ProgrammingEntry, EveryVariantOnTheLineAndOnTheScreen) {
  const std::vector<EntryCase> cases = {
      {"long reset", 1, false, false,
       reset_without_mega("10000") + thirteen_entry_bytes + "pause 6000\n", reset_text + horn_text},
      {"short reset, same text", 2, false, false,
       reset_without_mega("2000") + thirteen_entry_bytes + "pause 6000\n", reset_text + horn_text},
      {"long reset, Mega168", 1, true, false,
       reset_with_mega("10000") + "send 17\npause 6000\n", reset_text + horn_text},
      {"short reset, Mega168", 2, true, false,
       reset_with_mega("2000") + "send 17\npause 6000\n", reset_text + horn_text},
      {"no reset", 0, false, false, thirteen_entry_bytes + "pause 6000\n", horn_text},
      {"no reset, Mega168: one stop bit", 0, true, false, "send 17\npause 6000\n", horn_text},
      {"file mode", 1, true, true, "", ""},
      {"file mode without Mega168", 2, false, true, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeMachine machine;
    zirpton::Run run(release_7_0(), machine.platform);
    open_port(run, 3);
    machine.log.events.clear();
    run.settings.reset_mode = c.reset_mode;
    run.settings.file_mode = c.file_mode;
    run.flash.mega_168 = c.mega_168 ? 1 : 0;

    enter_programming(run);

    EXPECT_EQ(machine.log.transcript(), c.transcript);
    EXPECT_EQ(machine.console.out, c.out);
    EXPECT_EQ(machine.console.err, "");
    EXPECT_EQ(run.channel.checksum, 0u);
    EXPECT_EQ(run.channel.page_bytes, 0);
  }
}

}  // namespace
}  // namespace zirpton
