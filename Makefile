# The two commands: `make run` builds and starts the program, `make test` builds and runs every test.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo

.PHONY: run test bench fuzz deps configure build clean windows windows-test package package-check

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR)

run: configure
	@cmake --build $(BUILD_DIR) --target multiwardstone multiwardstone-cli library
	$(BUILD_DIR)/src/multiwardstone

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2

# The Debian package, $(BUILD_DIR)/multiwardstone_VERSION_ARCH.deb, built from what it installs only.
package: configure
	@cmake --build $(BUILD_DIR) --target multiwardstone multiwardstone-cli desktop_files
	@rm -f $(BUILD_DIR)/multiwardstone_*.deb
	@cd $(BUILD_DIR) && cpack -G DEB

# As root on a clean machine: installs the package, uses both programs as a normal user, purges it
# and looks for anything of it left behind.
package-check: package
	@scripts/package-check $(BUILD_DIR)

# Speed and memory figures, one "name: value" line each; a ratio is "name: median (min..max)" of
# rounds taken in turns. BENCH_ARGS=--quick for smaller sizes.
bench: configure
	@cmake --build $(BUILD_DIR) --target benchmarks
	$(BUILD_DIR)/bench/bench_store $(BENCH_ARGS)
	$(BUILD_DIR)/bench/bench_library $(BENCH_ARGS)
	$(BUILD_DIR)/bench/bench_patch $(BENCH_ARGS)
	$(BUILD_DIR)/bench/bench_import $(BENCH_ARGS)
	$(BUILD_DIR)/bench/bench_exchange $(BENCH_ARGS)
	$(BUILD_DIR)/bench/bench_uop $(BENCH_ARGS)
	$(BUILD_DIR)/bench/bench_preview $(BENCH_ARGS)
	$(BUILD_DIR)/bench/bench_preview_window $(BENCH_ARGS)
	$(BUILD_DIR)/bench/bench_edit $(BENCH_ARGS)

# Both programs for 64-bit Windows, cross compiled: build-windows/MultiWardstone-VERSION-win64.zip.
# The first run builds Qt for Windows from Debian's sources into ~/.cache/multiwardstone (long).
WINDOWS_DIR ?= build-windows
windows:
	@scripts/windows-build $(WINDOWS_DIR)

# The core's and the command line's tests as Windows programs under Wine, and the window
# started under Wine on Xvfb (a screenshot lands in build-windows/).
windows-test: windows
	@scripts/windows-test $(WINDOWS_DIR)

# Fuzz targets of the file readers (clang's libFuzzer), FUZZ_SECONDS each, in a build of their own.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps fuzz
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++ -DWARDSTONE_FUZZ=ON > /dev/null
	@cmake --build $(FUZZ_DIR) --target fuzz_targets
	scripts/run-fuzz $(FUZZ_DIR) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR) $(WINDOWS_DIR)
