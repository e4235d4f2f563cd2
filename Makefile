# The front door: make run, make test, make build, make dist.
.PHONY: setup build test run dist screenshot fuzz bench clean

# CMake's own make runs as a fresh one, without this make's directory messages.
CMAKE_BUILD = env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS cmake --build

setup:
	@bash tools/setup.sh

build: setup
	@bash tools/build.sh

# The tests' Wine prefix is made (once, minutes where 32-bit Wine goes through qemu) while the
# builds run; tools/test.sh waits for it. The checks include those of make dist's files, so
# they are made first.
test: setup
	@mkdir -p build; bash tools/wine-prefix.sh & prefix=$$!; \
	bash tools/build.sh && bash tools/dist.sh && bash tools/test.sh; \
	status=$$?; wait $$prefix; exit $$status

run: build
	@bash tools/run-demo.sh

# For a Windows 9x machine: QUILLMAR.EXE and README.TXT, a zip, a floppy image and a CD image in build/dist.
dist: setup
	@echo "== win32 build"
	@cmake --preset win32 >/dev/null && $(CMAKE_BUILD) --preset win32 -j2
	@bash tools/dist.sh

# The README's picture: make run's screenshot from a fresh demo prefix, copied to docs/.
screenshot: build
	@rm -rf build/demo-prefix
	@env -u DISPLAY bash tools/run-demo.sh >/dev/null
	@cp build/demo-shot.png docs/window.png
	@echo "screenshot: docs/window.png"

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
