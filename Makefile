# Front door. Every target first makes sure the build machine has what it
# needs (scripts/bootstrap is a quick no-op when it has).
#
# scripts/mode decides once per run whether this machine builds and tests
# the 32-bit product (build/) or, where 32-bit Linux programs cannot run or
# WIN64=1 is set, the same sources as 64-bit programs under wine64
# (build64/). Each mode has its own build folder and Wine prefix.
ifeq ($(filter 32 64,$(CV_MODE)),)
# The packages come first: whether Wine's 32-bit loader could be installed
# is part of the decision.
CV_MODE := $(shell scripts/bootstrap >&2; scripts/mode --say)
endif
export CV_MODE
ifeq ($(CV_MODE),64)
BUILD_DIR ?= build64
TOOLCHAIN := cmake/mingw64.cmake
else
BUILD_DIR ?= build
TOOLCHAIN := cmake/mingw32.cmake
endif
JOBS ?= $(shell nproc)
CTEST_ARGS ?=
export BUILD_DIR CTEST_ARGS

.PHONY: all build demo test unit64 bench bootstrap clean

all: build

bootstrap:
	@scripts/bootstrap

# PRODUCT=products/<name> builds that product alone into
# $(BUILD_DIR)/products/<name>/ (INSTALL.EXE, CVREMOVE.EXE, media/); without
# it every product in products/ is built, and everything else.
PRODUCT_NAME := $(notdir $(patsubst %/,%,$(PRODUCT)))
build: bootstrap
ifneq ($(PRODUCT),)
	@[ -f "products/$(PRODUCT_NAME)/product.rc" ] && [ "$(abspath $(PRODUCT))" = "$(abspath products/$(PRODUCT_NAME))" ] || \
	    { echo "make: PRODUCT=$(PRODUCT) is no product folder: a product is a folder products/<name> with a product.rc (see products/README.md)" >&2; exit 1; }
endif
	@[ -f $(BUILD_DIR)/build.ninja ] || cmake -S . -B $(BUILD_DIR) -G Ninja \
	    -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release
	@cmake --build $(BUILD_DIR) -j $(JOBS) $(if $(PRODUCT),--target product_$(PRODUCT_NAME))
ifneq ($(PRODUCT),)
	@echo "make: $(PRODUCT_NAME) is in $(BUILD_DIR)/products/$(PRODUCT_NAME)/ (media/DISK1 ... and media/ALL)"
endif

demo: build
	@scripts/demo

# In 32-bit mode the 64-bit unit tests run as well: they keep the 64-bit
# build honest on machines that can test both.
# CTEST_ARGS reaches ctest through the environment and xargs, which splits
# it at blanks and honours quotes but no other shell syntax, so that both
# CTEST_ARGS="-R a|b" and CTEST_ARGS="-R 'a|b'" give ctest the pattern a|b.
test: build
	@printf '%s\n' "$$CTEST_ARGS" | xargs scripts/wine-session --xvfb ctest --test-dir $(BUILD_DIR) --output-on-failure
ifeq ($(CV_MODE),32)
	@CV_MODE=64 BUILD_DIR=build64 $(MAKE) --no-print-directory unit64
endif

unit64: build
	@scripts/wine-session --xvfb ctest --test-dir $(BUILD_DIR) --output-on-failure -R '^unit$$'

bench: build
	@echo "bench: measuring the $(CV_MODE)-bit build"
	@scripts/wine-session --xvfb ctest --test-dir $(BUILD_DIR) -C bench -L bench -V

clean:
	rm -rf build build64
