// The receiver's end of a pseudo-terminal: the slave stays open here, so the
// line settings that the sending program makes persist between its opens and
// the master never sees a hang-up; the master is read in raw mode.
#pragma once

#include <string>

#include "tools/zirpton-receiver/stream_decoder.h"

namespace zirpton::tools {

struct PtyLine {
  int master = -1;
  int slave = -1;
  std::string slave_name;
  std::string link;  // symbolic link to the slave, when asked for
};

// Returns the system error number, 0 on success.
int open_line(PtyLine& line);
// Makes `path` a symbolic link to the slave; an old link there is replaced,
// anything else is left alone. Returns the error number, 0 on success.
int link_line(PtyLine& line, const std::string& path);
void close_line(PtyLine& line);

// Feeds what arrives into `decoder` until the stream is complete, or nothing
// has come for `idle_seconds`, or SIGINT or SIGTERM arrives; then `finish`.
void receive(PtyLine& line, double idle_seconds, StreamDecoder& decoder);

}  // namespace zirpton::tools
