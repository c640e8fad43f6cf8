# The project's front door. `make test` and `make demo` are the two commands the
# README promises; the rest are for developers and CI.
JOBS ?= $(shell nproc)
BUILD ?= build
CMAKE_FLAGS ?=
# ON in CI: a compiler warning fails the build.
WERROR ?= OFF
FUZZ_SECONDS ?= 30

.PHONY: deps configure build test test-sanitize test-interop fuzz bench demo demo-tour clean format test-install test-x11

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DVORGRD_WERROR=$(WERROR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize:
	@$(MAKE) --no-print-directory test BUILD=build-sanitize CMAKE_FLAGS="-DVORGRD_SANITIZE=ON -DVORGRD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug"

# The real-clipboard tests alone (make test runs them too): the grid against xclip on
# a private Xvfb that the test program starts itself.
test-x11: build
	@$(BUILD)/tests/tests_x11

# LibreOffice and PostgreSQL on the other side (installed when missing).
test-interop: configure
	@scripts/run-interop.sh $(BUILD)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVORGRD_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@scripts/run-fuzz.sh build-fuzz/fuzz $(FUZZ_SECONDS)

bench: build
	@scripts/run-bench.sh $(BUILD)/bench

demo: configure
	@cmake --build $(BUILD) --target demo -j $(JOBS)
	@scripts/run-demo.sh $(BUILD)/apps/vorgrd-demo

# The demo's scripted tour, one picture per step, into docs/images/tour/ (headless
# when there is no display), and the README's main screenshot.
demo-tour: configure
	@cmake --build $(BUILD) --target demo -j $(JOBS)
	@QT_QPA_PLATFORM=offscreen $(BUILD)/apps/vorgrd-demo --tour docs/images/tour
	@QT_QPA_PLATFORM=offscreen $(BUILD)/apps/vorgrd-demo --screenshot docs/images/demo.png

# Installs into a temporary prefix and builds a consumer project against it (find_package,
# uic, QUiLoader with the Designer plugin), then starts Qt Designer under Xvfb with it.
test-install: build
	@tests/install/run.sh $(BUILD)

format:
	@clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf build build-sanitize build-fuzz
