# Quick start: `make run` starts the simulator, `make test` builds and runs
# every test. Both install what is missing on Debian 12 first.
#
# The builds themselves are CMake's presets (CMakePresets.json): default,
# release, sanitize, coverage, fuzz and web. Each target here installs what
# its build needs, configures its preset into its folder and builds only what
# it runs. Every folder follows BUILD (relative or absolute).
BUILD ?= build
empty :=
space := $(empty) $(empty)
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

# Debian packages the build and the tests need.
PACKAGES := build-essential cmake pkg-config qt6-base-dev libjpeg-dev libgtest-dev \
	libgmock-dev libbenchmark-dev xvfb xauth clang libclang-rt-14-dev help2man \
	libtomlplusplus-dev libpng-dev libgif-dev libxcb1-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test bench deps configure build sanitize clean fuzz fuzz-build fuzz-smoke soak pictures \
	coverage web web-deps web-serve web-test web-test-deps web-figures

# Installs the Debian packages of the list given that are missing.
define install_missing
	@missing=""; for p in $(1); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		$(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

# The normal build (preset default): warnings are errors (DG2_WERROR).
configure: deps
	cmake --preset default -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Builds only the program it starts.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target dg2
	$(BUILD)/app/window/dg2

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory fuzz-smoke
	$(MAKE) --no-print-directory web-test

# Benchmarks in the release build (preset release, the package's), so
# $(BUILD) keeps its build type.
RELEASE_BUILD ?= $(BUILD)-release
bench: deps
	cmake --preset release -B $(RELEASE_BUILD)
	cmake --build $(RELEASE_BUILD) -j $(JOBS) --target dg2_bench
	$(RELEASE_BUILD)/bench/dg2_bench

# The same tests with AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE_BUILD ?= $(BUILD)-asan
sanitize: deps
	cmake --preset sanitize -B $(SANITIZE_BUILD)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

# The fuzz targets (clang, libFuzzer, AddressSanitizer and UBSan) in their own
# build folder (preset fuzz). FUZZ_TARGETS names them: target T is the program
# dg2_fuzz_T built by fuzz/CMakeLists.txt, seeded from fuzz/corpus/T (if there
# is one) and the folders in FUZZ_SEEDS_T.
# `make fuzz` runs each for FUZZ_SECONDS and keeps what it finds in
# $(FUZZ_BUILD)/corpus/T; `make test` runs each from its seeds alone, sharing
# FUZZ_SMOKE_SECONDS between them. Inputs may reach 4 KB at once (libFuzzer
# would otherwise start at the longest seed and grow slowly).
FUZZ_TARGETS := events scenario settings log
FUZZ_SEEDS_scenario := tests/scenarios
FUZZ_SEEDS_settings := fuzz/corpus_settings
FUZZ_SEEDS_log := examples/logs tests/scenarios/logs tests/scenarios/bad/logs
FUZZ_BUILD ?= $(BUILD)-fuzz
FUZZ_SECONDS ?= 300
FUZZ_SMOKE_SECONDS ?= 30
FUZZ_SMOKE_EACH = $(shell expr $(FUZZ_SMOKE_SECONDS) / $(words $(FUZZ_TARGETS)))
FUZZ_FLAGS := -max_len=4096 -len_control=0 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1

# $(call fuzz_run,target,seconds,corpus folder,extra flags)
define fuzz_run
@echo "== dg2_fuzz_$(1): $(2) s"
mkdir -p $(3)
$(FUZZ_BUILD)/dg2_fuzz_$(1) $(FUZZ_FLAGS) -artifact_prefix=$(FUZZ_BUILD)/$(1)- $(4) \
	-max_total_time=$(2) $(3) $(wildcard fuzz/corpus/$(1)) $(FUZZ_SEEDS_$(1))

endef

# A folder of the former stand-alone fuzz project (cmake -S fuzz) is made anew.
fuzz-build: deps
	@if grep -qs '^CMAKE_HOME_DIRECTORY:.*/fuzz$$' $(FUZZ_BUILD)/CMakeCache.txt; then rm -rf $(FUZZ_BUILD); fi
	cmake --preset fuzz -B $(FUZZ_BUILD)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	$(foreach t,$(FUZZ_TARGETS),$(call fuzz_run,$(t),$(FUZZ_SECONDS),$(FUZZ_BUILD)/corpus/$(t)))

fuzz-smoke: fuzz-build
	rm -rf $(FUZZ_BUILD)/smoke
	$(foreach t,$(FUZZ_TARGETS),$(call fuzz_run,$(t),$(FUZZ_SMOKE_EACH),$(FUZZ_BUILD)/smoke/$(t),-seed=1))

# One million passes of random use under the sanitizers in each of the soak's
# two modes, power cycles and one instrument kept on (ctest runs 50 000).
SOAK_PASSES ?= 1000000
soak: deps
	cmake --preset sanitize -B $(SANITIZE_BUILD)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target dg2_soak
	DG2_SOAK_PASSES=$(SOAK_PASSES) $(SANITIZE_BUILD)/tests/extra/soak/dg2_soak

# The browser edition (preset web): the firmware, the runtime and the
# workbench compiled to WebAssembly by Emscripten with a host of their own
# (web/), and a static page. `make web` leaves in $(WEB_SITE) the files to
# copy to any web server; `make web-serve` serves them on 127.0.0.1:$(WEB_PORT).
WEB_BUILD ?= build-web
WEB_SITE := $(WEB_BUILD)/site
WEB_PORT ?= 8000
WEB_PACKAGES := emscripten node-acorn libtomlplusplus-dev
WEB_TEST_PACKAGES := chromium
# The browser tests and tools find the builds through these.
WEB_ENV = DG2_WEB_BUILD=$(abspath $(WEB_BUILD)) DG2_SCENARIO=$(abspath $(BUILD))/tools/scenario/dg2_scenario

web-deps:
	$(call install_missing,$(WEB_PACKAGES))

# The page's first load is every script and wasm file but those fetched on
# first use: the workbench module (dg2_workbench.*) and the modules of the
# workbench's functions, and the service worker's (sw.js, offline_files.js),
# fetched once the page is ready (WEB_LATER).
WEB_LATER := dg2_workbench menu_view dialogs zoom pictures sensors help player session sensor_log \
	links sw offline_files
web: web-deps
	emcmake cmake --preset web -B $(WEB_BUILD)
	cmake --build $(WEB_BUILD) -j $(JOBS)
	@cd $(WEB_SITE) && echo "The page is in $(WEB_SITE)/ ($$(ls *.js *.wasm | \
		grep -Ev '^($(subst $(space),|,$(WEB_LATER)))\.' | \
		xargs cat | wc -c) bytes of wasm and script at first, $$(cat *.js *.wasm | wc -c) in all)"

web-serve: web
	@echo "Serving the DG-2 on http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops)"
	cd $(WEB_SITE) && python3 -m http.server --bind 127.0.0.1 $(WEB_PORT)

# npm comes with Debian's package unless a node of another origin, which
# brings its own npm and conflicts with Debian's, is installed already.
# puppeteer-core downloads no browser: the tests drive Debian's Chromium.
web-test-deps:
	$(call install_missing,$(WEB_TEST_PACKAGES))
	@command -v npm >/dev/null || { $(SUDO) apt-get update && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y npm; }
	@if [ ! -d web/node_modules ] || [ web/package-lock.json -nt web/node_modules ]; then \
		cd web && npm ci --no-audit --no-fund; \
	fi

# The page in headless Chromium, and the same scenarios run natively and in
# the browser, frame for frame: node's test runner over web/test/*.test.mjs,
# one file after another where the node knows how to be asked.
web-test: web web-test-deps configure
	cmake --build $(BUILD) -j $(JOBS) --target dg2_scenario
	$(WEB_ENV) node --test --test-reporter=spec \
		$$(node --test-concurrency=1 -e '' 2>/dev/null && echo --test-concurrency=1) web/test/*.test.mjs

# The page's size, time to its first frame and CPU share, for the README.
web-figures: web web-test-deps
	$(WEB_ENV) node web/tools/figures.mjs

# The README's pictures: the LCD screens made by the scenario runner, the
# whole window taken without a display, and the web page in headless Chromium
# (itself, and on a phone, a tablet and a desktop).
pictures: configure
	cmake --build $(BUILD) -j $(JOBS) --target dg2_scenario dg2_window_shot
	$(BUILD)/tools/scenario/dg2_scenario docs/pictures/pictures.scn
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/window_shot/dg2_window_shot docs/pictures/window.png \
		docs/pictures/lcd_window.png
	$(MAKE) --no-print-directory web web-test-deps
	$(WEB_ENV) node web/tools/picture.mjs docs/pictures

# Line and branch coverage of the whole test suite: an instrumented build in
# its own folder (preset coverage), a table per source folder, and an HTML
# report in $(COVERAGE_BUILD)/coverage/index.html.
COVERAGE_BUILD ?= $(BUILD)-coverage
COVERAGE_PACKAGES := gcovr
coverage: deps
	$(call install_missing,$(COVERAGE_PACKAGES))
	cmake --preset coverage -B $(COVERAGE_BUILD)
	cmake --build $(COVERAGE_BUILD) -j $(JOBS)
	find $(COVERAGE_BUILD) -name '*.gcda' -delete
	cd $(COVERAGE_BUILD) && ctest --output-on-failure -j $(JOBS)
	tools/coverage/report.sh . $(COVERAGE_BUILD)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(RELEASE_BUILD) $(COVERAGE_BUILD) $(FUZZ_BUILD) $(WEB_BUILD)
