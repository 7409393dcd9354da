# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
DEMO_DIR := $(BUILD_DIR)/demo
# ccache, when present, shares objects between clones of the tree.
CCACHE := $(shell command -v ccache 2>/dev/null)
ifneq ($(CCACHE),)
LAUNCHER := -DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE) -DCMAKE_C_COMPILER_LAUNCHER=$(CCACHE)
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
endif

# The engine and CLI tests again in a Debug build under AddressSanitizer
# and UndefinedBehaviorSanitizer, in a folder of its own (not yet part of
# `make test`: its time on the CI machine is still to be measured).
SANITIZE_DIR ?= build-asan
SANITIZE_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all setup configure build run test test-sanitize clean

all: build

setup:
	@sh scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(LAUNCHER) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The window on a data folder: build/demo (1500 generated draws, seed 7,
# made when missing) unless DATA=DIR names another. Without a display it
# says how to start it under xvfb-run. A vexa-server on a free loopback port
# (data in build/online) serves the systems catalogue and the script library
# while the window runs; the demo folder's settings point at it.
DATA ?= $(DEMO_DIR)
run: build
	@if [ "$(DATA)" = "$(DEMO_DIR)" ]; then mkdir -p $(DEMO_DIR); \
	  test -s $(DEMO_DIR)/Korvane_6x45.ldr || $(BUILD_DIR)/src/cli/vexa --data-dir $(DEMO_DIR) draws demo --count 1500 --seed 7; fi
	@sh scripts/run_with_service.sh $(BUILD_DIR) $(DATA) $(DEMO_DIR)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-sanitize: setup
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXA_SANITIZE=ON \
	  -DVEXA_BUILD_BENCH=OFF -DVEXA_BUILD_GUI=OFF $(LAUNCHER) >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@cd $(SANITIZE_DIR) && $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS)

clean:
	@rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
