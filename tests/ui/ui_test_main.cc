// The UI tests run inside one QApplication (under a virtual X server, or
// Qt's offscreen platform where none is installed).
#include <gtest/gtest.h>

#include <QApplication>

// The session bus library keeps a buffer of Qt's platform integration until
// exit, and the database client library its process-wide tables (the
// "Atualizar" test connects); a sanitized build would report both as leaks.
// Only these libraries are named: a leak of our own reached through a Qt
// slot must still be reported.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libfbclient.so\nleak:libtommath.so\n";
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
