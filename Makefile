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

# The Debian package, into $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZED) $(FUZZ)
