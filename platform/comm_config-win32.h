// The Windows comm configuration of a port, and how its DCB fields map onto
// the run's line settings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/serial_port.h"

namespace zirpton {

// The configuration as last read or written. It starts as the standard
// 52-byte record; a driver that keeps data of its own behind the record
// says how much room it needs, and the record grows to that, so that a read
// never writes past its buffer and the driver's data go back unchanged.
class CommConfigRecord {
 public:
  using Reader = BOOL(WINAPI*)(HANDLE, LPCOMMCONFIG, LPDWORD);
  using Writer = BOOL(WINAPI*)(HANDLE, LPCOMMCONFIG, DWORD);

  // More than this is no serial driver's configuration.
  static constexpr DWORD largest_size = 65536;

  CommConfigRecord();
  bool read(HANDLE port, Reader reader = &GetCommConfig);
  bool write(HANDLE port, Writer writer = &SetCommConfig);

  COMMCONFIG& config() { return *reinterpret_cast<COMMCONFIG*>(storage_.data()); }
  DCB& dcb() { return config().dcb; }
  // The size variable handed to every read and write.
  DWORD size() const { return size_; }
  DWORD capacity() const { return static_cast<DWORD>(storage_.size() * sizeof(uint64_t)); }

 private:
  void grow(DWORD size);

  std::vector<uint64_t> storage_;  // 8-byte units keep the record aligned
  DWORD size_ = sizeof(COMMCONFIG);
};

LineSettings settings_from_dcb(const DCB& dcb);
// Writes the fields the settings name; every other field keeps its value.
void put_settings(DCB& dcb, const LineSettings& settings);

}  // namespace zirpton
