#include "link/byte_channel.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/fatal_exit.h"
#include "driver/run.h"
#include "link/open_port.h"
#include "platform/fakes/line_log.h"
#include "releases/release.h"
#include "tests/support/harness.h"

namespace zirpton {
namespace {

using testing::repeat;

class ChannelTest : public ::testing::Test {
 protected:
  fakes::FakeMachine machine;
  zirpton::Run run{release_7_0(), machine.platform};
  ByteChannel& channel = run.channel;

  void open() {
    open_port(run, 3);
    machine.log.events.clear();
  }
};

TEST_F(ChannelTest, OpenPortSendsTheHandshakeAt57600ThenSwitchesTo38400) {
  open_port(run, 3);
  EXPECT_EQ(machine.ports.opened, std::vector<int>{3});
  EXPECT_EQ(machine.log.transcript(),
            "get\n"
            "set 57600 8N1 cts=0 dtr=0 rts=1\n"
            "send 24 80 11 17 04 A6\n"
            "pause 10\n"
            "get\n"
            "set 38400 8N1 cts=0 dtr=0 rts=1\n");
  for (const auto& event : machine.log.events)
    if (event.kind == fakes::LineEvent::write) {
      EXPECT_EQ(event.settings.baud, 57600u);
    }
  EXPECT_EQ(channel.frame_xor, 0);
  EXPECT_EQ(machine.console.out + machine.console.err, "");
}

TEST_F(ChannelTest, APortThatCannotBeOpenedEndsTheRunWithCode1) {
  machine.ports.open_error = 2;
  try {
    open_port(run, 0);
    FAIL() << "open_port returned";
  } catch (const FatalExit& end) {
    EXPECT_EQ(end.code, 1);
  }
  EXPECT_EQ(machine.console.err, "Open COM0: Error 2\n");
  EXPECT_EQ(machine.console.key_waits, 1);
  EXPECT_EQ(machine.log.transcript(), "");
}

TEST_F(ChannelTest, ADeviceWithoutLineSettingsStillTakesTheStream) {
  machine.ports.terminal = false;
  open_port(run, 1);
  EXPECT_EQ(machine.log.transcript(false),
            "set 57600 8N1 cts=0 dtr=0 rts=1\n"
            "send 24 80 11 17 04 A6\n"
            "pause 10\n"
            "set 38400 8N1 cts=0 dtr=0 rts=1\n");
}

TEST_F(ChannelTest, ChecksumSendsItsLow16BitsLowByteFirst) {
  open();
  channel.checksum = 0x1F2A3;
  channel.send_checksum();
  EXPECT_EQ(machine.log.transcript(), "send A3 F2\n");
  EXPECT_EQ(channel.page_bytes, 2);
  EXPECT_EQ(channel.checksum, 0x1F2A3u);
}

TEST_F(ChannelTest, FinishPausesThenPulsesRtsTenTimesAndLeavesItOn) {
  open();
  channel.finish(10);
  std::string pulse =
      "get\nset 38400 8N1 cts=0 dtr=0 rts=0\nget\nset 38400 8N1 cts=0 dtr=0 rts=1\n";
  EXPECT_EQ(machine.log.transcript(), "pause 5000\n" + repeat(pulse, 10));
}

TEST_F(ChannelTest, LinesAndStopBitsChangeOnlyWhatIsAsked) {
  open();
  channel.set_lines(true, false);
  channel.set_stop_bits(StopBits::two);
  channel.send_raw(0x17);
  EXPECT_EQ(machine.log.transcript(),
            "get\n"
            "set 38400 8N1 cts=0 dtr=1 rts=0\n"
            "set 38400 8N2 cts=0 dtr=1 rts=0\n"
            "send 17\n");
}

TEST_F(ChannelTest, AFailedWriteIsReportedOnceAndTheStreamGoesOn) {
  machine.ports.failing_writes = {8};  // the six handshake bytes come first
  machine.ports.write_error = 5;
  open();
  channel.send_raw(0x01);
  channel.send_raw(0x02);
  channel.send_raw(0x03);
  EXPECT_EQ(machine.console.err, "WriteFile returns 5\n");
  EXPECT_EQ(machine.log.transcript(), "send 01\nfailed 02\nsend 03\n");
  EXPECT_EQ(channel.failed_writes, 1);
}

TEST_F(ChannelTest, InFileModeCountedBytesGoToTheFileAndFramingToThePort) {
  testing::ScratchDir dir;
  open();
  FileHandle out = create_binary("out.bin");
  channel.file_mode = true;
  channel.output_file = out.get();
  channel.send_counted(0x41);
  channel.send_raw(0x76);
  channel.checksum = 0x0102;
  channel.send_checksum();
  out.reset();
  EXPECT_EQ(dir.read("out.bin"), std::string("\x41\x02\x01", 3));
  EXPECT_EQ(machine.log.transcript(), "send 76\n");
  EXPECT_EQ(channel.page_bytes, 3);
}

TEST_F(ChannelTest, BurstGoesAsOneWrite) {
  open();
  uint8_t burst[300];
  std::fill(std::begin(burst), std::end(burst), 0x55);
  channel.send_block(burst, sizeof burst);
  ASSERT_EQ(machine.log.events.size(), 1u);
  EXPECT_EQ(machine.log.events[0].bytes.size(), 300u);
}

}  // namespace
}  // namespace zirpton
