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

.PHONY: all native asan mingw mingw32 demo test setup setup-native clean

all: native

setup:
	scripts/setup all

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

demo: setup-native native
	@tools/demo $(NATIVE) $(SAMPLES)

test: setup native asan mingw
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure -j $(JOBS)
	cd $(MINGW) && HX_WINEPREFIX=$(CURDIR)/$(MINGW)/wineprefix ctest --output-on-failure

clean:
	rm -rf $(BUILD)
