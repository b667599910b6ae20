# make run   installs what is missing, builds and opens the window
# make test  installs what is missing, builds and runs every test
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/capbeam

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)

.PHONY: package
# The Debian package, in $(BUILD): capbeam_<version>_<arch>.deb
package: build
	cd $(BUILD) && cpack -G DEB
