# The two ways in: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
SANITIZED ?= build-asan
FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 20
JOBS ?= $(shell nproc)

.PHONY: run test test-sanitized fuzz deps configure build install package clean

run: build
	$(BUILD)/src/app/velmora

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitized: deps
	cmake -S . -B $(SANITIZED) -G Ninja -DVELMORA_SANITIZE=ON
	cmake --build $(SANITIZED) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(SANITIZED) --output-on-failure -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS, from its committed seeds; findings
# land in $(FUZZ)/crash-* and fail the run.
fuzz: deps
	cmake -S fuzz -B $(FUZZ) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ) -j $(JOBS)
	bash tools/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

deps:
	bash tools/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Installs under PREFIX (DESTDIR stages it elsewhere, as packagers do).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, built as Debian builds it (debian/, dpkg-buildpackage -b)
# from a clean copy of the source in $(BUILD)/package; the .deb is copied into
# $(BUILD). The tests are left to `make test`: DEB_BUILD_OPTIONS= builds and
# runs them in the package build too.
DEB_BUILD_OPTIONS ?= nocheck
package: deps
	DEB_BUILD_OPTIONS="$(DEB_BUILD_OPTIONS)" bash tools/build-package.sh $(BUILD)/package $(JOBS)
	rm -f $(BUILD)/velmora_*.deb
	cp $(BUILD)/package/velmora_*.deb $(BUILD)/

clean:
	rm -rf $(BUILD) $(SANITIZED) $(FUZZ)
