# The two commands of the README, and the sanitizer and benchmark builds.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja
export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps configure build test run asan bench fuzz clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Until the document window exists, run also writes the sample comic (with
# the public-domain photographs when they can be fetched) and renders its
# pages with panelora-cli.
SAMPLE := $(BUILD)/sample
run: build
	rm -rf $(SAMPLE)
	$(BUILD)/bin/make-sample-comic $(SAMPLE) "$$(tools/fetch-sample-photos 2>/dev/null || true)"
	for page in 1 2 3; do $(BUILD)/bin/panelora-cli render $(SAMPLE)/ComicData.pac --page $$page -o $(SAMPLE)/Page_$$page.png || exit 1; done
	@echo "The sample comic's pages are in $(SAMPLE)/Page_1.png, Page_2.png and Page_3.png"
	$(BUILD)/bin/panelora

asan: deps
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DPANELORA_SANITIZE=ON -DPANELORA_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b || exit 1; done

# FUZZ_SECONDS per target (default 120); the corpus grows in fuzz/corpus/.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPANELORA_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	build-fuzz/bin/make-fuzz-seeds fuzz/corpus resources
	fuzz/run-fuzzers build-fuzz

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
