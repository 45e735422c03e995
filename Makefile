# Entry points; each installs what it needs first (tools/setup.sh).
.PHONY: all build test clean

all: build

build:
	tools/setup.sh
	tools/build.sh

test:
	tools/test.sh

clean:
	rm -rf build
