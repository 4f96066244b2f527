// Built into the monitor only when sanitizers are on. The session bus
// library (Qt's platform integration) and the database client library keep
// process-wide buffers and tables until exit; LeakSanitizer would report
// them at every run. Only these libraries are named, so leaks of our own
// are still reported.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libfbclient.so\nleak:libtommath.so\n";
}
