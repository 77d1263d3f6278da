#include "platform/comm_config-win32.h"

namespace zirpton {

static_assert(sizeof(COMMCONFIG) == 52, "the comm configuration record is 52 bytes");

CommConfigRecord::CommConfigRecord() {
  grow(sizeof(COMMCONFIG));
  config().dwSize = sizeof(COMMCONFIG);
  config().wVersion = 1;
  dcb().DCBlength = sizeof(DCB);
}

void CommConfigRecord::grow(DWORD size) {
  size_t units = (size + sizeof(uint64_t) - 1) / sizeof(uint64_t);
  if (units > storage_.size()) storage_.resize(units, 0);
}

bool CommConfigRecord::read(HANDLE port, Reader reader) {
  // A driver may ask for more room once, and (in theory) again if its data
  // grew in between; it never gets a size larger than the buffer.
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD offered = size_;
    if (reader(port, &config(), &size_)) return true;
    bool wants_more = GetLastError() == ERROR_INSUFFICIENT_BUFFER && size_ > offered;
    if (!wants_more || size_ > largest_size) {
      size_ = offered;
      return false;
    }
    grow(size_);
  }
  return false;
}

bool CommConfigRecord::write(HANDLE port, Writer writer) { return writer(port, &config(), size_) != 0; }

LineSettings settings_from_dcb(const DCB& dcb) {
  LineSettings settings;
  settings.baud = dcb.BaudRate;
  settings.data_bits = dcb.ByteSize;
  settings.parity = dcb.Parity;
  settings.stop_bits = static_cast<StopBits>(dcb.StopBits);
  settings.cts_flow = dcb.fOutxCtsFlow != 0;
  settings.dtr = dcb.fDtrControl == DTR_CONTROL_ENABLE;
  settings.rts = dcb.fRtsControl == RTS_CONTROL_ENABLE;
  return settings;
}

void put_settings(DCB& dcb, const LineSettings& settings) {
  dcb.BaudRate = settings.baud;
  dcb.ByteSize = settings.data_bits;
  dcb.Parity = settings.parity;
  dcb.StopBits = static_cast<BYTE>(settings.stop_bits);
  dcb.fOutxCtsFlow = settings.cts_flow ? 1 : 0;
  dcb.fDtrControl = settings.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  dcb.fRtsControl = settings.rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
}

}  // namespace zirpton
