// What the sanitizers leave aside in every test process. Linked into each test program as an
// object of its own (the linker skips an archive member nobody calls), whichever main it has.

// GCC names the sanitizers with macros, clang as features.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define CQ_THREAD_SANITIZER
#endif
#if __has_feature(address_sanitizer)
#define CQ_ADDRESS_SANITIZER
#endif
#endif

#if defined(__SANITIZE_ADDRESS__) || defined(CQ_ADDRESS_SANITIZER)
#include "LeakSuppressions.h"

extern "C" const char* __lsan_default_suppressions() {
  return kLeakSuppressions;
}
#endif

#if defined(__SANITIZE_THREAD__) || defined(CQ_THREAD_SANITIZER)
// Qt, GLib and GStreamer (with its plugins, the codecs and the OpenMP runtime they bring) are
// not built with the sanitizer: their own locks, atomics and thread pools are invisible to it, so
// what they do on their own memory shows as races. Only the calls these libraries themselves make
// are left aside; every access made by our code is still checked.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Core.so\n"
         "called_from_lib:libQt6Gui.so\n"
         "called_from_lib:libQt6Test.so\n"
         "called_from_lib:libglib-2.0.so\n"
         "called_from_lib:libgobject-2.0.so\n"
         "called_from_lib:libgstreamer-1.0.so\n"
         "called_from_lib:libgstbase-1.0.so\n"
         "called_from_lib:libgstaudio-1.0.so\n"
         "called_from_lib:libgstplayback.so\n"
         "called_from_lib:libgstcoreelements.so\n"
         "called_from_lib:libgstpulseaudio.so\n"
         "called_from_lib:libgstalsa.so\n"
         "called_from_lib:libgstvideo4linux2.so\n"
         "called_from_lib:libgstmidi.so\n"
         "called_from_lib:libgstfluidsynthmidi.so\n"
         "called_from_lib:libgstlibav.so\n"
         "called_from_lib:libgstaudioconvert.so\n"
         "called_from_lib:libgstaudioresample.so\n"
         "called_from_lib:libgstwavparse.so\n"
         "called_from_lib:libgstautodetect.so\n"
         "called_from_lib:libgstreamermediaplugin.so\n"
         "called_from_lib:libavcodec.so\n"
         "called_from_lib:libavutil.so\n"
         "called_from_lib:libavformat.so\n"
         "called_from_lib:libfluidsynth.so\n"
         "called_from_lib:libinstpatch-1.0.so\n"
         "called_from_lib:libpulse.so\n"
         "called_from_lib:libpulsecommon\n"
         "called_from_lib:libgomp.so\n"
         // GLib's recursive lock is taken inside GLib, which is left aside above, and released by a
         // tail call that seems to come from the GStreamer library that asked for it.
         "mutex:libgst\n"
         // GCC's runtime still sees Qt Test's watchdog thread tear down its wait condition after
         // the lock calls above were left aside.
         "race:QWaitCondition::~QWaitCondition\n"
         "race:QTest::qRun\n"
         // The dynamic loader's thread-local blocks of the plugins GStreamer loads: its own lock.
         "race:_dl_deallocate_tls\n"
         "race:_dl_resize_dtv\n"
         // The loopback servers' library: its own locking is invisible to the sanitizer.
         "race:libcpp-httplib.so\n";
}
#endif
