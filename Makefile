# Two commands set up everything on a fresh Debian 12 machine: `make run` and `make test`.
BUILD  ?= build
JOBS   ?= 2
DEMO   := $(BUILD)/demo
PROG   := $(DEMO)/約数ドリル

.PHONY: all deps configure build stage run test gui-check-tools clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# The demo installation is copied once and then kept, so results accumulate between runs;
# the executable and the generated sounds are refreshed every time.
stage: build
	@./scripts/stage-demo.sh $(BUILD)

# Qt warns when the session has no runtime folder (as under xvfb-run as root): give it one.
run: stage
	@./scripts/install-deps.sh --display
	@if [ -z "$$XDG_RUNTIME_DIR" ]; then export XDG_RUNTIME_DIR=/tmp/runtime-$$(id -u); \
	  mkdir -p -m 700 "$$XDG_RUNTIME_DIR"; fi; "$(PROG)/divisor-drill"

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# xdotool and ImageMagick, to drive the screens under Xvfb and take screenshots.
gui-check-tools:
	@./scripts/install-deps.sh --gui-check

clean:
	rm -rf $(BUILD)
