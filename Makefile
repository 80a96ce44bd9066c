# Kestrav: `make run` opens the viewer on a demo memory card, `make test` runs every test,
# `make package` builds the Debian package (in build-package/).
# Another build folder with its own CMake flags, e.g. the core alone:
#   make BUILD=build-core CMAKE_FLAGS=-DKESTRAV_CORE_ONLY=ON test
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
PACKAGE_BUILD ?= build-package

# The flags a build folder was configured with; when they change, the folder
# is configured afresh (a cached option would otherwise outlive its flag).
FLAGS_STAMP := $(BUILD)/.kestrav-cmake-flags

.PHONY: all deps configure build run test bench package fuzz asan tsan clean FORCE

all: build

deps:
	@bash scripts/setup-deps.sh

$(FLAGS_STAMP): FORCE
	@mkdir -p $(BUILD)
	@printf '%s\n' '$(CMAKE_FLAGS)' | cmp -s - $@ || printf '%s\n' '$(CMAKE_FLAGS)' > $@

$(BUILD)/build.ninja: $(FLAGS_STAMP)
	cmake --fresh -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-viewer.sh $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done; true

# A Release build of what is installed, with Debian's flags, in its own folder;
# CPack's DEB package; its checks (same files as the installation, desktop
# entry and AppStream metadata valid, lintian clean).
package:
	@bash scripts/setup-deps.sh --package
	JOBS=$(JOBS) bash scripts/build-package.sh $(PACKAGE_BUILD)

# The fuzz targets with clang and libFuzzer in their own folder (core only),
# each run for FUZZ_SECONDS; `make test` replays their corpus instead.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) bash scripts/run-fuzz.sh $(FUZZ_BUILD)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the threaded subsystems' tests under ThreadSanitizer, each in its own folder.
asan:
	JOBS=$(JOBS) bash scripts/run-sanitized.sh asan build-asan
tsan:
	JOBS=$(JOBS) bash scripts/run-sanitized.sh tsan build-tsan

clean:
	rm -rf $(BUILD) $(PACKAGE_BUILD) $(FUZZ_BUILD) build-asan build-tsan
