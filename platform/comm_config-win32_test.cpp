#include "platform/comm_config-win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace zirpton {
namespace {

std::vector<uint8_t> bytes_of(const DCB& dcb) {
  const auto* begin = reinterpret_cast<const uint8_t*>(&dcb);
  return {begin, begin + sizeof dcb};
}

// A port as an earlier program may leave it: flags and characters the
// settings don't name, DTR in handshake mode.
DCB used_dcb() {
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = 9600;
  dcb.fBinary = 1;
  dcb.fParity = 1;
  dcb.fOutxCtsFlow = 1;
  dcb.fOutxDsrFlow = 1;
  dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
  dcb.fOutX = 1;
  dcb.fRtsControl = RTS_CONTROL_TOGGLE;
  dcb.fAbortOnError = 1;
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.ByteSize = 7;
  dcb.Parity = EVENPARITY;
  dcb.StopBits = TWOSTOPBITS;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  dcb.EvtChar = 0x7E;
  return dcb;
}

TEST(CommConfig, SettingsReadTheNamedFieldsAndOnlyEnableCountsAsOn) {
  DCB dcb = used_dcb();
  EXPECT_EQ(settings_from_dcb(dcb), (LineSettings{9600, 7, EVENPARITY, StopBits::two, true, false, false}));
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fOutxCtsFlow = 0;
  dcb.StopBits = ONE5STOPBITS;
  EXPECT_EQ(settings_from_dcb(dcb), (LineSettings{9600, 7, EVENPARITY, StopBits::one_and_half, false, true, true}));
}

TEST(CommConfig, WritingSettingsLeavesEveryOtherFieldAsThePortReportedIt) {
  struct Case {
    const char* what;
    LineSettings settings;
  } cases[] = {
      {"handshake", {57600, 8, NOPARITY, StopBits::one, false, false, true}},
      {"stream with both lines on", {38400, 8, NOPARITY, StopBits::two, false, true, true}},
      {"lines off, flow on", {1200, 5, ODDPARITY, StopBits::one_and_half, true, false, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DCB written = used_dcb();
    put_settings(written, c.settings);

    DCB expected = used_dcb();
    expected.BaudRate = c.settings.baud;
    expected.ByteSize = c.settings.data_bits;
    expected.Parity = c.settings.parity;
    expected.StopBits = static_cast<BYTE>(c.settings.stop_bits);
    expected.fOutxCtsFlow = c.settings.cts_flow;
    expected.fDtrControl = c.settings.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    expected.fRtsControl = c.settings.rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    EXPECT_EQ(bytes_of(written), bytes_of(expected));
    EXPECT_EQ(settings_from_dcb(written), c.settings);
  }
}

// A driver whose configuration needs `needed` bytes: it refuses a smaller
// buffer and names the size, as GetCommConfig does, and fills a large
// enough one with the DCB and its own data behind the record.
struct FakeDriver {
  DWORD needed = sizeof(COMMCONFIG);
  DWORD error = 0;  // nonzero: every read fails with it
  std::vector<DWORD> offered;
  std::vector<uint8_t> written;
};
FakeDriver driver;

BOOL WINAPI fake_read(HANDLE, LPCOMMCONFIG config, LPDWORD size) {
  driver.offered.push_back(*size);
  if (driver.error) {
    SetLastError(driver.error);
    return FALSE;
  }
  if (*size < driver.needed) {
    *size = driver.needed;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* bytes = reinterpret_cast<uint8_t*>(config);
  for (DWORD i = sizeof(COMMCONFIG); i < driver.needed; ++i) bytes[i] = static_cast<uint8_t>(i);
  config->dcb = used_dcb();
  config->dwProviderSize = driver.needed - static_cast<DWORD>(sizeof(COMMCONFIG));
  *size = driver.needed;
  return TRUE;
}

BOOL WINAPI fake_write(HANDLE, LPCOMMCONFIG config, DWORD size) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(config);
  driver.written.assign(bytes, bytes + size);
  return TRUE;
}

TEST(CommConfig, TheRecordGrowsToWhatTheDriverNeedsAndNeverOffersMoreThanItHolds) {
  struct Case {
    const char* what;
    DWORD needed;
    DWORD error;
    bool read;
    std::vector<DWORD> offered;
    DWORD size_after;
  } cases[] = {
      {"the standard record", 52, 0, true, {52}, 52},
      {"driver data behind the record", 80, 0, true, {52, 80}, 80},
      {"a size no driver needs", CommConfigRecord::largest_size + 1, 0, false, {52}, 52},
      {"a port without configuration", 52, ERROR_INVALID_HANDLE, false, {52}, 52},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    driver = FakeDriver{c.needed, c.error, {}, {}};
    CommConfigRecord record;
    EXPECT_EQ(record.read(nullptr, fake_read), c.read);
    EXPECT_EQ(driver.offered, c.offered);
    EXPECT_EQ(record.size(), c.size_after);
    EXPECT_GE(record.capacity(), record.size());

    // What goes back is the whole record as read, the driver's data with it.
    ASSERT_TRUE(record.write(nullptr, fake_write));
    ASSERT_EQ(driver.written.size(), c.size_after);
    if (c.read) {
      EXPECT_EQ(std::memcmp(driver.written.data() + offsetof(COMMCONFIG, dcb), &record.dcb(), sizeof(DCB)), 0);
      for (DWORD i = sizeof(COMMCONFIG); i < c.size_after; ++i)
        EXPECT_EQ(driver.written[i], static_cast<uint8_t>(i)) << "byte " << i;
    }
  }
}

TEST(CommConfig, AnUnreadRecordIsTheEmptyStandardRecord) {
  CommConfigRecord record;
  EXPECT_EQ(record.size(), 52u);
  EXPECT_EQ(record.config().dwSize, 52u);
  EXPECT_EQ(record.dcb().DCBlength, sizeof(DCB));
  EXPECT_EQ(record.dcb().BaudRate, 0u);
}

}  // namespace
}  // namespace zirpton
