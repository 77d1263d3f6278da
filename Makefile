# The two commands a new user needs: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all build test demo asan bench clean

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

clean:
	rm -rf build build-asan
