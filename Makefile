# Quick start: `make run` starts the simulator, `make test` builds and runs
# every test. Both install what is missing on Debian 12 first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

# Debian packages the build and the tests need.
PACKAGES := build-essential cmake pkg-config qt6-base-dev libjpeg-dev libgtest-dev \
	libgmock-dev libbenchmark-dev xvfb xauth clang libclang-rt-14-dev help2man \
	libtomlplusplus-dev libpng-dev libgif-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test bench deps configure build sanitize clean fuzz fuzz-build fuzz-smoke soak pictures \
	coverage

deps:
	@missing=""; for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		$(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

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

# The README's pictures: the LCD screens made by the scenario runner, and the
# whole window taken without a display.
pictures: configure
	cmake --build $(BUILD) -j $(JOBS) --target dg2_scenario dg2_window_shot
	$(BUILD)/tools/scenario/dg2_scenario docs/pictures/pictures.scn
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/window_shot/dg2_window_shot docs/pictures/window.png \
		docs/pictures/lcd_window.png

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
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-release $(BUILD)-coverage $(FUZZ_BUILD)
