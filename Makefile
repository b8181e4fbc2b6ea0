# The two commands a newcomer needs: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench format format-check asan tsan clean \
	windows-deps windows windows-test

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

bench: build
	@for b in $(BUILD)/bench/*_bench; do "$$b" || exit 1; done

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

# The Windows build, cross-built with mingw-w64; its tests run under Wine.
WIN_BUILD ?= build-win

windows-deps:
	@scripts/deps.sh windows

$(WIN_BUILD)/build.ninja: | windows-deps
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)

windows: windows-deps $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)

windows-test: windows
	cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS) -L windows $(CTEST_ARGS)

clean:
	rm -rf build build-asan build-tsan $(WIN_BUILD)
