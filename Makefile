# The two commands a player or packager needs: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build bench measure deps deps-test deps-web web fuzz asan deb clean format format-check

# What building and playing need; `deps-test` adds the test, packaging and
# checking tools.
deps:
	@scripts/install-deps run

deps-test:
	@scripts/install-deps test

deps-web:
	@scripts/install-deps web

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/volmarin

# The game as a web page in build-web/ (index.html, index.js, index.wasm,
# index.data), built with Debian's emscripten; the sounds come from the native
# build. Serve the folder with any static file server.
WEB ?= build-web
web: deps-web
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target volmarin-media
	@NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB) -DCMAKE_BUILD_TYPE=Release \
		-DVOLMARIN_MEDIA_DIR=$(abspath $(BUILD)) >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build $(WEB) -j $(JOBS)
	@ls -l $(WEB)/index.html $(WEB)/index.js $(WEB)/index.wasm $(WEB)/index.data

# The format check, the suite (install tree, package and validators included),
# then the suite again under the sanitizers with the long soak.
test: deps-test
	@$(MAKE) --no-print-directory format-check
	@$(MAKE) --no-print-directory build
	@$(MAKE) --no-print-directory web
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory asan

bench: deps-test
	@$(MAKE) --no-print-directory build
	@$(BUILD)/volmarin-bench

# The Debian package, volmarin_<version>_<arch>.deb, in $(BUILD)/package/.
deb: deps-test
	@$(MAKE) --no-print-directory build
	@cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/package/*.deb

# Start-up time, memory and processor time of the real game under Xvfb.
measure: deps-test
	@$(MAKE) --no-print-directory build
	@$(BUILD)/tools/measure/volmarin-measure 5

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# with the long random-key run.
asan: deps-test
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOLMARIN_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS) --target volmarin volmarin-tests volmarin-headless
	@cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt:print_suppressions=0 \
		VOLMARIN_SOAK_FRAMES=100000 ctest --output-on-failure -j $(JOBS) -LE 'window|install|web'
	@# The window tests load the desktop's libraries (X, D-Bus, audio), whose
	@# one-time allocations the leak checker cannot name once they are unloaded.
	@cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS) -L window

# Each libFuzzer target for a minute (clang only).
FUZZ_SECONDS ?= 60
fuzz: deps-test
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOLMARIN_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target volmarin-highscores-fuzz volmarin-media-fuzz
	@mkdir -p build-fuzz/corpus/highscores build-fuzz/corpus/media
	@build-fuzz/fuzz/volmarin-highscores-fuzz -max_total_time=$(FUZZ_SECONDS) build-fuzz/corpus/highscores
	@build-fuzz/fuzz/volmarin-media-fuzz -max_total_time=$(FUZZ_SECONDS) build-fuzz/corpus/media

# Every C++ file follows .clang-format (clang-format 14); `make format` formats them.
format-check: deps-test
	@scripts/check-format

format: deps-test
	@scripts/check-format --fix

# Removes the builds but keeps the high-score table the game saved in $(BUILD).
clean:
	@if [ -f $(BUILD)/hiscores.dat ]; then cp -p $(BUILD)/hiscores.dat .hiscores.keep; fi
	rm -rf $(BUILD) build-asan build-fuzz $(WEB)
	@if [ -f .hiscores.keep ]; then mkdir -p $(BUILD) && mv .hiscores.keep $(BUILD)/hiscores.dat; fi
