# make test: installs what is missing, builds, and runs every test.
# make run:  builds and starts the application.
# make fuzz: a million runs of every fuzz target, for a developer before a release.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_RUNS ?= 1000000
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test test-asan fuzz run bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@scripts/with-test-session ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Every test (unit, integration, gui) under AddressSanitizer and UndefinedBehaviorSanitizer, in
# a Debug build, so that Qt's own assertions fail the run too.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DAMBREL_SANITIZE=ON \
	  -DAMBREL_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  scripts/with-test-session ctest --test-dir $(ASAN_BUILD) --output-on-failure -L 'unit|integration|gui' -j $(JOBS)

# Every reader of outside data under libFuzzer, ASan and UBSan (tests/fuzz/); CI gives each
# target 100,000 runs. A finding fails with the target's name and the saved input.
fuzz: deps
	@CMAKE_FLAGS="$(CMAKE_FLAGS)" FUZZ_JOBS=$(JOBS) scripts/fuzz-smoke $(FUZZ_BUILD) $(FUZZ_RUNS)

run: build
	@$(BUILD)/src/app/ambrel

bench: build
	@scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
