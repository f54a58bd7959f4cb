# Front door. Every target first makes sure the build machine has what it
# needs (scripts/bootstrap is a quick no-op when it has).
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CTEST_ARGS ?=
export BUILD_DIR

.PHONY: all build demo test bench bootstrap clean

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@[ -f $(BUILD_DIR)/build.ninja ] || cmake -S . -B $(BUILD_DIR) -G Ninja \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake -DCMAKE_BUILD_TYPE=Release
	@cmake --build $(BUILD_DIR) -j $(JOBS)

demo: build
	@scripts/demo

test: build
	@scripts/wine-session --xvfb ctest --test-dir $(BUILD_DIR) --output-on-failure $(CTEST_ARGS)

bench: build
	@scripts/wine-session --xvfb ctest --test-dir $(BUILD_DIR) -C bench -L bench -V

clean:
	rm -rf $(BUILD_DIR)
