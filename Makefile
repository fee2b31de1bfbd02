# Two entry points, each doing all set-up on a fresh Debian machine:
#   make run    the suite's main job
#   make test   builds the three targets and runs every test
# Build trees: build/native (Linux g++), build/win64 (x86_64 mingw, tests
# under wine64), build/win32 (i686 mingw, the 32-bit deliverable; builds only).

BUILD     ?= build
JOBS      ?= $(shell nproc)
GENERATOR ?= Ninja
CMAKE_ARGS ?=
# Each phase notes how long it took in $(TIMES); make test prints them.
TIMES     = $(CURDIR)/$(BUILD)/phase-times.txt
TIMED     = $(CURDIR)/scripts/timed.sh $(TIMES)

.PHONY: FORCE all deps mingw-deps configure build build-native build-win64 build-win32 \
        run-tests-native run-tests-win64 \
        test test-native test-win64 run fuzz clean

all: build

deps:
	@scripts/install-deps.sh

# Each tree's deps prefix in a file that changes only with the prefix (a new
# version of a library), so that the tree is configured anew exactly then.
# FFmpeg serves the conversion control's stand-in, which the x86_64 tree
# runs; the i686 tree builds the suite's own deliverables without it, at a
# lower priority as its tree does (see build-win32).
mingw-deps: $(BUILD)/.deps-win64 $(BUILD)/.deps-win32

$(BUILD)/.deps-%: FORCE | deps
	@mkdir -p $(BUILD)
	@$(TIMED) "mingw deps $*" $(if $(filter win32,$*),nice) scripts/build-mingw-deps.sh \
	  $(if $(filter win64,$*),x86_64-w64-mingw32 ffmpeg,i686-w64-mingw32) > $@.new
	@if cmp -s $@.new $@; then rm -f $@.new; else mv $@.new $@; fi

FORCE:

$(BUILD)/native/build.ninja: | deps
	@$(TIMED) "configure native" cmake -S . -B $(BUILD)/native -G $(GENERATOR) $(CMAKE_ARGS)

# The Windows trees embed skins made by the native skin compiler.
SKINC = $(CURDIR)/$(BUILD)/native/tools/skinc/skinc

$(BUILD)/win64/build.ninja: $(BUILD)/.deps-win64
	@$(TIMED) "configure win64" cmake -S . -B $(BUILD)/win64 -G $(GENERATOR) $(CMAKE_ARGS) -DQUORBEL_SKINC=$(SKINC) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
	  -DQUORBEL_DEPS_PREFIX=$$(cat $(BUILD)/.deps-win64)

$(BUILD)/win32/build.ninja: $(BUILD)/.deps-win32
	@$(TIMED) "configure win32" cmake -S . -B $(BUILD)/win32 -G $(GENERATOR) $(CMAKE_ARGS) -DQUORBEL_SKINC=$(SKINC) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake \
	  -DQUORBEL_DEPS_PREFIX=$$(cat $(BUILD)/.deps-win32)

configure: $(BUILD)/native/build.ninja $(BUILD)/win64/build.ninja $(BUILD)/win32/build.ninja

build-native: $(BUILD)/native/build.ninja
	@$(TIMED) "build native" cmake --build $(BUILD)/native -j $(JOBS)
build-win64: build-native $(BUILD)/win64/build.ninja
	@$(TIMED) "build win64" cmake --build $(BUILD)/win64 -j $(JOBS)
# The i686 tree is the 32-bit deliverable: its tests cannot run here (the
# x86_64 tree's are the same), so it builds what a user gets. It builds at a
# lower priority: under make test it fills the time the Windows tests, which
# take turns on one screen, spend waiting, and never slows them.
build-win32: build-native $(BUILD)/win32/build.ninja
	@$(TIMED) "build win32" nice cmake --build $(BUILD)/win32 -j $(JOBS) --target quorbel_deliverables

build: build-native build-win64 build-win32

test-native: build-native
	@$(MAKE) --no-print-directory run-tests-native
test-win64: build-win64
	@$(MAKE) --no-print-directory run-tests-win64

# The tests of a tree already built. Both trees' test runs make their
# ffmpeg fixtures once between them (scripts/shared-fixture.sh).
SHARED_FIXTURES = $(CURDIR)/$(BUILD)/shared-fixtures
run-tests-native:
	@cd $(BUILD)/native && QUORBEL_SHARED_FIXTURES=$(SHARED_FIXTURES) \
	  $(TIMED) "test native" ctest --output-on-failure -j $(JOBS)
run-tests-win64:
	@QUORBEL_SHARED_FIXTURES=$(SHARED_FIXTURES) \
	  $(TIMED) "test win64" scripts/wine-session.sh $(CURDIR)/$(BUILD)/win64/wineprefix \
	  sh -c 'cd $(BUILD)/win64 && ctest --output-on-failure -j $(JOBS)'

# Every test of both runnable builds; the i686 build must link. The native
# tree builds beside the x86_64 dependencies (whose configure scripts keep
# one core busy), and the i686 tree and its dependencies beside the tests,
# in the time the Windows tests spend waiting.
test:
	@rm -rf $(TIMES) $(SHARED_FIXTURES); start=$$(date +%s); status=0; \
	$(MAKE) --no-print-directory -j 3 build-native $(BUILD)/.deps-win64 || status=1; \
	[ $$status -ne 0 ] || $(MAKE) --no-print-directory build-win64 || status=1; \
	[ $$status -ne 0 ] || $(MAKE) --no-print-directory -k -j 3 run-tests-native run-tests-win64 build-win32 || status=1; \
	echo "make test: where the time went"; cat $(TIMES); \
	echo "make test: $$(( $$(date +%s) - start )) s in all"; \
	exit $$status

# The image builder makes a sample VCD image, then the suite starts from its
# launcher in an installed-suite Wine prefix.
run: build-native build-win64
	@scripts/run-main.sh $(BUILD)/native
	@scripts/run-suite.sh $(BUILD)/win64

FUZZ_SECONDS ?= 60
fuzz: build-native
	@scripts/run-fuzzers.sh $(BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
