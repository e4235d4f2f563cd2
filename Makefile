# The front door: make run, make test, make build.
.PHONY: setup build test run fuzz bench clean

# CMake's own make runs as a fresh one, without this make's directory messages.
CMAKE_BUILD = env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS cmake --build

setup:
	@bash tools/setup.sh

build: setup
	@for preset in native win32 win64; do \
	  echo "== $$preset build"; \
	  cmake --preset $$preset >/dev/null && $(CMAKE_BUILD) --preset $$preset -j2 || exit 1; \
	done

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
	$(CMAKE_BUILD) --preset native --target sysini_fuzz
	@bash tests/fuzz/run.sh $(SECONDS)

# Throughput, memory, start-up time under Wine and the shipped file's size; never part of make test.
bench: setup
	@bash bench/run.sh
