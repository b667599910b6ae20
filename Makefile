# make run   installs what is missing, builds and opens the window
# make test  installs what is missing, builds and runs every test
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: deps build run test clean check-normal check-sanitize check-fuzz fuzz-long bench

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/capbeam

# Every test: the normal build, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a bounded fuzzing run (about a minute).
test: check-normal check-sanitize check-fuzz

check-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

check-sanitize: deps
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCAPBEAM_SANITIZE=ON
	cmake --build $(BUILD)-asan -j $(JOBS)
	ctest --test-dir $(BUILD)-asan --output-on-failure -j $(JOBS)

check-fuzz: deps
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	      -DCAPBEAM_FUZZ=ON -DCAPBEAM_GUI=OFF -DCAPBEAM_TESTS=OFF -DFUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(BUILD)-fuzz -j $(JOBS)
	ctest --test-dir $(BUILD)-fuzz --output-on-failure -j $(JOBS)

# Benchmarks, in a Release build of their own; figures go to BENCHMARKS.md.
bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DCAPBEAM_BENCH=ON -DCAPBEAM_TESTS=OFF -DCAPBEAM_GUI=ON
	cmake --build $(BUILD)-bench -j $(JOBS)
	$(BUILD)-bench/bench/bench_core
	$(BUILD)-bench/bench/bench_cli
	$(BUILD)-bench/bench/bench_window
	$(BUILD)-bench/bench/bench_sheet
	sh bench/cli_batch.sh $(BUILD)-bench/capbeam-cli

# A longer fuzzing run: make fuzz-long (ten minutes a target).
fuzz-long:
	$(MAKE) check-fuzz FUZZ_SECONDS=600

clean:
	rm -rf $(BUILD)

.PHONY: package
# The Debian package, in $(BUILD): capbeam_<version>_<arch>.deb
package: build
	cd $(BUILD) && cpack -G DEB

.PHONY: windows windows-check
# The 64-bit Windows build, cross-compiled: build/capbeam-<version>-windows-x64.zip
# and build/capbeam-<version>-setup.exe. The first run builds Qt for Windows
# (about 40 minutes on 2 cores) into build-windows/qt, or WINDOWS_QT=<dir>;
# later runs reuse it. Not part of `make test`.
windows:
	bash scripts/install-windows-deps.sh
	bash scripts/build-windows.sh

# The Windows build checked under Wine and Xvfb (scripts/check-windows.sh).
windows-check: windows
	bash scripts/check-windows.sh
