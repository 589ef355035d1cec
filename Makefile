# Two commands do everything on a fresh Debian machine:
#   make run   - install what is missing, build, open the catalogue on samples/
#   make test  - install what is missing, build, run every suite
# and three make what is given to users:
#   make cli     - the command line alone, optimised (build/release/cli)
#   make install - installs it and its manual page under PREFIX
#   make dist    - the Windows zip and the Debian package (build/dist)
JOBS ?= 2
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

.PHONY: all setup native native-build win fuzz-build bench-build build test run bench fuzz clean format \
        cli install dist

all: build

setup:
	@bash tools/setup.sh
	@bash tools/wine-prefix.sh

# The native suite alone: no Wine, no display.
native: native-build
	@ctest --test-dir build/native --output-on-failure -j $(JOBS)

native-build:
	@bash tools/setup.sh native
	@cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build build/native -j $(JOBS)

win: setup
	@cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build build/win -j $(JOBS)

fuzz-build: setup
	@cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCLIP_FUZZ=ON -DBUILD_TESTING=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build/fuzz -j $(JOBS)

bench-build: setup
	@bash tools/setup.sh bench
	@cmake -S . -B build/bench -DCLIP_BENCH=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/bench -j $(JOBS)

# The command line as it is installed: no sanitizers, no test suites.
cli:
	@bash tools/setup.sh cli
	@cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DCLIP_SANITIZE=OFF -DBUILD_TESTING=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build build/release --target clipledger-cli clipledger-cli-man -j $(JOBS)

install: cli
	@cmake --install build/release --prefix $(PREFIX) --strip

dist: win cli
	@bash tools/dist.sh

build: native-build win fuzz-build

test: build dist
	@bash tools/test.sh

run: win
	@bash tools/run.sh

bench: bench-build win
	@bash tools/bench.sh

fuzz: fuzz-build
	@CLIP_FUZZ_SECONDS=$${CLIP_FUZZ_SECONDS:-600} bash tools/fuzz.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build/native build/win build/fuzz build/bench build/release build/dist
