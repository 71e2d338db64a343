# Two commands set up everything on a fresh Debian 12 machine: `make run` and `make test`.
BUILD  ?= build
JOBS   ?= 2
DEMO   := $(BUILD)/demo
PROG   := $(DEMO)/約数ドリル

WINBUILD ?= build-windows

.PHONY: all deps configure build program stage run test windows test-windows bench fuzz test-asan gui-check-tools clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# Only what `make run` starts: the program and the demo's generators, not the tests.
program: configure
	@cmake --build $(BUILD) -j$(JOBS) --target divisor-drill make-demo-sounds make-demo-results

# The demo installation is copied once and then kept, so results accumulate between runs;
# the executable and the generated sounds are refreshed every time.
stage: program
	@./scripts/stage-demo.sh $(BUILD)

run: stage
	@./scripts/run-demo.sh "$(PROG)"

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The Windows program: Qt and SDL for Windows built from Debian's sources once and cached in
# ~/.cache/divisor-drill (about 25 minutes the first time), then the program, its tests, a zip
# and an installer in $(WINBUILD)/dist.
windows: deps
	@./scripts/install-deps.sh --windows
	@./scripts/windows/build.sh . $(BUILD) $(WINBUILD)

# Every test that does not depend on Linux itself, run under Wine, and the whole road of the
# installed Windows program under Wine on a virtual display.
test-windows: windows
	@./scripts/windows/test-all.sh . $(WINBUILD)

# The benchmarks, built in Release in a folder of their own, and the program's resident memory and
# start-up at the menu with 2000 pupils against a bare Qt window; a median over its budget makes
# the run fail. Not part of `make test`: timings on a shared machine are noisy.
bench: deps
	@cmake -S . -B $(BUILD)-release -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD)-release -j$(JOBS) --target bench_statistics bench_screens bench_problem_log bench_roster \
	  divisor-drill bare-window
	@status=0; for b in bench_statistics bench_screens bench_problem_log bench_roster; do \
	  echo "== $$b"; $(BUILD)-release/bin/$$b --benchmark_color=false || status=1; done; \
	echo "== the program at the menu with 2000 pupils: resident memory and start-up against a bare window"; \
	python3 scripts/measure-startup.py $(BUILD)-release . 15 --budget 40 1.2 || status=1; exit $$status

# libFuzzer targets for every reader, built with clang and the address and undefined-behaviour
# sanitizers, each run for FUZZ_SECONDS (default 60).
FUZZ_SECONDS ?= 60
fuzz: deps
	@./scripts/install-deps.sh --fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -DDRILL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" >/dev/null
	@cmake --build $(BUILD)-fuzz -j$(JOBS) --target fuzz_settings fuzz_roster fuzz_roster_import fuzz_results fuzz_cp932 fuzz_problem_log
	@./scripts/run-fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

# Every test built once with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined" >/dev/null
	@cmake --build $(BUILD)-asan -j$(JOBS)
	@cd $(BUILD)-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j$(JOBS) -E tst_native_windows

# xdotool and ImageMagick, to drive the screens under Xvfb and take screenshots.
gui-check-tools:
	@./scripts/install-deps.sh --gui-check

clean:
	rm -rf $(BUILD) $(WINBUILD)
