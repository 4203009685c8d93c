# Halvrick: `make test` builds and runs every test; `make run` starts the tray app; `make package` makes
# the Debian package.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: deps configure build run test test-main test-asan bench package clean

deps:
	@bash scripts/install-deps.sh

# Release (-O3) is what a distribution builds, so the tests run on it.
configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/halvrick

test-main: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The platform-free core again, under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHALVRICK_SANITIZE=ON -DHALVRICK_CORE_ONLY=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

test: test-main test-asan

bench: build
	@for b in $(BUILD)/bench/*; do if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; done

package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
