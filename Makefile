# The front door: make run, make test, make build.
.PHONY: setup build test run fuzz bench clean

setup:
	@bash tools/setup.sh

build: setup
	cmake --preset native >/dev/null
	cmake --build --preset native -j2
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j2
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j2

test: build
	@bash tools/test.sh

run: build
	@bash tools/run-demo.sh

clean:
	rm -rf build

# Fuzzes the text rules against their reference for SECONDS seconds (default 600).
SECONDS ?= 600
fuzz: setup
	cmake --preset native >/dev/null
	cmake --build --preset native --target sysini_fuzz
	@bash tests/fuzz/run.sh $(SECONDS)

# Throughput, memory, start-up time under Wine and the shipped file's size; never part of make test.
bench: setup
	@bash bench/run.sh
