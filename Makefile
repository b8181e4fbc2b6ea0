# The two commands a newcomer needs: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench format format-check asan tsan clean \
	windows-deps windows windows-package windows-test fuzz deb deb-deps

all: build

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# Optimised, in a build folder of its own, without the tests.
BENCH_BUILD ?= build-bench
bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) --target bench_all -j $(JOBS)
	@for b in $(BENCH_BUILD)/bench/*_bench; do "$$b" || exit 1; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

asan:
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DMORVANE_SANITIZE=address,undefined"

tsan:
	TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp halt_on_error=1" \
	$(MAKE) test BUILD=build-tsan CMAKE_FLAGS="-DMORVANE_SANITIZE=thread" CTEST_ARGS="-L threads"

# The record conversion under clang's libFuzzer, against the plain
# conversion, for FUZZ_SECONDS; then the summary's reader of the CSV file
# for FUZZ_SUMMARY_SECONDS. It has a build folder and a CMake project of
# its own (fuzz/), so the rest of the build needs no clang. New inputs go to
# $(FUZZ_BUILD)/corpus; the committed seeds in fuzz/corpus stay as they are,
# and an input that fails is left as $(FUZZ_BUILD)/crash-*.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# The measurement summary's reader, briefly: its parsing is simple.
FUZZ_SUMMARY_SECONDS ?= 25

fuzz: deps
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/record_converter_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	  -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus fuzz/corpus/record_converter
	mkdir -p $(FUZZ_BUILD)/corpus-summary
	$(FUZZ_BUILD)/measurement_reader_fuzz -max_total_time=$(FUZZ_SUMMARY_SECONDS) -max_len=4096 \
	  -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus-summary fuzz/corpus/measurement_reader

# The Windows build, cross-built with mingw-w64; its tests run under Wine.
WIN_BUILD ?= build-win

windows-deps:
	@scripts/deps.sh windows

$(WIN_BUILD)/build.ninja: | windows-deps
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)

windows: windows-deps $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The portable zip and the installer, in $(WIN_BUILD)/.
windows-package: windows
	cmake --build $(WIN_BUILD) --target windows_package

# Wine now and then leaves a test program that has passed hanging at its
# exit (seen with a plain rules test, on a busy machine): a test that fails
# under Wine runs once more, and its first failure stays in the output.
windows-test: windows
	cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS) -L windows --repeat until-pass:2 $(CTEST_ARGS)

# The Debian package, built by dpkg-buildpackage from debian/, into
# $(DEB_OUT)/: morvane_<version>_amd64.deb and its debug symbols.
DEB_OUT ?= build-deb

deb-deps:
	@scripts/deps.sh deb

deb: deb-deps
	scripts/deb.sh $(DEB_OUT) $(JOBS)

clean:
	rm -rf build build-asan build-tsan build-bench build-deb $(FUZZ_BUILD) $(WIN_BUILD)
