#include "driver/messages.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/fakes/line_log.h"

namespace zirpton {
namespace {

TEST(Messages, FixedTextInCodePage850AndArgumentsUntouched) {
  fakes::FakeConsole console;
  say(console, Stream::out, "\nEmpfänger sollte kurz hupen %s\n", "grün.wav");
  say(console, Stream::err, "Files zu groß! Länge\n");
  EXPECT_EQ(console.out, "\nEmpf\x84nger sollte kurz hupen gr\xC3\xBCn.wav\n");
  EXPECT_EQ(console.err, "Files zu gro\xE1! L\x84nge\n");
}

TEST(Messages, Utf8ConsoleGetsTheTextAsWritten) {
  fakes::FakeConsole console;
  console.is_utf8 = true;
  say(console, Stream::out, "ungültige Zeile: %s!\n", "x");
  EXPECT_EQ(console.out, "ungültige Zeile: x!\n");
}

TEST(Messages, SystemErrorReportIsNameColonText) {
  fakes::FakeConsole console;
  errno = ENOENT;
  report_system_error(console, "cv.txt");
  EXPECT_EQ(console.err, "cv.txt: No such file or directory\n");
  EXPECT_EQ(console.out, "");
}

}  // namespace
}  // namespace zirpton
