# Thin targets over CMake. `make run` and `make test` work on a fresh Debian 12 machine.
BUILD      ?= build
FUZZ_BUILD  = $(BUILD)-fuzz
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
# Developer and CI builds treat warnings as errors; a packager's plain cmake build does not.
CMAKE_OPTS := -DZORVAN_WERROR=ON
CTEST_ARGS ?= --output-on-failure -j $(JOBS) --timeout 600

.PHONY: all deps configure build run test test-kernel check-sanitizers asan tsan bench fuzz fuzz-build clean screenshots \
	install package check-package check-package-debian12

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) $(CMAKE_OPTS) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DZORVAN_FUZZ_RUN_DIR=$(abspath $(FUZZ_BUILD)) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run

# Installs the programs, their data and the desktop files under PREFIX (DESTDIR is honoured).
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, from a Release build of the two programs and their data only.
PACKAGE_BUILD = $(BUILD)-package
PACKAGE_DEB   = $(PACKAGE_BUILD)/package/zorvan_$(shell sed -n 's/^project.zorvan VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)_*.deb
package: deps
	@cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_GEN) $(CMAKE_OPTS) -DCMAKE_BUILD_TYPE=Release \
	  -DZORVAN_TESTS=OFF -DZORVAN_BENCH=OFF >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target zorvan zorvanctl zorvan_data zorvan_skin_pictures \
	  zorvan_icons
	@cd $(PACKAGE_BUILD) && cpack -G DEB >/dev/null && ls package/*.deb

# The package unpacked into a scratch root and checked.
check-package: package
	@tests/packaging/check-deb.sh $(PACKAGE_DEB)

# The package installed with apt on a freshly bootstrapped Debian 12, run there and purged
# (root or sudo, and Debian's mirror; a few minutes, so not part of `make test`).
check-package-debian12: package
	@tests/packaging/install-on-debian12.sh $(PACKAGE_DEB)

# The main window on each page and the dialogs, rendered offscreen into $(BUILD)/screenshots/,
# doubled as on a 4K screen into $(BUILD)/screenshots/4k/ and on a screen Qt scales by 2 into
# $(BUILD)/screenshots/qt-scaled/.
screenshots: build
	@ZORVAN_EMULATE=1 $(BUILD)/tools/zorvan_screenshots $(BUILD)/bin $(BUILD)/screenshots
	@ZORVAN_EMULATE=1 $(BUILD)/tools/zorvan_screenshots $(BUILD)/bin $(BUILD)/screenshots/4k --doubled
	@ZORVAN_EMULATE=1 $(BUILD)/tools/zorvan_screenshots $(BUILD)/bin $(BUILD)/screenshots/qt-scaled --qt-scaled

# The tests include a short run of every libFuzzer target (FUZZ_BUILD, built with clang); then
# the Debian package is built and checked.
test: build fuzz-build
	@cd $(BUILD) && ctest $(CTEST_ARGS)
	@$(MAKE) --no-print-directory check-package

# zorvanctl against the emulated mouse behind /dev/uhid, through the real kernel's HID stack in
# a small VM (qemu without KVM, about 30 s). `make test` runs it too (ctest kernel.uhid_mouse_in_vm).
test-kernel: build
	@tests/kernel/run-vm.sh $(BUILD)

# The same tests in an ASan+UBSan build and in a TSan build.
check-sanitizers: asan tsan

asan: deps
	@cmake -S . -B $(BUILD)-asan $(CMAKE_GEN) $(CMAKE_OPTS) -DCMAKE_BUILD_TYPE=Debug -DZORVAN_ASAN=ON -DZORVAN_BENCH=OFF >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS)
	@cd $(BUILD)-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 ctest $(CTEST_ARGS)

tsan: deps
	@cmake -S . -B $(BUILD)-tsan $(CMAKE_GEN) $(CMAKE_OPTS) -DCMAKE_BUILD_TYPE=Debug -DZORVAN_TSAN=ON -DZORVAN_BENCH=OFF >/dev/null
	@cmake --build $(BUILD)-tsan -j $(JOBS)
	@cd $(BUILD)-tsan && TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/ui/tsan.supp" ctest $(CTEST_ARGS)

bench: build
	@scripts/run-benchmarks $(BUILD)

# libFuzzer builds with clang; `make fuzz` runs each target FUZZ_SECONDS on its corpus.
FUZZ_SECONDS ?= 120
fuzz-build: deps
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) $(CMAKE_OPTS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZORVAN_FUZZ=ON -DZORVAN_GUI=OFF -DZORVAN_TESTS=OFF -DZORVAN_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target zorvan_fuzzers

fuzz: fuzz-build
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	@rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-tsan $(BUILD)-fuzz $(BUILD)-package
