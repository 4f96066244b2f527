// The UI tests run inside one QApplication (under a virtual X server, or
// Qt's offscreen platform where none is installed).
#include <gtest/gtest.h>

#include <QApplication>

// Qt, fontconfig and the X libraries keep caches and plugin state until
// exit; a sanitized build would report them as leaks of every window test.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libQt6Core.so\nleak:libQt6Gui.so\nleak:libQt6Widgets.so\nleak:libQt6XcbQpa.so\n"
         "leak:libfontconfig.so\nleak:libxcb\nleak:libX11.so\nleak:libdbus-1.so\nleak:libglib-2.0.so\n"
         "leak:libfbclient.so\nleak:libtommath.so\nleak:libicuuc.so\nleak:libicui18n.so\n";
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
