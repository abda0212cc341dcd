# Sourced by build.sh --sanitize and test.sh: how the sanitizer build's programs report.
# Every report (a memory error, undefined behaviour, a leak) ends the program with a failure, so
# the test that ran it fails.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:strict_string_checks=1:check_initialization_order=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
