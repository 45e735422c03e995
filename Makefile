# Entry points; each installs what it needs first (tools/setup.sh).
.PHONY: all build demo run test dist site bench bench-quick bench-progress bench-disk clean

all: build

build:
	tools/setup.sh
	tools/build.sh

# The main job: one real export of a sample book through the window (under Xvfb when there
# is no display), with a screenshot in build/demo/window.png.
demo:
	tools/demo.sh

# The window on your own display, for hand use.
run:
	tools/setup.sh --test
	tools/build.sh
	tools/wine-run build/x86_64/src/app/Vellumix.exe

test:
	tools/test.sh

# The release: dist/Vellumix-<version>-x64.zip and -x86.zip with their SHA256SUMS.
dist:
	tools/dist.sh

# The product's two web pages in site/: their screenshots, taken from the real program.
site:
	tools/site.sh

# Export speed against the floor of writing the same files (takes a while; bench-quick doesn't).
bench:
	tools/bench.sh

bench-quick:
	tools/bench.sh --quick

# The same table, written to the disk rather than to a drive in memory.
bench-disk:
	tools/bench.sh --on-disk

# Only what showing the progress costs: the mean of many runs with and without it.
bench-progress:
	tools/bench.sh --progress-cost

clean:
	rm -rf build
