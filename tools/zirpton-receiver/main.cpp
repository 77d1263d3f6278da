// zirpton-receiver: a receiver on a pseudo-terminal. It tells the device to
// name as the zirpton program's port, takes apart the stream that arrives,
// rebuilds the flash image and says whether it came through whole.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "tools/flash-image/tell.h"
#include "tools/zirpton-receiver/pty_line.h"
#include "tools/zirpton-receiver/reception.h"

namespace zirpton::tools {
namespace {

constexpr int exit_usage = 2;

struct Options {
  std::string link;
  std::string image;
  int port = 1;
  double timeout = 30;
  const Framing* framing = nullptr;  // told by the stream
  bool framing_given = false;
  const Layout* layout = nullptr;  // told by the stream
  Handshake handshake = Handshake::optional;
};

const char usage[] =
    "Aufruf: zirpton-receiver [--link PFAD] [--port N] [--timeout SEKUNDEN] [--image DATEI]\n"
    "                         [--framing pairs|single|auto] [--layout 528|132|3.3|2.02|auto]\n";

bool read_number(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && value >= 0;
}

// How the programs of a layout send: the oldest without handshake and with
// "W" before every page, the others with a handshake.
struct Sending {
  const Layout* layout;
  const Framing* framing;  // nullptr: either
  Handshake handshake;
};

// A framing given besides the layout must agree; "single" takes in "W" only.
bool apply_layout(Options& options) {
  const Sending table[] = {
      {&layout_528(), nullptr, Handshake::required},
      {&layout_132(), &single_framing(), Handshake::required},
      {&layout_3_3(), &oldest_framing(), Handshake::absent},
      {&layout_2_02(), &oldest_framing(), Handshake::absent},
  };
  for (const Sending& sending : table) {
    if (sending.layout != options.layout) continue;
    const Framing* framing = sending.framing ? sending.framing : options.framing;
    bool agrees = !options.framing_given || options.framing == framing ||
                  (options.framing == &single_framing() && framing == &oldest_framing());
    options.framing = framing;
    options.handshake = sending.handshake;
    return agrees;
  }
  return true;  // told by the stream
}

bool parse_options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    double number = 0;
    if (name == "--link") {
      options.link = value;
    } else if (name == "--image") {
      options.image = value;
    } else if (name == "--port" && read_number(value, number) && number >= 1 && number <= 99) {
      options.port = static_cast<int>(number);
    } else if (name == "--timeout" && read_number(value, number)) {
      options.timeout = number;
    } else if (name == "--framing" && std::strcmp(value, "pairs") == 0) {
      options.framing = &pair_framing();
      options.framing_given = true;
    } else if (name == "--framing" && std::strcmp(value, "single") == 0) {
      options.framing = &single_framing();
      options.framing_given = true;
    } else if (name == "--framing" && std::strcmp(value, "auto") == 0) {
      options.framing = nullptr;
      options.framing_given = false;
    } else if (name == "--layout" && std::strcmp(value, "auto") == 0) {
      options.layout = nullptr;
    } else if (name == "--layout" && layout_named(value)) {
      options.layout = layout_named(value);
    } else {
      return false;
    }
  }
  return apply_layout(options);
}

void report_error(Console& console, const std::string& what, int error) {
  tell(console, Stream::err, what + ": " + std::strerror(error) + "\n");
}

bool write_image(Console& console, const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (out) return true;
  report_error(console, path, errno ? errno : EIO);
  return false;
}

int receiver_main(int argc, char** argv) {
  Console& console = system_console();
  Options options;
  if (!parse_options(argc, argv, options)) {
    tell(console, Stream::err, usage);
    return exit_usage;
  }
  PtyLine line;
  if (int error = open_line(line); error != 0) {
    report_error(console, "openpty", error);
    return exit_usage;
  }
  if (!options.link.empty()) {
    if (int error = link_line(line, options.link); error != 0) {
      report_error(console, options.link, error);
      close_line(line);
      return exit_usage;
    }
  }
  std::string device = options.link.empty() ? line.slave_name : options.link;
  tell(console, Stream::out, "ZIRPTON_COM" + std::to_string(options.port) + "=" + device + "\n");
  console.flush();

  StreamDecoder decoder;
  start_decoder(decoder, options.framing, options.handshake);
  receive(line, options.timeout, decoder);
  close_line(line);

  Reception reception = evaluate(decoder.result, options.layout);
  tell(console, Stream::out, reception_report(reception));
  int code = reception_exit_code(reception);
  if (!options.image.empty() && reception.stream.complete) {
    std::string bytes = file_image(reception);
    if (write_image(console, options.image, bytes))
      tell(console, Stream::out,
           "Abbild geschrieben: " + options.image + " (" + std::to_string(bytes.size()) +
               " Bytes)\n");
    else
      code = exit_usage;
  }
  console.flush();
  return code;
}

}  // namespace
}  // namespace zirpton::tools

int main(int argc, char** argv) { return zirpton::tools::receiver_main(argc, argv); }
