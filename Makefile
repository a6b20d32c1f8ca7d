# Netmend. `make run` starts the program under Wine; `make test` builds the three targets and
# runs every test, the i686 ones in an emulated guest. Both install what they need first
# (Debian 12, as root) and do no needless work when run again.
SHELL := /bin/bash
.DEFAULT_GOAL := test
SETUP := build/.setup-done

.PHONY: setup native win64 win32 win32-tests fuzz-build bench-build test host-test guest-test guest-image run dist soak stress fuzz bench clean

$(SETUP): scripts/setup.sh scripts/debian-packages.sh
	scripts/setup.sh
	@mkdir -p build && touch $@

setup: $(SETUP)

# Configured once per preset; afterwards Ninja re-runs CMake by itself when a list changes.
build/%/build.ninja: CMakePresets.json | $(SETUP)
	cmake --preset $* >/dev/null

native: build/native/build.ninja
	cmake --build --preset native

win64: build/win64/build.ninja
	cmake --build --preset win64

win32: build/win32/build.ninja
	cmake --build --preset win32

# The product's tests built for i686 (posix threads, for GoogleTest; the product keeps the
# win32 thread model): a second build, since one build has one compiler. They run in the
# emulated guest.
win32-tests: win32 build/win32-tests/build.ninja
	cmake --build --preset win32-tests

fuzz-build: build/fuzz/build.ninja
	cmake --build --preset fuzz

bench-build: build/bench/build.ninja
	cmake --build --preset bench

# Every test: first the host's, then the i686 build's in the emulated guest.
test: host-test guest-test

# The native tests, the win64 tests under Wine, the fuzz corpora. The win32 product is built
# before the native tests run: they check its PE image.
host-test: native win64 win32 fuzz-build
	ctest --preset native
	scripts/wine-session.sh ctest --preset win64
	ctest --preset fuzz

# The emulated guest that runs the 32-bit programs (made once, cached under build/guest), and
# every test of the i686 build run in it, in a 32-bit and a 64-bit Wine prefix. When the guest
# cannot be made or booted, this fails with one line saying why.
guest-image: $(SETUP)
	scripts/guest-image.sh >/dev/null

# The package too: its end-to-end test in the guest unpacks the one `make dist` made.
guest-test: win32-tests guest-image dist
	scripts/guest-test.sh

# The release package, build/dist/netmend-<version>.zip: the product, the device console for
# x86 and x64, read-me, licence, notices and SHA256SUMS; the same bytes on every build.
dist: build/win64/build.ninja build/win32/build.ninja
	cmake --build --preset win32 --target netmend devcon
	cmake --build --preset win64 --target devcon
	scripts/dist.py

# Runs the program from the unpacked package.
run: dist
	cmake --build --preset win64 --target netmend command_recorder
	scripts/run.sh

# The program left in its finished look for ten minutes: fails when its private bytes grow by
# more than 2 MB after the first minute (`make test` runs the same for one minute).
soak: build/win64/build.ninja
	cmake --build --preset win64 --target program_e2e_tests
	NETMEND_SOAK_SECONDS=600 scripts/wine-session.sh tests/app/win/repair_e2e.sh \
	  build/win64/tests/e2e/program_e2e_tests.exe --gtest_filter='RepairRun.*'

# The tests that once failed now and then, STRESS_ROUNDS rounds (default 50) with stress-ng
# loading every core beside them: the repair run's four end-to-end cases and the layered button
# tests, side by side in one Wine session. Fails when any round fails.
stress: build/win64/build.ninja
	cmake --build --preset win64 --target repair_e2e_tests command_recorder skin_win_tests
	scripts/stress.sh build/win64 $${STRESS_ROUNDS:-50}

# Each fuzz target for a bounded time (FUZZ_SECONDS, default 60), growing a corpus under build/.
fuzz: fuzz-build
	scripts/fuzz.sh build/fuzz $${FUZZ_SECONDS:-60}

# The sprite benchmarks natively, with their ratios to the reference libraries; the i686
# processor paths side by side in the emulated guest; then the skin benchmark and the animation
# box's sprite demo (500 objects for 10 s, then 2,000 without spinning) under Wine.
bench: bench-build win32-tests guest-image build/win64/build.ninja
	scripts/bench.sh build/bench
	scripts/guest-bench.sh
	cmake --build --preset win64 --target skin_bench box_demo
	scripts/wine-emulator.sh build/win64/bench/skin/skin_bench.exe
	scripts/wine-emulator.sh build/win64/bench/components/box_demo.exe 500 10
	scripts/wine-emulator.sh build/win64/bench/components/box_demo.exe 2000 10 0

clean:
	rm -rf build/native build/win64 build/win32 build/win32-tests build/fuzz build/bench
