# Set-up and everyday commands. Each one installs the Debian packages the
# project needs when they are missing, then builds.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
SOAK_ACTIONS ?= 100000
OFFSCREEN = QT_QPA_PLATFORM=offscreen
# Sanitizer findings fail the run.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps build build-sanitized run demo picture test bench soak fuzz package clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

build-sanitized: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_SANITIZE=ON -DZR_BENCHMARKS=OFF >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/app/zr-eval

# The panel with the simulated board as device 0 (serial number SIMULATED), for
# trying it without a board.
demo: build
	./$(BUILD_DIR)/app/zr-eval --simulated-board

# The README's picture, docs/main-panel.png: the panel on the simulated board
# with ZR3500 chosen, ENH at "Disable (High)" and 4321 MHz programmed.
picture: build
	ZR_README_PICTURE=$(CURDIR)/docs/main-panel.png $(OFFSCREEN) ./$(BUILD_DIR)/tests/zr_tests \
	  --gtest_filter='MainPanelTest.PictureForTheReadme'

# The Debian package of both programs: build/zr-eval_<version>_amd64.deb.
package: build
	@cd $(BUILD_DIR) && cpack >/dev/null && ls -1 $(CURDIR)/$(BUILD_DIR)/zr-eval_*_amd64.deb

# Every test (the package's among them), then every test again under
# AddressSanitizer and UndefinedBehaviorSanitizer. A test that hangs is ended
# after two minutes and counted as failed.
CTEST_FLAGS = --output-on-failure -j $(JOBS) --timeout 120
test: package build-sanitized
	$(OFFSCREEN) ctest --test-dir $(BUILD_DIR) $(CTEST_FLAGS)
	$(OFFSCREEN) $(SANITIZER_ENV) ctest --test-dir $(SANITIZE_DIR) $(CTEST_FLAGS)

bench: build
	$(OFFSCREEN) ./$(BUILD_DIR)/bench/zr_bench

# The long random operator session; ZR_SESSION_SEED=... replays one.
soak: build-sanitized
	$(OFFSCREEN) $(SANITIZER_ENV) ZR_SESSION_ACTIONS=$(SOAK_ACTIONS) \
	  ./$(SANITIZE_DIR)/tests/zr_tests --gtest_filter='OperatorSession.*'

# The panel-state reader under libFuzzer, for a bounded time, on the kept corpus.
fuzz: deps
	@bash scripts/install-deps.sh --fuzz
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_FUZZ=ON \
	  -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target panel_state_fuzzer
	mkdir -p $(FUZZ_DIR)/found $(FUZZ_DIR)/corpus
	$(OFFSCREEN) ./$(FUZZ_DIR)/fuzz/panel_state_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	  -artifact_prefix=$(FUZZ_DIR)/found/ $(FUZZ_DIR)/corpus fuzz/corpus

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
