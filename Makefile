# Entry points: `make run` and `make test` are all a newcomer needs.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_BENCH ?= build-bench
JOBS       ?= $(shell nproc)

BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60

PREFIX     ?= /usr/local

.PHONY: all deps build run test install test-asan test-valgrind format format-check bench fuzz clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/grantwise

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Both programs, their texts and a desktop menu entry under PREFIX (DESTDIR for staging).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

$(BUILD_ASAN)/build.ninja: | deps
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGRANTWISE_SANITIZE=ON

test-asan: deps $(BUILD_ASAN)/build.ninja
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The engine's tests (every program but the window's) under valgrind, on the ordinary
# RelWithDebInfo build: memory errors and definite leaks fail.
test-valgrind: build
	@scripts/run-valgrind $(BUILD) $(JOBS)

# The layout of every C++ file git knows, as .clang-format sets it: format-check lists
# the files that differ and fails; format rewrites them.
format-check: deps
	@scripts/format --check

format: deps
	@scripts/format

# Optimised build in $(BUILD_BENCH)/, then one table for both bench networks (two to three
# minutes on two cores). BENCH_RUNS overrides the number of runs per figure. BENCH_LARGE=1
# adds the 12-million-entry network, which alone takes far longer than a few minutes.
BENCH_RUNS ?= 0
BENCH_LARGE ?=
BENCH_NETWORKS = $(CURDIR)/bench/network-100k.json $(CURDIR)/bench/network-1m.json \
	$(if $(BENCH_LARGE),$(CURDIR)/bench/network-10m.json)
$(BUILD_BENCH)/build.ninja: | deps
	cmake -S . -B $(BUILD_BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release

bench: deps $(BUILD_BENCH)/build.ninja
	cmake --build $(BUILD_BENCH) -j $(JOBS) --target grantwise-bench
	cd $(BUILD_BENCH) && QT_QPA_PLATFORM=offscreen ./grantwise-bench --runs $(BENCH_RUNS) --out bench-out \
		$(BENCH_NETWORKS)

# Each fuzz target runs for FUZZ_SECONDS from its seed corpus in tests/fuzz/corpus/;
# what it finds and the inputs it grows go to $(BUILD_FUZZ)/, the seeds stay untouched.
fuzz:
	@scripts/install-deps --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRANTWISE_FUZZ=ON
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target fuzz_targets
	@scripts/run-fuzzers $(BUILD_FUZZ) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_BENCH) $(BUILD_FUZZ)
