# Taskloom: `make run` starts the planner, `make test` builds and runs every test.
BUILD ?= build
BENCH_BUILD ?= build-bench
PREFIX ?= /usr/local
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build test run bench install clean

all: build

deps:
	@scripts/install-deps.sh build

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

test:
	@scripts/install-deps.sh build test
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && ctest --output-on-failure

run:
	@scripts/install-deps.sh build run
	@$(MAKE) --no-print-directory build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "No display found: try it headless with 'xvfb-run make run'."; exit 1; fi
	$(BUILD)/bin/taskloom

bench:
	@scripts/install-deps.sh build bench
	@[ -f $(BENCH_BUILD)/build.ninja ] || cmake -S . -B $(BENCH_BUILD) -G Ninja $(CMAKE_FLAGS) -DTASKLOOM_BENCH=ON
	cmake --build $(BENCH_BUILD)
	scripts/run-bench.sh $(BENCH_BUILD)/bin

# DESTDIR=... stages the files for a package instead.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)
