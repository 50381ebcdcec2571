# Entry points for people and CI. Each build lives in its own directory
# under build/; CMake does the real work.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
BUILD := build
NATIVE := $(BUILD)/native
ASAN := $(BUILD)/asan
MINGW := $(BUILD)/mingw64
MINGW32 := $(BUILD)/mingw32
SAMPLES := $(BUILD)/samples
FUZZ := $(BUILD)/fuzz
PACKAGES := $(BUILD)/packages
# Seconds each fuzz target runs in `make fuzz`; `make test` runs each for 30.
FUZZ_SECONDS ?= 300

.PHONY: all native asan mingw mingw32 gui demo test bench chart-bench setup setup-native clean fuzz fuzz-build coverage package

all: native

setup:
	scripts/setup all
	scripts/setup fuzz

setup-native:
	scripts/setup native

native:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

asan:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DHX_SANITIZE=ON >/dev/null
	cmake --build $(ASAN) -j $(JOBS)

mingw:
	cmake -S . -B $(MINGW) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake >/dev/null
	cmake --build $(MINGW) -j $(JOBS)

# The 32-bit desktop program: built only to show that it links (the
# tests run the 64-bit build; Wine here has no 32-bit side).
mingw32:
	cmake -S . -B $(MINGW32) -DCMAKE_BUILD_TYPE=Release -DHX_TESTS=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-i686.cmake >/dev/null
	cmake --build $(MINGW32) -j $(JOBS) --target HarvexUtility

# harvex_VERSION_amd64.deb from the native build and
# HarvexUtility-VERSION-win64.zip from the Windows one, in build/packages.
package: setup native mingw
	cd $(NATIVE) && cpack -G DEB -B $(CURDIR)/$(PACKAGES) >/dev/null
	cd $(MINGW) && cpack -G ZIP -B $(CURDIR)/$(PACKAGES) >/dev/null
	@ls $(PACKAGES)/*.deb $(PACKAGES)/*.zip

# The desktop program under Wine, for a person to try.
gui: setup mingw
	tools/try-gui.sh $(MINGW) $(BUILD)/gui-session

demo: setup-native native
	@tools/demo $(NATIVE) $(SAMPLES)

test: setup native asan mingw mingw32
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure -j $(JOBS)
	cd $(MINGW) && HX_WINEPREFIX=$(CURDIR)/$(MINGW)/wineprefix ctest --output-on-failure
	$(MAKE) package
	tests/install/packages.sh $(NATIVE) $(PACKAGES) $(CURDIR)/$(MINGW)/wineprefix
	$(MAKE) fuzz-build
	FUZZ_SECONDS=30 fuzz/run.sh $(FUZZ)

# The fuzz targets: clang with libFuzzer, ASan and UBSan, in a build of
# their own. `make fuzz` runs each for FUZZ_SECONDS and prints executions,
# coverage and findings per target.
fuzz-build:
	scripts/setup fuzz
	CC=clang CXX=clang++ cmake -S fuzz -B $(FUZZ) -DHX_FUZZ_ENGINE=libfuzzer >/dev/null
	cmake --build $(FUZZ) -j $(JOBS)

fuzz: fuzz-build
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run.sh $(FUZZ)

# Line and branch coverage of the core library over the unit, malformed-file
# and fuzz-corpus runs.
coverage:
	scripts/setup coverage
	JOBS=$(JOBS) fuzz/coverage.sh $(BUILD)

# The export benchmark, on a workload it writes to /dev/shm and removes.
bench: setup-native
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(NATIVE) -j $(JOBS) --target harvex harvex_bench
	$(NATIVE)/bench/harvex_bench --harvex $(NATIVE)/harvex

# The chart's summaries and column envelopes on a 100 MB channel, alone.
chart-bench: setup-native
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(NATIVE) -j $(JOBS) --target harvex_chart_bench
	$(NATIVE)/bench/harvex_chart_bench

clean:
	rm -rf $(BUILD)
