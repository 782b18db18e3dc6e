# Quick start: `make demo`, `make test`. The build lives in build/; the
# Windows cross-builds in build-win32/ (the product) and build-win64/ (run
# by the Windows lane under Wine).
BUILD ?= build
WIN32_BUILD ?= build-win32
WIN64_BUILD ?= build-win64
CMAKE ?= cmake
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build demo test test-all clean windows test-windows dist \
        test-sanitize test-valgrind fuzz bench

all: build

$(BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(BUILD)

build: $(BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BUILD) -j $(JOBS)

# Only what the demo needs: the program and rfsim, not the tests.
demo: $(BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target tarvek
	./$(BUILD)/tarvek -t demo

test: build
	@[ -x $(BUILD)/tarvek_tests ] || echo "make test: GoogleTest not found" \
	  "(Debian package libgtest-dev): no unit tests; running the other checks"
	cd $(BUILD) && ctest --output-on-failure --no-tests=error

# The Windows builds are reproducible: their build date is the day of
# SOURCE_DATE_EPOCH, by default the last commit's time (configured anew on
# every run, so that a new commit moves the date).
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)

windows:
	$(CMAKE) -S . -B $(WIN32_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=toolchains/i686-w64-mingw32.cmake \
	  -DSOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) > /dev/null
	$(CMAKE) -S . -B $(WIN64_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=toolchains/x86_64-w64-mingw32.cmake \
	  -DSOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) > /dev/null
	$(CMAKE) --build $(WIN32_BUILD) -j $(JOBS)
	$(CMAKE) --build $(WIN64_BUILD) -j $(JOBS)

test-windows: windows
	WIN32_BUILD=$(abspath $(WIN32_BUILD)) WIN64_BUILD=$(abspath $(WIN64_BUILD)) \
	  windows/test-lane

# SIGN_PKCS12=FILE, or SIGN_PKCS11_MODULE=LIBRARY, SIGN_PKCS11_KEY=URI and
# SIGN_CERT=FILE (a key on a token), with SIGN_PASSWORD_FILE=FILE (and
# SIGN_TIMESTAMP_URL=URL) sign the package's tarvek.exe; they reach
# windows/make-dist from make's command line or the environment.
dist: windows
	WIN32_BUILD=$(abspath $(WIN32_BUILD)) SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) \
	  windows/make-dist

# Hardening lanes: the whole suite under AddressSanitizer and UBSan, built
# with clang (so that clang builds everything, tests included, with the
# warnings as errors, while the other builds use GCC), the memory check
# under valgrind, and the fuzz targets (clang, libFuzzer).
SANITIZE_BUILD ?= build-sanitize
SANITIZE_CXX ?= clang++
VALGRIND_BUILD ?= build-valgrind
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

$(SANITIZE_BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(SANITIZE_BUILD) -DCMAKE_CXX_COMPILER=$(SANITIZE_CXX) \
	  -DCMAKE_BUILD_TYPE=Debug -DTARVEK_SANITIZE=ON

test-sanitize: $(SANITIZE_BUILD)/CMakeCache.txt
	$(CMAKE) --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && \
	  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure

$(VALGRIND_BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(VALGRIND_BUILD)

test-valgrind: $(VALGRIND_BUILD)/CMakeCache.txt
	$(CMAKE) --build $(VALGRIND_BUILD) -j $(JOBS)
	tests/valgrind/check $(VALGRIND_BUILD)

$(FUZZ_BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEK_TESTS=OFF \
	  -DTARVEK_SANITIZE=ON -DTARVEK_FUZZ=ON

fuzz: $(FUZZ_BUILD)/CMakeCache.txt
	$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run $(FUZZ_BUILD)

test-all: test test-windows test-sanitize test-valgrind fuzz

# The benchmark (not part of test-all): tables in bench/RESULTS.md.
bench: build
	bench/run $(abspath $(BUILD))/tarvek

clean:
	rm -rf $(BUILD) $(WIN32_BUILD) $(WIN64_BUILD) dist \
	  $(SANITIZE_BUILD) $(VALGRIND_BUILD) $(FUZZ_BUILD)
