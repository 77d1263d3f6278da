# The two commands a new user needs: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all build test demo asan bench windows windows-test clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same tests with AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS=-DZIRPTON_SANITIZE=ON

# The example end to end: a receiver on a pseudo-terminal, a port run against
# it, the same image in a file-output run, both compared.
demo: build
	@ZIRPTON_BIN=$(BUILD)/bin bash tools/demo.sh

# A full 32 MBit image in file-output mode: time and peak memory.
bench: build
	$(BUILD)/bin/bench_image $(BUILD)/bin/zirpton

# Windows console programs, cross-built with MinGW-w64: 32-bit ones in
# build-win32/bin, 64-bit ones in build-win64/bin.
windows:
	cmake -S . -B build-win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake $(CMAKE_FLAGS) >/dev/null
	cmake --build build-win32 -j $(JOBS)
	cmake -S . -B build-win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS) >/dev/null
	cmake --build build-win64 -j $(JOBS)

# The tests of the 64-bit build under wine, then whole runs under wine
# compared with the Linux build.
windows-test: build windows
	cd build-win64 && ctest --output-on-failure
	tests/windows/run.sh

clean:
	rm -rf build build-asan build-win32 build-win64
