# Quick start: `make demo` and `make test`. Every target installs the missing Debian
# packages first (scripts/setup.sh), then configures and builds incrementally.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

# Without a display the demo and the benchmarks run on a virtual X server. The tests start
# their own servers, one per job (scripts/run_tests.sh).
XVFB := $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1600x1200x24")
RUN_TESTS := $(CURDIR)/scripts/run_tests.sh

.PHONY: all setup configure configure-asan configure-tsan build build-asan build-tsan build-fuzz demo test \
        test-asan test-tsan check-install build-bench bench fuzz clean

all: build

setup:
	@scripts/setup.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQN_SANITIZE=ON

$(TSAN_BUILD)/build.ninja:
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQN_SANITIZE_THREAD=ON

$(FUZZ_BUILD)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQN_FUZZ=ON

configure: setup $(BUILD)/build.ninja
configure-asan: setup $(ASAN_BUILD)/build.ninja
configure-tsan: setup $(TSAN_BUILD)/build.ninja

# The benchmarks are built by `make bench` only.
build: configure
	cmake --build $(BUILD) -j $(JOBS)

build-asan: configure-asan
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Only the programs of the threaded suites.
TSAN_SUITES := test_event test_sys test_app test_module test_gui_core
build-tsan: configure-tsan
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_SUITES)

build-fuzz: setup $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# With a display the showcase opens; without one it is drawn on a virtual X server and its
# pictures are written into $(BUILD)/screenshots.
demo: build
ifeq ($(DISPLAY),)
	@scripts/screenshots.sh $(BUILD)/bin/qn_demo $(BUILD)/screenshots
else
	$(BUILD)/bin/qn_demo
endif

test: build
	$(RUN_TESTS) $(BUILD) $(JOBS)

# Installs the libraries into $(BUILD)/install and builds and runs examples/hello against
# them, through the CMake package and through pkg-config.
check-install: build
	$(XVFB) scripts/check_install.sh $(BUILD)

# ASan + UBSan build of the same suites. Leak detection stays on, except for leaks inside
# system libraries listed in tests/support/lsan.supp. The exit check leaves threads' local
# storage alone (use_tls=0): on this system it meets a slot an unloaded library left behind
# and crashes, at random, after the test itself passed.
test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp:use_tls=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 $(RUN_TESTS) $(ASAN_BUILD) $(JOBS)

# ThreadSanitizer on the suites whose code runs on several threads (events, timers, thread
# tasks, the application's pending sets, message boxes from workers, scripts on the
# scripting engine's worker).
test-tsan: build-tsan
	export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/support/tsan.supp && \
	    $(RUN_TESTS) $(TSAN_BUILD) $(JOBS) -L '^(event|sys|app|module)$$' && \
	    $(RUN_TESTS) $(TSAN_BUILD) $(JOBS) -L '^gui_core$$' -R '^(GuiApp|GuiFont)'

build-bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks

bench: build build-bench
	@for b in $(BUILD)/bin/bench_*; do \
	    [ -x "$$b" ] || continue; echo "== $$b"; $(XVFB) "$$b" || exit 1; done

fuzz: build-fuzz
	@scripts/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
