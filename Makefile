# Quick start: `make demo`, `make test`. The build lives in build/.
BUILD ?= build
CMAKE ?= cmake
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build demo test test-all clean

all: build

$(BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(BUILD)

build: $(BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BUILD) -j $(JOBS)

demo: build
	./$(BUILD)/tarvek -t demo

test: build
	cd $(BUILD) && ctest --output-on-failure

test-all: test

clean:
	rm -rf $(BUILD)
