// The multimedia wrappers against the real winmm: replies and error texts
// come back as UTF-8 from the ANSI entry points, cut at their NUL.
#include <windows.h>
#include <gtest/gtest.h>
#include <mmsystem.h>

#include <string>

#include "ui/backend.h"
#include "ui/win32/text_win.h"

namespace {

TEST(MultimediaWin, RepliesAndErrorTextsComeBackAsUtf8) {
  std::string reply = "leftover";
  EXPECT_EQ(ui::sys::MciSendString("sysinfo all quantity", &reply, 512), 0);
  ASSERT_FALSE(reply.empty());
  EXPECT_EQ(reply.find_first_not_of("0123456789"), std::string::npos) << reply;

  const int code = ui::sys::MciSendString("status tess_no_such_device mode", &reply, 30);
  EXPECT_NE(code, 0);
  std::string text;
  ASSERT_NE(ui::sys::MciGetErrorString(code, text, 256), 0);
  // The same description the ANSI entry point gives, converted from the ANSI code page.
  char ansi[256] = {};
  ASSERT_TRUE(mciGetErrorStringA(static_cast<MCIERROR>(code), ansi, sizeof ansi));
  EXPECT_EQ(text, ui::win32::FromAnsi(ansi));
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find('\0'), std::string::npos);
}

}  // namespace
