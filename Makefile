# Two entry points that work on a fresh Debian machine:
#   make run   installs what is missing, builds and starts the program
#   make test  installs what is missing, builds and runs every test
#   make check the reliability run: sanitizers, fuzzing, end to end
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test check bench clean

all: build

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@$(BUILD_DIR)/vorlane

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Sanitizers, fuzzing and an end-to-end run of the real program.
check: build
	@tools/install-deps.sh check
	@tools/check.sh

bench: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/vorlane-bench

clean:
	@rm -rf $(BUILD_DIR) build-sanitize build-fuzz
