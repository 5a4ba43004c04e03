# make test:    installs what is missing, builds, and runs every test.
# make run:     builds and starts the application.
# make package: builds dist/ambrel_<version>_<arch>.deb from the same build, and lints it.
# make fuzz:    a million runs of every fuzz target, for a developer before a release.
# make gnome-extension: the GNOME Shell extension as zips for extensions.gnome.org, one per
#               entry style (GNOME 43-44 and 45-48), in dist/gnome-shell/.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_RUNS ?= 1000000
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test test-asan fuzz run bench package gnome-extension clean

all: build

deps:
	@scripts/install-deps

# Configured for /usr, where the package installs: the programs look there last for their data
# (after the folder beside them and the build tree), so the build tested is the one packaged.
configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_FLAGS) >/dev/null

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

# Only what the package holds is built (a fresh clone need not build the tests first).
# lintian's warnings fail the target too; what remains is overridden in data/debian with reasons.
package: configure
	@cmake --build $(BUILD) -j $(JOBS) --target ambrel ambrel-widget ambrel-widget-host \
	  ambrel_catalogs ambrel_desktop_files ambrel_man_pages ambrel_debian_changelog \
	  ambrel_gnome_shell
	@rm -rf dist
	@cd $(BUILD) && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX=$(CURDIR)/dist >/dev/null
	@ls dist/*.deb
	@lintian --fail-on error,warning dist/*.deb

# gnome-extensions packs them when it is installed (with gnome-shell), else CMake zips the same
# layout (src/gnome-shell/CMakeLists.txt).
gnome-extension: configure
	@cmake --build $(BUILD) --target ambrel_gnome_shell_zips
	@rm -rf dist/gnome-shell && mkdir -p dist/gnome-shell
	@cp -r $(BUILD)/gnome-shell/zips/. dist/gnome-shell/
	@ls dist/gnome-shell/*/*.zip

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) dist
