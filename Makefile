# Quick start: `make run` starts the simulator, `make test` builds and runs
# every test. Both install what is missing on Debian 12 first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

# Debian packages the build and the tests need.
PACKAGES := build-essential cmake pkg-config qt6-base-dev libjpeg-dev libgtest-dev \
	libgmock-dev libbenchmark-dev xvfb xauth clang libclang-rt-14-dev help2man \
	libtomlplusplus-dev libpng-dev libgif-dev libxcb1-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test bench deps configure build sanitize clean fuzz fuzz-build fuzz-smoke soak pictures \
	coverage web web-deps web-serve web-test web-test-deps

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

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

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

# Benchmarks in their own release build, so $(BUILD) keeps its build type.
RELEASE_BUILD ?= $(BUILD)-release
bench: deps
	cmake -S . -B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release -DDG2_BUILD_WINDOW=OFF -DDG2_BUILD_TESTS=OFF
	cmake --build $(RELEASE_BUILD) -j $(JOBS) --target dg2_bench
	$(RELEASE_BUILD)/bench/dg2_bench

# The same tests with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(BUILD)-asan -DDG2_SANITIZE=ON -DDG2_BUILD_WINDOW=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && ctest --output-on-failure -j $(JOBS)

# The fuzz targets (clang, libFuzzer, AddressSanitizer and UBSan) in their own
# build folder. FUZZ_TARGETS names them: target T is the program dg2_fuzz_T
# built by fuzz/CMakeLists.txt, seeded from fuzz/corpus/T (if there is one) and
# the folders in FUZZ_SEEDS_T.
# `make fuzz` runs each for FUZZ_SECONDS and keeps what it finds in
# $(FUZZ_BUILD)/corpus/T; `make test` runs each from its seeds alone, sharing
# FUZZ_SMOKE_SECONDS between them. Inputs may reach 4 KB at once (libFuzzer
# would otherwise start at the longest seed and grow slowly).
FUZZ_TARGETS := events scenario settings
FUZZ_SEEDS_scenario := tests/scenarios
FUZZ_SEEDS_settings := fuzz/corpus_settings
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

fuzz-build: deps
	cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++
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
	cmake -S . -B $(BUILD)-asan -DDG2_SANITIZE=ON -DDG2_BUILD_WINDOW=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)-asan -j $(JOBS) --target dg2_soak
	DG2_SOAK_PASSES=$(SOAK_PASSES) $(BUILD)-asan/tests/extra/soak/dg2_soak

# The README's pictures: the LCD screens made by the scenario runner, the
# whole window taken without a display, and the web page in headless Chromium.
pictures: configure
	cmake --build $(BUILD) -j $(JOBS) --target dg2_scenario dg2_window_shot
	$(BUILD)/tools/scenario/dg2_scenario docs/pictures/pictures.scn
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/window_shot/dg2_window_shot docs/pictures/window.png \
		docs/pictures/lcd_window.png
	$(MAKE) --no-print-directory web web-test-deps
	node web/test/browser_test.mjs --build $(WEB_BUILD) --native $(BUILD)/tools/scenario/dg2_scenario \
		--picture docs/pictures/web_page.png

# The browser edition: the firmware and the runtime compiled to WebAssembly
# with a host of their own (web/), and a static page. `make web` leaves in
# $(WEB_SITE) the files to copy to any web server; `make web-serve` serves
# them on 127.0.0.1:$(WEB_PORT).
WEB_BUILD ?= build-web
WEB_SITE := $(WEB_BUILD)/site
WEB_PORT ?= 8000
WEB_PACKAGES := emscripten node-acorn libtomlplusplus-dev
WEB_TEST_PACKAGES := chromium
# Debian's Emscripten finds its node modules (acorn) only through NODE_PATH
# when the node on PATH is not Debian's. Its system libraries come prebuilt in
# the package's frozen cache, so nothing is written outside the build folder.
EMXX := env NODE_PATH=/usr/share/nodejs em++
# toml++ is header-only; only its own folder of the system's headers is put
# on the include path (through a link), never the system's C library headers.
WEB_CXXFLAGS := -std=c++20 -Oz -Wall -Wextra -Werror -fno-exceptions -fno-rtti -I. \
	-I$(WEB_BUILD)/include
WEB_FIRMWARE := $(shell find firmware -name '*.cpp' | sort) $(wildcard runtime/*.cpp)
WEB_SETTINGS := $(wildcard workbench/settings/*.cpp workbench/files/*.cpp)
WEB_HEADERS := $(shell find firmware runtime workbench app/headless -name "*.h")
WEB_PAGE := $(addprefix $(WEB_SITE)/,index.html style.css dg2.js controls.js bezel.jpg icon.png)
WEB_CONTROLS := workbench/controls/controls.cpp workbench/controls/key_bindings.cpp
WEB_SCENARIO_TOOL := $(wildcard workbench/scenario/*.cpp app/headless/*.cpp) $(WEB_CONTROLS) \
	workbench/sensors/sensor_value.cpp workbench/session/recorder.cpp \
	workbench/pictures/two_colour_image.cpp workbench/pictures/lcd_picture.cpp \
	workbench/pictures/without_libraries.cpp
WEB_SCENARIO_FILES := $(shell find tests/scenarios tests/golden web/test/scenarios examples/settings -type f)

web-deps:
	$(call install_missing,$(WEB_PACKAGES))

web: web-deps
	mkdir -p $(WEB_BUILD)/include
	ln -sfn /usr/include/toml++ $(WEB_BUILD)/include/toml++
	$(MAKE) --no-print-directory $(WEB_SITE)/dg2_core.js $(WEB_SITE)/dg2_settings.js $(WEB_PAGE) \
		$(WEB_BUILD)/scenario/dg2_scenario.js
	@echo "The page is in $(WEB_SITE)/ ($$(cat $(WEB_SITE)/dg2_core.wasm $(WEB_SITE)/dg2_core.js $(WEB_SITE)/dg2.js | wc -c) bytes of wasm and script)"

# The page's instrument: an ES module exporting createInstrument. The main
# loop sleeps between passes through ASYNCIFY.
$(WEB_SITE)/dg2_core.js: web/web_host.cpp $(WEB_FIRMWARE) $(WEB_HEADERS)
	mkdir -p $(WEB_SITE)
	$(EMXX) $(WEB_CXXFLAGS) web/web_host.cpp $(WEB_FIRMWARE) -o $@ \
		-sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sMODULARIZE -sEXPORT_ES6 \
		-sEXPORT_NAME=createInstrument -sENVIRONMENT=web -sFILESYSTEM=0 \
		-sEXPORTED_RUNTIME_METHODS=ccall,HEAPU8

# Settings files' text, loaded by the page only when it loads or saves one.
$(WEB_SITE)/dg2_settings.js: web/settings_entry.cpp $(WEB_FIRMWARE) $(WEB_SETTINGS) $(WEB_HEADERS)
	mkdir -p $(WEB_SITE)
	$(EMXX) $(WEB_CXXFLAGS) web/settings_entry.cpp $(WEB_FIRMWARE) $(WEB_SETTINGS) -o $@ \
		-sMODULARIZE -sEXPORT_ES6 -sEXPORT_NAME=createSettingsText -sENVIRONMENT=web \
		-sFILESYSTEM=0 -sALLOW_MEMORY_GROWTH -sEXPORTED_RUNTIME_METHODS=ccall,HEAPU8

# The page's controls and keys (controls.js), written from the tables the
# window is built from by a program compiled for node.
$(WEB_BUILD)/controls/controls_module.js: web/controls_module.cpp $(WEB_CONTROLS) \
		workbench/files/atomic_file.cpp $(WEB_HEADERS)
	mkdir -p $(WEB_BUILD)/controls
	$(EMXX) $(WEB_CXXFLAGS) web/controls_module.cpp $(WEB_CONTROLS) workbench/files/atomic_file.cpp \
		-o $@ -sENVIRONMENT=node -sNODERAWFS -sSINGLE_FILE
$(WEB_SITE)/controls.js: $(WEB_BUILD)/controls/controls_module.js
	mkdir -p $(WEB_SITE)
	node $< $@

$(WEB_SITE)/%: web/page/%
	mkdir -p $(WEB_SITE)
	cp $< $@

$(WEB_SITE)/bezel.jpg: assets/bezel.jpg
	mkdir -p $(WEB_SITE)
	cp $< $@

$(WEB_SITE)/icon.png: assets/dg2.png
	mkdir -p $(WEB_SITE)
	cp $< $@

# The scenario runner for the browser tests, with the scenario files and the
# goldens and settings files they name embedded under their repository paths.
# Not part of the page.
$(WEB_BUILD)/scenario/dg2_scenario.js: web/scenario_entry.cpp $(WEB_SCENARIO_TOOL) $(WEB_FIRMWARE) $(WEB_SETTINGS) $(WEB_HEADERS) $(WEB_SCENARIO_FILES)
	mkdir -p $(WEB_BUILD)/scenario
	$(EMXX) $(WEB_CXXFLAGS) web/scenario_entry.cpp $(WEB_SCENARIO_TOOL) $(WEB_FIRMWARE) $(WEB_SETTINGS) -o $@ \
		-sMODULARIZE -sEXPORT_ES6 -sEXPORT_NAME=createScenarioRunner -sENVIRONMENT=web \
		-sEXPORTED_RUNTIME_METHODS=ccall --embed-file tests/scenarios@/tests/scenarios \
		--embed-file web/test/scenarios@/web/test/scenarios \
		--embed-file examples/settings@/examples/settings --embed-file tests/golden@/tests/golden

web-serve: web
	@echo "Serving the DG-2 on http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops)"
	cd $(WEB_SITE) && python3 -m http.server --bind 127.0.0.1 $(WEB_PORT)

# npm comes with Debian's package unless a node of another origin, which
# brings its own npm and conflicts with Debian's, is installed already.
web-test-deps:
	$(call install_missing,$(WEB_TEST_PACKAGES))
	@command -v npm >/dev/null || { $(SUDO) apt-get update && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y npm; }
	@if [ ! -d web/test/node_modules ] || [ web/test/package-lock.json -nt web/test/node_modules ]; then \
		cd web/test && npm ci --no-audit --no-fund; \
	fi

# The page in headless Chromium, and the same scenarios run natively and in
# the browser, frame for frame.
web-test: web web-test-deps configure
	cmake --build $(BUILD) -j $(JOBS) --target dg2_scenario
	node web/test/browser_test.mjs --build $(WEB_BUILD) --native $(BUILD)/tools/scenario/dg2_scenario

# Line and branch coverage of the whole test suite: an instrumented build in
# its own folder, a table per source folder, and an HTML report in
# $(COVERAGE_BUILD)/coverage/index.html.
COVERAGE_BUILD ?= $(BUILD)-coverage
COVERAGE_PACKAGES := gcovr
coverage: deps
	@dpkg-query -W -f='$${Status}' $(COVERAGE_PACKAGES) 2>/dev/null | grep -q "install ok installed" || \
		{ $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $(COVERAGE_PACKAGES); }
	cmake -S . -B $(COVERAGE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DDG2_BUILD_BENCH=OFF \
		-DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage
	cmake --build $(COVERAGE_BUILD) -j $(JOBS)
	find $(COVERAGE_BUILD) -name '*.gcda' -delete
	cd $(COVERAGE_BUILD) && ctest --output-on-failure -j $(JOBS)
	tools/coverage/report.sh . $(COVERAGE_BUILD)

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-release $(BUILD)-coverage $(FUZZ_BUILD) $(WEB_BUILD)
