# The sanitizers' settings for every sanitized program the tests run; sourced by scripts/test and
# the end-to-end test.
# intercept_tls_get_addr=0: GCC 12's sanitizer runtime takes a dynamic TLS block that happens to
# lie 16 bytes past a 4 KiB boundary for the header of glibc 2.19 and reads a length from the
# bytes before it; the leak checker then scans that made-up range at exit and its tracer dies
# ("Tracer caught signal 11"), now and then and whatever the program did. Static TLS, where our
# own thread-locals live, is still scanned.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
export LSAN_OPTIONS=suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
